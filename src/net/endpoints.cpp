#include "net/endpoints.h"

#include "platform/private_profile.h"

namespace pagoling::net {

Endpoints LoadEndpoints(std::string_view gbk_config_path) {
  Endpoints endpoints;
  const auto read = [&](const char* key, std::string& value) {
    const std::string found =
        platform::GetPrivateProfileString(kEndpointsSection, key, "", gbk_config_path);
    if (!found.empty()) value = found;
  };
  read("PublisherHost", endpoints.publisher_host);
  read("MemberHost", endpoints.member_host);
  read("AffiliateLoginHost", endpoints.affiliate_login_host);
  read("AdHomeHost", endpoints.ad_home_host);
  read("MarketLoginHost", endpoints.market_login_host);
  read("BaiduShortHost", endpoints.baidu_short_host);
  read("NeteaseShortHost", endpoints.netease_short_host);
  read("HelpPageUrl", endpoints.help_page_url);
  read("HomePageUrl", endpoints.home_page_url);
  return endpoints;
}

}  // namespace pagoling::net
