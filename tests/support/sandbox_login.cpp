#include "support/sandbox_login.h"

#include "net/http_cookie_store.h"

namespace pagoling::testing {

net::Endpoints SandboxEndpoints(const sim::Sandbox& sandbox) {
  net::Endpoints endpoints;
  for (std::string* host :
       {&endpoints.publisher_host, &endpoints.member_host, &endpoints.affiliate_login_host,
        &endpoints.ad_home_host, &endpoints.market_login_host, &endpoints.baidu_short_host,
        &endpoints.netease_short_host}) {
    *host = sandbox.HostPort();
  }
  return endpoints;
}

std::string LogInToSandbox(sim::Sandbox& sandbox) {
  const sim::Session session = sandbox.CreateSession("tester");
  net::CookieStore::Shared().ImportLine(
      "Set-Cookie: " + sandbox.SessionCookieName() + "=" + session.cookie_value + "; Path=/",
      "127.0.0.1");
  return session.token;
}

}  // namespace pagoling::testing
