#include "net/http_request.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <httplib.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "net/http_cookie_store.h"
#include "platform/cancel.h"
#include "sim/sandbox.h"
#include "support/temp_dir.h"
#include "support/tls_certificate.h"

namespace pagoling::net {
namespace {

using ::testing::ElementsAre;

struct AddressCase {
  friend void PrintTo(const AddressCase& row, std::ostream* os) { *os << row.name; }
  std::string name;
  std::string address;
  std::string host;
  std::string host_with_port;
  int port;
  std::string path;
};

class AddressTest : public ::testing::TestWithParam<AddressCase> {};

TEST_P(AddressTest, SplitsHostPortAndPath) {
  const AddressCase& c = GetParam();
  EXPECT_EQ(AddressHost(c.address), c.host);
  EXPECT_EQ(AddressHost(c.address, true), c.host_with_port);
  EXPECT_EQ(AddressPort(c.address), c.port);
  EXPECT_EQ(AddressPath(c.address), c.path);
}

INSTANTIATE_TEST_SUITE_P(
    Addresses, AddressTest,
    ::testing::Values(
        AddressCase{"no_scheme_is_http", "www.shop.test/list.htm", "www.shop.test", "www.shop.test",
                    80, "/list.htm"},
        AddressCase{"https_defaults_to_443", "https://shop.test/a", "shop.test", "shop.test", 443,
                    "/a"},
        AddressCase{"explicit_port_wins", "https://shop.test:8443/a", "shop.test", "shop.test:8443",
                    8443, "/a"},
        AddressCase{"no_path_sends_root", "http://shop.test", "shop.test", "shop.test", 80, "/"},
        AddressCase{"query_and_case_kept_host_lowered", "HTTP://Shop.TEST:8080/Item.htm?ID=Ab&x=1",
                    "shop.test", "shop.test:8080", 8080, "/Item.htm?ID=Ab&x=1"}),
    [](const auto& row) { return row.param.name; });

// Every suite here talks to a sandbox on a port of its own.
class HttpRequestTest : public ::testing::Test {
 protected:
  void SetUp() override {
    CookieStore::Shared().Clear();
    ASSERT_TRUE(sandbox_.Start(0));
  }

  std::string Url(const std::string& path) const { return sandbox_.BaseUrl() + path; }

  sim::Sandbox sandbox_;
};

std::vector<std::string> HeaderNames(const sim::RecordedRequest& request) {
  std::vector<std::string> names;
  for (const auto& [name, value] : request.headers) {
    if (name == "Referer" || name == "Accept" || name == "Accept-Language" ||
        name == "Content-Type") {
      names.push_back(name);
    }
  }
  return names;
}

TEST_F(HttpRequestTest, GetSendsTheFourHeadersInOrderAndTheUserAgent) {
  const std::string address = Url("/proxy.htm?A=b");
  EXPECT_FALSE(HttpRequest(address).empty());
  const auto requests = sandbox_.Requests();
  ASSERT_EQ(requests.size(), 1u);
  const sim::RecordedRequest& request = requests[0];
  EXPECT_EQ(request.method, "GET");
  EXPECT_EQ(request.target, "/proxy.htm?A=b");
  EXPECT_THAT(HeaderNames(request),
              ElementsAre("Referer", "Accept", "Accept-Language", "Content-Type"));
  EXPECT_EQ(request.Header("Referer"), address);
  EXPECT_EQ(request.Header("Accept"), "*/*");
  EXPECT_EQ(request.Header("Accept-Language"), "zh-cn");
  EXPECT_EQ(request.Header("Content-Type"), "application/x-www-form-urlencoded");
  EXPECT_EQ(request.Header("User-Agent"), kDefaultUserAgent);
  EXPECT_EQ(request.Header("Expect"), "");
}

TEST_F(HttpRequestTest, PostSendsTheFormBody) {
  const std::string body(3000, 'x');  // past the size where a client might ask to continue
  HttpRequest(Url("/short.action"), 1, "json=" + body);
  const auto requests = sandbox_.Requests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].method, "POST");
  EXPECT_EQ(requests[0].body, "json=" + body);
  EXPECT_EQ(requests[0].Header("Content-Type"), "application/x-www-form-urlencoded");
}

