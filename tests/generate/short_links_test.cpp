#include "generate/short_links.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <httplib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

#include "generate/page_assembly.h"
#include "platform/codepage.h"
#include "sim/sandbox.h"
#include "support/temp_dir.h"
#include "support/text_files.h"
#include "ui/headless_host.h"

namespace pagoling::generate {
namespace {

using testing::Gbk;

using ::testing::IsEmpty;

// "http://a/连" with every byte escaped, the Chinese character as UTF-8.
constexpr const char* kEncodedLink = "%68%74%74%70%3A%2F%2F%61%2F%E8%BF%9E";

struct Sent {
  std::string path;
  std::string body;
  bool operator==(const Sent&) const = default;
};

void PrintTo(const Sent& sent, std::ostream* os) { *os << sent.path << " " << sent.body; }

struct ServiceCase {
  std::string name;
  bool netease;
  bool baidu;
  // The expected result with {host} standing for the sandbox's host and port.
  std::string expected;
  std::vector<Sent> sent;
  friend void PrintTo(const ServiceCase& c, std::ostream* os) { *os << c.name; }
};

class ShortenLinkSandboxTest : public ::testing::TestWithParam<ServiceCase> {
 protected:
  void SetUp() override {
    ASSERT_TRUE(sandbox_.Start(0));
    endpoints_.netease_short_host = sandbox_.HostPort();
    endpoints_.baidu_short_host = sandbox_.HostPort();
  }

  std::string WithHost(std::string text) const {
    const std::string marker = "{host}";
    for (auto at = text.find(marker); at != std::string::npos; at = text.find(marker)) {
      text.replace(at, marker.size(), sandbox_.HostPort());
    }
    return text;
  }

  std::vector<Sent> SentRequests() const {
    std::vector<Sent> sent;
    for (const auto& request : sandbox_.Requests()) {
      EXPECT_EQ(request.method, "POST");
      EXPECT_EQ(request.Header("Content-Type"), "application/x-www-form-urlencoded");
      sent.push_back({request.target, request.body});
    }
    return sent;
  }

  sim::Sandbox sandbox_;
  net::Endpoints endpoints_;
  ui::HeadlessHost host_;
  ui::MainWindow window_{host_};
};

// A fresh sandbox hands out the keys q0U, q0V, ... in order.
TEST_P(ShortenLinkSandboxTest, RequestsAndResult) {
  const ServiceCase& c = GetParam();
  window_.SetChecked("单选框7", c.netease ? 1 : 0);
  window_.SetChecked("单选框8", c.baidu ? 1 : 0);
  EXPECT_EQ(ShortenLink(window_, endpoints_, Gbk("http://a/连")), WithHost(c.expected));
  EXPECT_EQ(SentRequests(), c.sent);
}

const std::string kNeteaseBody =
    std::string("json=%7B%22urls%22%3A%5B%7B%22url%22%3A%22") + kEncodedLink + "%22%7D%5D%7D";
const std::string kBaiduBody = std::string("url=") + kEncodedLink + "&alias=&access_type=web";

INSTANTIATE_TEST_SUITE_P(
    Services, ShortenLinkSandboxTest,
    ::testing::Values(
        ServiceCase{
            "netease", true, false, "http://{host}\\n\\q0U", {{"/short.action", kNeteaseBody}}},
        ServiceCase{"baidu", false, true, "http:\\\\{host}\\b\\q0U", {{"/create.php", kBaiduBody}}},
        // Both are asked, NetEase first, each for the long link; Baidu's answer is kept.
        ServiceCase{"both_baidu_wins",
                    true,
                    true,
                    "http:\\\\{host}\\b\\q0V",
                    {{"/short.action", kNeteaseBody}, {"/create.php", kBaiduBody}}},
        ServiceCase{"neither", false, false, "", {}}),
    [](const auto& row) { return row.param.name; });

TEST(ShortenLinkFailure, NoReplyGivesTheBareSchemeOrNothing) {
  sim::Sandbox sandbox;
  ASSERT_TRUE(sandbox.Start(0));
  sandbox.InjectFault("*", sim::Fault::DropConnection());
  net::Endpoints endpoints;
  endpoints.netease_short_host = sandbox.HostPort();
  endpoints.baidu_short_host = sandbox.HostPort();
  ui::HeadlessHost host;
  ui::MainWindow window(host);
  window.SetChecked("单选框7", 1);
  EXPECT_EQ(ShortenLink(window, endpoints, "http://a"), "http://");
  window.SetChecked("单选框7", 0);
  window.SetChecked("单选框8", 1);
  EXPECT_EQ(ShortenLink(window, endpoints, "http://a"), "");
}

// Replies the sandbox does not send: each service answers with the scripted body.
struct ReplyCase {
  std::string name;
  bool netease;
  std::string reply;
  std::string expected;
  friend void PrintTo(const ReplyCase& c, std::ostream* os) { *os << c.name; }
};

class ShortenLinkReplyTest : public ::testing::TestWithParam<ReplyCase> {
 protected:
  void SetUp() override {
    for (const char* path : {"/short.action", "/create.php"}) {
      server_.Post(path, [this](const httplib::Request&, httplib::Response& response) {
        response.set_content(GetParam().reply, "application/json");
      });
    }
    const int port = server_.bind_to_any_port("127.0.0.1");
    ASSERT_GT(port, 0);
    serving_ = std::thread([this] { server_.listen_after_bind(); });
    endpoints_.netease_short_host = endpoints_.baidu_short_host =
        "127.0.0.1:" + std::to_string(port);
  }
  void TearDown() override {
    server_.stop();
    if (serving_.joinable()) serving_.join();
  }

