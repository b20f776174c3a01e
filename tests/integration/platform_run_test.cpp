#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/login.h"
#include "app/platform_steps.h"
#include "generate/generation_run.h"
#include "net/encoding.h"
#include "net/http_cookie_store.h"
#include "net/http_request.h"
#include "net/text_between.h"
#include "platform/codepage.h"
#include "sim/sandbox.h"
#include "support/sandbox_login.h"
#include "support/text_files.h"
#include "ui/headless_host.h"

namespace pagoling {
namespace {

using testing::Utf8;

using ::testing::ElementsAreArray;
using ::testing::HasSubstr;

// The platform steps up to and including the promotion links; the template and the page are not
// this suite's business, so those two steps only note that they were reached.
class StepsUpToLinks : public app::PlatformSteps {
 public:
  using PlatformSteps::PlatformSteps;
  void LoadTemplate() override {}
  std::string AssemblePage(const std::string& name) override {
    pages.push_back(name);
    return name;
  }
  std::vector<std::string> pages;
};

class PlatformRunTest : public ::testing::Test {
 protected:
  void SetUp() override {
    net::CookieStore::Shared().Clear();
    ASSERT_TRUE(sandbox_.Start(0));
    endpoints_ = testing::SandboxEndpoints(sandbox_);
    steps_ = std::make_unique<StepsUpToLinks>(window_, pacer_, endpoints_);
    generation_ =
        std::make_unique<generate::Generation>(window_, pacer_, *steps_, endpoints_.member_host);
    window_.SetSelectedIndex("组合框1", 0);
    window_.SetSelectedIndex("组合框2", 0);
    window_.SetText("mm号编辑框", "mm_1_2_3");
    window_.SetText("编辑框7", "3");
  }
  void TearDown() override { net::CookieStore::Shared().Clear(); }

  void LogIn() { token_ = testing::LogInToSandbox(sandbox_); }

  generate::RunOutcome Run(const std::string& keywords_utf8) {
    window_.SetText("编辑框1", platform::GbkFromUtf8(keywords_utf8));
    sandbox_.ClearRequests();
    generation_->StartGeneration();
    return generation_->WaitForWorker();
  }

  std::vector<std::string> Targets() {
    std::vector<std::string> targets;
    for (const auto& request : sandbox_.Requests()) targets.push_back(request.target);
    return targets;
  }

  std::string SearchTarget(const std::string& keyword_utf8) {
    return "/pubauc/searchAuctionList.json?spm=0.0.0.0.AM7g9M&q=" +
           net::UrlEncode(platform::GbkFromUtf8(keyword_utf8), true, true) +
           "&toPage=1&startCommrate=&startTotalnum=&endTotalnum=&startPrice=&endPrice="
           "&startRatesum=&loc=&sort=_totalnum&perPagesize=40&_tb_token_=" +
           token_;
  }

  // The first products of the sandbox's reply, read straight from the sandbox.
  std::vector<std::pair<std::string, std::string>> FirstProducts(const std::string& keyword_utf8,
                                                                 int count) {
    const std::string reply =
        net::UrlDecode(net::HttpRequest(sandbox_.BaseUrl() + SearchTarget(keyword_utf8)), true);
    std::vector<std::pair<std::string, std::string>> products;
    int from = 1;
    for (int i = 0; i < count; ++i) {
      from = net::FindText(reply, "groupId\":null", from);
      if (from < 0) break;
      std::string title = net::TextBetween(reply, "title\":\"", "\",\"", from);
      for (const std::string tag : {"<span class=\\\"H\\\">", "</span>"}) {
        for (auto at = title.find(tag); at != std::string::npos; at = title.find(tag)) {
          title.erase(at, tag.size());
        }
      }
      products.emplace_back(net::TextBetween(reply, "auctionId\":\"", "\"", from), title);
      from += 1;
    }
    return products;
  }