TEST_F(HttpRequestTest, LoginFormPostFollowsTheRedirectAsGetAndKeepsTheCookie) {
  const std::string target = Url("/membersvc/index.htm");
  const std::string page = HttpRequest(Url("/member/minilogin.htm"), 1,
                                       "user=tester&password=secret&redirect=" + target);
  const auto requests = sandbox_.Requests();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[1].method, "GET");
  EXPECT_EQ(requests[1].target, "/membersvc/index.htm");
  EXPECT_EQ(requests[1].body, "");
  EXPECT_EQ(requests[1].Header("Content-Type"), "");
  EXPECT_EQ(requests[1].Header("Referer"), Url("/member/minilogin.htm"));
  EXPECT_THAT(requests[1].Header("Cookie"), ::testing::HasSubstr(sandbox_.SessionCookieName()));
  EXPECT_NE(page.find("\xCD\xCB\xB3\xF6"), std::string::npos);  // 退出 in GBK
}

TEST_F(HttpRequestTest, BodiesComeBackWholeWhateverTheirSizeOrStatus) {
  sandbox_.InjectFault("/big", sim::Fault::HugeBody(std::size_t{1} << 20));
  EXPECT_EQ(HttpRequest(Url("/big")).size(), std::size_t{1} << 20);
  sandbox_.InjectFault("/error", sim::Fault::HtmlErrorPage());
  EXPECT_THAT(HttpRequest(Url("/error")), ::testing::HasSubstr("<html"));
}

TEST_F(HttpRequestTest, FailuresGiveAnEmptyBody) {
  sandbox_.InjectFault("/drop", sim::Fault::DropConnection());
  EXPECT_EQ(HttpRequest(Url("/drop")), "");

  // A port that was just free: nothing listens there.
  const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof addr;
  ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
  ASSERT_EQ(::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &length), 0);
  ::close(fd);
  EXPECT_EQ(HttpRequest("http://127.0.0.1:" + std::to_string(ntohs(addr.sin_port)) + "/"), "");
}

TEST_F(HttpRequestTest, HaltAbandonsATransferThatIsStillWaiting) {
  sandbox_.InjectFault("/slow", sim::Fault::Delay(30000));
  platform::CancelToken token;
  bool halted = false;
  const auto started = std::chrono::steady_clock::now();
  std::thread worker([&] {
    platform::ScopedThreadToken bind(token);
    try {
      HttpRequest(Url("/slow"));
    } catch (const platform::Halted&) {
      halted = true;
    }
  });
  while (sandbox_.Requests().empty()) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  token.Cancel();
  worker.join();
  EXPECT_TRUE(halted);
  // Not a speed figure: only that the worker did not sit out the server's delay.
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(20));
}

TEST_F(HttpRequestTest, NoRequestLeavesAHaltedWorker) {
  platform::CancelToken token;
  token.Cancel();
  platform::ScopedThreadToken bind(token);
  EXPECT_THROW(HttpRequest(Url("/proxy.htm")), platform::Halted);
  EXPECT_TRUE(sandbox_.Requests().empty());
}