  httplib::Server server_;
  std::thread serving_;
  net::Endpoints endpoints_;
};

TEST_P(ShortenLinkReplyTest, ValueCutAndSlashesRemoved) {
  ui::HeadlessHost host;
  ui::MainWindow window(host);
  window.SetChecked(GetParam().netease ? "单选框7" : "单选框8", 1);
  EXPECT_EQ(ShortenLink(window, endpoints_, "http://long"), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Replies, ShortenLinkReplyTest,
    ::testing::Values(
        ReplyCase{"baidu_plain", false, R"({"tinyurl":"xyz","status":0})", "xyz"},
        ReplyCase{"baidu_escaped_slashes_keep_backslashes", false,
                  R"({"tinyurl":"http:\/\/dwz.cn\/abc"})", R"(http:\\dwz.cn\abc)"},
        ReplyCase{"baidu_key_in_capitals", false, R"({"TinyURL":"xyz"})", "xyz"},
        ReplyCase{"baidu_first_occurrence", false, R"({"tinyurl":"one","tinyurl":"two"})", "one"},
        ReplyCase{"baidu_no_marker", false, R"({"status":-1})", ""},
        ReplyCase{"netease_backslash_stays", true, R"({"url":"ab\/cd"})", R"(http://ab\cd)"},
        ReplyCase{"netease_key_in_capitals", true, R"({"URL":"ab"})", "http://ab"},
        ReplyCase{"netease_marker_ending_a_longer_key", true,
                  R"({"long_url":"x.cn\/long","url":"s.cn\/1"})", R"(http://x.cn\long)"},
        ReplyCase{"netease_no_marker", true, R"({"status_code":500})", "http://"}),
    [](const auto& row) { return row.param.name; });

// With short links on, only the promotion link goes to the service; the shop link stays.
TEST(AssemblePageShortLinks, OnlyThePromotionLinkIsShortened) {
  testing::TempDir dir;
  testing::ScopedRunDirectory run_directory(dir.Gbk());
  std::filesystem::create_directories(dir.Path() / "单页生成" / "模板" / "t");
  sim::Sandbox sandbox;
  ASSERT_TRUE(sandbox.Start(0));
  net::Endpoints endpoints;
  endpoints.baidu_short_host = sandbox.HostPort();
  ui::HeadlessHost host;
  ui::MainWindow window(host);
  window.SetText("编辑框2", "t");
  window.SetText("编辑框4", Gbk("[#商品网址#]|[#店铺网址#]"));
  window.SetText("编辑框7", "1");
  window.SetChecked("选择框2", 1);
  window.SetChecked("单选框8", 1);
  const int row = window.InsertRow("超级列表框1");
  window.SetCell("超级列表框1", row, 1, "T");
  window.SetCell("超级列表框1", row, 4, "http://shop");
  const int link_row = window.InsertRow("超级列表框转换链接");
  window.SetCell("超级列表框转换链接", link_row, 0, "http://a");
  window.SetCell("超级列表框转换链接", link_row, 1, "T");
  platform::RecordingPacer pacer;

  AssemblePage(window, pacer, endpoints, "k");

  std::ifstream in(dir.Path() / "单页生成" / "模板" / "t" / "k.htm", std::ios::binary);
  const std::string page{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  EXPECT_EQ(page, "http:\\\\" + sandbox.HostPort() + "\\b\\q0U|http://shop");
  ASSERT_EQ(sandbox.Requests().size(), 1u);
  EXPECT_EQ(sandbox.Requests()[0].body, "url=%68%74%74%70%3A%2F%2F%61&alias=&access_type=web");
  EXPECT_THAT(window.Text("编辑框8"), IsEmpty());
}

}  // namespace
}  // namespace pagoling::generate