  sim::Sandbox sandbox_;
  net::Endpoints endpoints_;
  ui::HeadlessHost host_;
  ui::MainWindow window_{host_};
  platform::RecordingPacer pacer_;
  std::unique_ptr<StepsUpToLinks> steps_;
  std::unique_ptr<generate::Generation> generation_;
  std::string token_;
};

TEST_F(PlatformRunTest, CheckLoginFollowsTheSessionAndFailsClosed) {
  window_.Navigate("超文本浏览框1", sandbox_.BaseUrl() + "/membersvc/index.htm");
  EXPECT_FALSE(app::CheckLogin(window_));
  LogIn();
  EXPECT_TRUE(app::CheckLogin(window_));
  sandbox_.InjectFault("/membersvc/index.htm", sim::Fault::DropConnection().Times(1));
  EXPECT_FALSE(app::CheckLogin(window_));
  sandbox_.InjectFault("/membersvc/index.htm", sim::Fault::LoggedOut().Times(1));
  EXPECT_FALSE(app::CheckLogin(window_));
}

TEST_F(PlatformRunTest, LoggedOutRunStopsAtTheLoginCheck) {
  EXPECT_EQ(Run("连衣裙"), generate::RunOutcome::kEndedByCheck);
  ASSERT_EQ(host_.MessageBoxes().size(), 1u);
  EXPECT_EQ(Utf8(host_.MessageBoxes()[0]), "请登陆阿里妈妈");
  EXPECT_THAT(Targets(), ElementsAreArray({"/membersvc/index.htm"}));
}

TEST_F(PlatformRunTest, TwoKeywordsUpToThePromotionLinks) {
  LogIn();
  const auto dresses = FirstProducts("连衣裙", 3);
  const auto teas = FirstProducts("茶叶", 3);
  ASSERT_EQ(dresses.size(), 3u);
  ASSERT_EQ(teas.size(), 3u);

  ASSERT_EQ(Run("连衣裙\r\n茶叶"), generate::RunOutcome::kCompleted);

  std::vector<std::string> expected = {
      "/membersvc/index.htm", "/common/getUnionPubContextInfo.json", SearchTarget("连衣裙")};
  for (const auto& [id, title] : dresses) {
    expected.push_back("/common/code/getAuctionCode.json?auctionid=" + id +
                       "&adzoneid=3&siteid=2&_tb_token_=" + token_);
  }
  expected.push_back(SearchTarget("茶叶"));
  for (const auto& [id, title] : teas) {
    expected.push_back("/common/code/getAuctionCode.json?auctionid=" + id +
                       "&adzoneid=3&siteid=2&_tb_token_=" + token_);
  }
  EXPECT_THAT(Targets(), ElementsAreArray(expected));

  // ProductTable holds the second keyword's products, whole; the links gather both keywords.
  const int rows = window_.RowCount("超级列表框1");
  EXPECT_GT(rows, 3);
  EXPECT_LE(rows, 40);
  for (int row = 0; row < 3; ++row) {
    EXPECT_EQ(window_.Cell("超级列表框1", row, 0), teas[static_cast<std::size_t>(row)].first);
    EXPECT_EQ(window_.Cell("超级列表框1", row, 1), teas[static_cast<std::size_t>(row)].second);
    EXPECT_THAT(Utf8(window_.Cell("超级列表框1", row, 1)), HasSubstr("茶叶"));
    EXPECT_FALSE(window_.Cell("超级列表框1", row, 7).empty());
  }
  ASSERT_EQ(window_.RowCount("超级列表框转换链接"), 6);
  for (int row = 0; row < 6; ++row) {
    const auto& product =
        row < 3 ? dresses[static_cast<std::size_t>(row)] : teas[static_cast<std::size_t>(row - 3)];
    EXPECT_EQ(window_.Cell("超级列表框转换链接", row, 1), product.second);
    EXPECT_THAT(window_.Cell("超级列表框转换链接", row, 0), HasSubstr("id=" + product.first));
    EXPECT_THAT(window_.Cell("超级列表框转换链接", row, 0), HasSubstr("_2_3"));
  }

  std::string log = "\r\n正在努力采集.......\r\n";
  for (const auto* products : {&dresses, &teas}) {
    log += "正在按销量由高到底搜寻。。。\r\n正在解析商品……\r\n";
    for (const auto& [id, title] : *products) {
      log += "开始搜寻" + Utf8(title) + "的信息\r\n搜寻" + Utf8(title) + "完毕\r\n";
    }
    log += "开始搜寻单个宝贝信息……\r\n生成关键词\"" +
           std::string(products == &dresses ? "连衣裙" : "茶叶") + ".htm\"完毕";
  }
  EXPECT_EQ(Utf8(window_.Text("编辑框8")), log);

  // The extraction's rest, the run's own pauses, and a second before each product's link.
  const std::vector<int> keyword = {200, 200, 500, 200, 1000, 1000, 1000, 500, 200, 100};
  std::vector<int> pauses = {500};
  pauses.insert(pauses.end(), keyword.begin(), keyword.end());
  pauses.insert(pauses.end(), keyword.begin(), keyword.end());
  EXPECT_EQ(pacer_.Pauses(), pauses);
}

struct FaultCase {
  friend void PrintTo(const FaultCase& row, std::ostream* os) { *os << row.name; }
  std::string name;
  std::string path;
  sim::Fault fault;
};

class PlatformFaultTest : public PlatformRunTest,
                          public ::testing::WithParamInterface<FaultCase> {};

TEST_P(PlatformFaultTest, RunGoesOnWithEmptyValues) {
  LogIn();
  sandbox_.InjectFault(GetParam().path, GetParam().fault);
  ASSERT_EQ(Run("连衣裙\r\n茶叶"), generate::RunOutcome::kCompleted);
  EXPECT_THAT(Utf8(window_.Text("编辑框8")), HasSubstr("生成关键词\"茶叶.htm\"完毕"));
  EXPECT_EQ(steps_->pages.size(), 2u);
  for (int row = 0; row < window_.RowCount("超级列表框转换链接"); ++row) {
    // A link is either the platform's or empty, never a piece of a broken reply.
    const std::string link = window_.Cell("超级列表框转换链接", row, 0);
    EXPECT_TRUE(link.empty() || link.rfind("http://", 0) == 0) << link;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Faults, PlatformFaultTest,
    ::testing::Values(
        FaultCase{"context_dropped", "/common/getUnionPubContextInfo.json",
                  sim::Fault::DropConnection()},
        FaultCase{"search_error_page", "/pubauc/searchAuctionList.json",
                  sim::Fault::HtmlErrorPage()},
        FaultCase{"search_garbage", "/pubauc/searchAuctionList.json", sim::Fault::GarbageBytes()},
        FaultCase{"search_logged_out", "/pubauc/searchAuctionList.json", sim::Fault::LoggedOut()},
        FaultCase{"search_huge", "/pubauc/searchAuctionList.json",
                  sim::Fault::HugeBody(std::size_t{24} << 20)},
        FaultCase{"item_code_dropped", "/common/code/getAuctionCode.json",
                  sim::Fault::DropConnection()},
        FaultCase{"item_code_garbage", "/common/code/getAuctionCode.json",
                  sim::Fault::GarbageBytes()},
        FaultCase{"item_code_slow_once", "/common/code/getAuctionCode.json",
                  sim::Fault::Delay(300).Times(1)}),
    [](const auto& row) { return row.param.name; });

TEST_F(PlatformRunTest, ShopInfoStepRunsOnlyWhileTheOptionsScrollBarIsVisible) {
  LogIn();
  window_.SetText("编辑框7", "2");
  window_.SetOwnVisible("纵向滚动条1", true);  // a layout that shows the switch
  ASSERT_EQ(Run("茶叶"), generate::RunOutcome::kCompleted);

  std::vector<std::string> paths;
  for (const auto& request : sandbox_.Requests()) paths.push_back(request.Path());
  EXPECT_THAT(
      paths, ElementsAreArray({"/membersvc/index.htm", "/common/getUnionPubContextInfo.json",
                               "/pubauc/searchAuctionList.json", "/pubauc/searchPromotionInfo.json",
                               "/common/code/getShopCode.json", "/pubauc/searchPromotionInfo.json",
                               "/common/code/getShopCode.json", "/common/code/getAuctionCode.json",
                               "/common/code/getAuctionCode.json"}));
  const std::string seller = window_.Cell("超级列表框1", 0, 3);
  EXPECT_EQ(sandbox_.Requests()[3].target,
            "/pubauc/searchPromotionInfo.json?oriMemberid=" + seller + "&_tb_token_=" + token_);
  EXPECT_EQ(sandbox_.Requests()[4].target, "/common/code/getShopCode.json?orimemberid=" + seller +
                                               "&adzoneid=3&siteid=2&_tb_token_=" + token_);
  // Decoded replies: the escapes of the picture address are resolved.
  EXPECT_THAT(window_.Cell("超级列表框1", 0, 4), HasSubstr("user_number_id=" + seller));
  EXPECT_THAT(window_.Cell("超级列表框1", 0, 5), ::testing::StartsWith("http://"));
  EXPECT_EQ(window_.Cell("超级列表框1", 2, 4), "");  // past the product count
}

TEST_F(PlatformRunTest, ItemLinksLogNothingPerProductWhileCustomCollectionIsOn) {
  LogIn();
  window_.SetText("编辑框7", "2");
  const int row = window_.InsertRow("超级列表框1");
  window_.SetCell("超级列表框1", row, 0, "1");
  window_.SetCell("超级列表框1", row, 1, "t");
  window_.SetChecked("选择框1", 1);
  const auto context = steps_->FetchPubContext();
  steps_->FetchItemLinks(context);
  EXPECT_EQ(window_.Text("编辑框8"), "");
  EXPECT_EQ(window_.RowCount("超级列表框转换链接"), 1);
}

TEST_F(PlatformRunTest, ShowLoginPageOpensTheAffiliateLoginOnce) {
  app::ShowLoginPage(window_, endpoints_);
  EXPECT_EQ(window_.Checked("单选框6"), 1);
  const std::string expected =
      "http://" + sandbox_.HostPort() + "/member/minilogin.htm?redirect=http%3A%2F%2F" +
      sandbox_.HostPort() + "%2Findex.htm&proxy=http://" + sandbox_.HostPort() + "/proxy.htm";
  EXPECT_EQ(window_.Address("超文本浏览框1"), expected);
  window_.Navigate("超文本浏览框1", "about:blank");
  app::ShowLoginPage(window_, endpoints_);
  EXPECT_EQ(window_.Address("超文本浏览框1"), "about:blank");

  window_.SetChecked("单选框6", 0);
  window_.SetChecked("单选框5", 1);
  app::OnMarketLoginClicked(window_, endpoints_);
  EXPECT_EQ(window_.Address("超文本浏览框1"),
            "https://" + sandbox_.HostPort() +
                "/member/login.jhtml?style=minisimple&from=alimama&redirectURL=http%3A%2F%2F" +
                sandbox_.HostPort() +
                "%2Fmember%2Ftaobaoke%2Flogin.htm%3Fis_login%3d1&full_redirect=true"
                "&disableQuickLogin=true");
}

}  // namespace
}  // namespace pagoling