// A small server of our own for the redirect rules the platform's stack follows.
class RedirectTest : public ::testing::Test {
 protected:
  void SetUp() override {
    auto record = [this](const httplib::Request& request, httplib::Response& response) {
      std::lock_guard lock(mutex_);
      seen_.push_back(request.method + " " + request.path + " [" + request.body + "] " +
                      request.get_header_value("Content-Type"));
      response.set_content("end", "text/plain");
    };
    for (int status : {301, 302, 303, 307, 308}) {
      server_.Post("/" + std::to_string(status),
                   [this, status](const httplib::Request& request, httplib::Response& response) {
                     {
                       std::lock_guard lock(mutex_);
                       seen_.push_back(request.method + " " + request.path);
                     }
                     response.status = status;
                     response.set_header("Location", "/end");
                   });
    }
    server_.Get("/loop", [](const httplib::Request&, httplib::Response& response) {
      response.status = 302;
      response.set_header("Location", "/loop");
      response.set_content("looping", "text/plain");
    });
    server_.Get("/empty", [](const httplib::Request&, httplib::Response& response) {
      response.set_content("", "text/plain");
    });
    server_.Get("/end", record);
    server_.Post("/end", record);
    port_ = server_.bind_to_any_port("127.0.0.1");
    thread_ = std::thread([this] { server_.listen_after_bind(); });
    while (!server_.is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  void TearDown() override {
    server_.stop();
    thread_.join();
  }
  std::string Url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
  }
  std::vector<std::string> Seen() {
    std::lock_guard lock(mutex_);
    return seen_;
  }

  httplib::Server server_;
  std::thread thread_;
  int port_ = 0;
  std::mutex mutex_;
  std::vector<std::string> seen_;
};

TEST_F(RedirectTest, PostTurnsIntoGetWithoutBodyOn301To303) {
  for (int status : {301, 302, 303}) {
    seen_.clear();
    EXPECT_EQ(HttpRequest(Url("/" + std::to_string(status)), 1, "a=1"), "end");
    EXPECT_THAT(Seen(), ElementsAre("POST /" + std::to_string(status), "GET /end [] "));
  }
}

TEST_F(RedirectTest, PostStaysPostOn307AndIsNotFollowedOn308) {
  EXPECT_EQ(HttpRequest(Url("/307"), 1, "a=1"), "end");
  EXPECT_THAT(Seen(),
              ElementsAre("POST /307", "POST /end [a=1] application/x-www-form-urlencoded"));
  seen_.clear();
  EXPECT_EQ(HttpRequest(Url("/308"), 1, "a=1"), "");
  EXPECT_THAT(Seen(), ElementsAre("POST /308"));
}

TEST_F(RedirectTest, EndlessRedirectsEndWithTheLastBodyAndAnEmptyBodyIsEmpty) {
  EXPECT_EQ(HttpRequest(Url("/loop")), "looping");
  EXPECT_EQ(HttpRequest(Url("/empty")), "");
}

TEST(HttpsTest, SpeaksTlsWithACertificateTrustedOnlyHere) {
  testing::TempDir folder;
  testing::TlsCertificate certificate;
  ASSERT_TRUE(testing::MakeTlsCertificate(folder.Path(), certificate));
  sim::Sandbox sandbox;
  ASSERT_TRUE(sandbox.StartTls(0, certificate.certificate.string(), certificate.key.string()));
  const std::string address =
      "https://127.0.0.1:" + std::to_string(sandbox.TlsPort()) + "/proxy.htm";

  SetCaFile("");  // the system's authorities do not know this certificate
  EXPECT_EQ(HttpRequest(address), "");
  SetCaFile(certificate.certificate.string());
  EXPECT_FALSE(HttpRequest(address).empty());
  ASSERT_FALSE(sandbox.Requests().empty());
  EXPECT_EQ(sandbox.Requests().back().target, "/proxy.htm");

  // Without a port an https address goes to 443.
  sim::Sandbox default_port;
  if (!default_port.StartTls(443, certificate.certificate.string(), certificate.key.string())) {
    SetCaFile("");
    GTEST_SKIP() << "port 443 cannot be bound here";
  }
  EXPECT_FALSE(HttpRequest("https://127.0.0.1/proxy.htm").empty());
  EXPECT_EQ(default_port.Requests().size(), 1u);
  SetCaFile("");
}

}  // namespace
}  // namespace pagoling::net
