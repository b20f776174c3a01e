// The custom collection run: the block search, the scrape of a source page, and whole runs through
// the window's events against the sandbox platform, down to the page files.
#include "collect/custom_run.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <mutex>

#include "app/application.h"
#include "collect/collection_rule.h"
#include "net/encoding.h"
#include "net/http_cookie_store.h"
#include "net/http_request.h"
#include "net/text_between.h"
#include "platform/codepage.h"
#include "sim/pages.h"
#include "sim/sandbox.h"
#include "support/sandbox_login.h"
#include "support/temp_dir.h"
#include "support/text_files.h"
#include "templates/template_store.h"
#include "ui/headless_host.h"
#include "ui/shell_handlers.h"

namespace pagoling {
namespace {

using testing::Gbk;
using testing::ReadBytes;
using testing::Utf8;

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

struct BlockCase {
  const char* name;
  std::string page;
  std::string code;
  std::vector<int> starts;
};

class BlockStartsTest : public ::testing::TestWithParam<BlockCase> {};

TEST_P(BlockStartsTest, FindsEveryOccurrenceAfterThePrevious) {
  EXPECT_EQ(collect::FindBlockStarts(GetParam().page, GetParam().code), GetParam().starts);
}

INSTANTIATE_TEST_SUITE_P(
    Pages, BlockStartsTest,
    ::testing::Values(BlockCase{"two_blocks", "x<li>a</li><li>b</li>", "<li>", {2, 12}},
                      BlockCase{"block_opens_the_page", "<li>a</li><li>b</li>", "<li>", {1, 11}},
                      BlockCase{"overlapping_code", "aaaaa", "aa", {1, 3}},
                      BlockCase{"no_block", "<p>a</p>", "<li>", {}},
                      BlockCase{"empty_code", "<li>a</li>", "", {}},
                      // "昞" is GBK 95 41: its trail byte is "A", which must not start a match.
                      BlockCase{"trail_byte", Gbk("昞") + "A", "A", {3}}),
    [](const auto& row) { return std::string(row.param.name); });

class CustomRunTest : public ::testing::Test {
 protected:
  void SetUp() override {
    net::CookieStore::Shared().Clear();
    ASSERT_TRUE(sandbox_.Start(0));
    app_ = std::make_unique<app::Application>(host_, pacer_, testing::SandboxEndpoints(sandbox_));
    token_ = testing::LogInToSandbox(sandbox_);

    fs::create_directories(TemplateFolder());
    std::ofstream(TemplateFolder() / "模板文件.htm", std::ios::binary)
        << Gbk("<h>[#关键词#]</h>\r\n[#商品循环开始#]<i>[#商品排名#]|[#商品价格#]|[#商品图片地址#]"
               "</i>\r\n[#商品循环结束#]<t/>");
    templates::ListTemplates(window());

    collect::CollectionRule rule;
    rule.source_address = SourceAddress(1);
    rule.item_start_code = std::string(sim::kSourceBlockStart);
    rule.item_end_code = std::string(sim::kSourceBlockEnd);
    rule.price_start_code = std::string(sim::kSourcePriceStart);
    rule.price_end_code = std::string(sim::kSourcePriceEnd);
    fs::create_directories(dir_.Path() / "采集规则");
    std::ofstream(dir_.Path() / "采集规则" / "热销.txt", std::ios::binary)
        << collect::FormatRuleFile(rule);

    window().SetText("mm号编辑框", "mm_1_2_3");
    window().SetText("编辑框7", "2");
    window().SetOwnVisible("选择框1", true);
  }
  void TearDown() override {
    if (app_) app_->Generation().EndWorker();
    net::CookieStore::Shared().Clear();
  }

  ui::MainWindow& window() { return app_->Window(); }
  fs::path TemplateFolder() const { return dir_.Path() / "单页生成" / "模板" / "样板"; }
  std::string SourcePath(int n) const { return "/collect/list" + std::to_string(n) + ".htm"; }
  std::string SourceAddress(int n) const { return sandbox_.BaseUrl() + SourcePath(n); }
  std::string ItemLink(const std::string& id) const {
    return sandbox_.BaseUrl() + "/item.htm?id=" + id;
  }

  std::vector<std::string> FirstIds(int n, std::size_t count) const {
    std::vector<std::string> ids = sandbox_.SourcePageProductIds(SourcePath(n));
    ids.resize(std::min(ids.size(), count));
    return ids;
  }

  // The special price the source page shows next to a product's link.
  std::string SpecialPriceOn(int n, const std::string& id) const {
    const std::string page = net::HttpRequest(SourceAddress(n));
    const int at = net::FindText(page, "item.htm?id=" + id + "\"");
    EXPECT_GT(at, 0) << id;
    return net::TextBetween(page, sim::kSourcePriceStart, sim::kSourcePriceEnd, at);
  }

  // The user's way in: the check box (focus, then click), the sandbox rule, one more address.
  void ChooseRuleWithSecondAddress() {
    window().Raise("选择框1", ui::Event::kGotFocus);
    ASSERT_TRUE(window().UserClick("选择框1"));
    ASSERT_EQ(window().Checked("选择框1"), 1);
    ASSERT_EQ(Utf8(window().ItemText("资源组合框1", 1)), "热销");
    ASSERT_TRUE(window().UserSelect("资源组合框1", 1));
    window().UserType("网址编辑框", SourceAddress(2));
    ASSERT_TRUE(window().UserClick("按钮2"));
  }

  generate::RunOutcome Run() {
    sandbox_.ClearRequests();
    EXPECT_TRUE(window().UserClick("按钮1"));
    return app_->Generation().WaitForWorker();
  }

  std::vector<std::string> Targets(const std::string& path) const {
    std::vector<std::string> targets;
    for (const auto& request : sandbox_.Requests()) {
      if (request.Path() == path) targets.push_back(request.target);
    }
    return targets;
  }

  std::vector<std::string> Pages() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(TemplateFolder())) {
      names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  std::vector<std::string> Messages() const { return Utf8(host_.MessageBoxes()); }

  // Lets a test hold the sandbox's reply to one path until it is released.
  std::mutex hold_mutex_;
  std::condition_variable hold_changed_;
  std::string hold_path_;
  bool held_ = false;
  bool released_ = false;

  sim::Sandbox sandbox_{sim::Options{.on_request = [this](const sim::RecordedRequest& request) {
    std::unique_lock lock(hold_mutex_);
    if (hold_path_.empty() || request.Path() != hold_path_) return;
    held_ = true;
    hold_changed_.notify_all();
    hold_changed_.wait_for(lock, std::chrono::seconds(30), [this] { return released_; });
  }}};
  testing::TempDir dir_;
  testing::ScopedRunDirectory run_directory_{dir_.Gbk()};
  ui::HeadlessHost host_;
  platform::RecordingPacer pacer_;
  std::unique_ptr<app::Application> app_;
  std::string token_;
};

TEST_F(CustomRunTest, TwoAddressesGiveTwoPagesWithTheScrapedSpecialPrices) {
  ChooseRuleWithSecondAddress();
  ASSERT_EQ(Run(), generate::RunOutcome::kCompleted);
  EXPECT_THAT(Messages(), IsEmpty());

  std::vector<std::string> lookups;
  for (int n = 1; n <= 2; ++n) {
    std::string page = "<h>热销(" + std::to_string(n) + "）</h>\r\n";
    int rank = 0;
    for (const std::string& id : FirstIds(n, 2)) {
      page += "<i>" + std::to_string(++rank) + "|" + SpecialPriceOn(n, id) + "|" +
              sandbox_.BaseUrl() + "/img/p/" + id + ".jpg_320x320.jpg</i>\r\n";
      lookups.push_back("/pubauc/searchAuctionList.json?spm=0.0.0.0.uJhRtA&q=" +
                        net::UrlEncode(ItemLink(id), true, true) +
                        "&toPage=1&sort=_totalnum&perPagesize=40&_tb_token_=" + token_);
    }
    EXPECT_EQ(Utf8(ReadBytes(TemplateFolder() / ("热销(" + std::to_string(n) + "）.htm"))),
              page + "<t/>");
  }
  EXPECT_THAT(Pages(), ElementsAre("模板文件.htm", "热销(1）.htm", "热销(2）.htm"));
  EXPECT_THAT(Targets("/pubauc/searchAuctionList.json"), ElementsAreArray(lookups));
  EXPECT_EQ(Targets("/common/getUnionPubContextInfo.json").size(), 2u);

  // The special price rides along in column 9 of the last address's products.
  ASSERT_EQ(window().RowCount("超级列表框1"), 2);
  EXPECT_EQ(window().Cell("超级列表框1", 1, 0), FirstIds(2, 2)[1]);
  EXPECT_EQ(window().Cell("超级列表框1", 1, 9), SpecialPriceOn(2, FirstIds(2, 2)[1]));

  const std::string log = Utf8(window().Text("编辑框8"));
  EXPECT_THAT(log, HasSubstr("\r\n开始采集网址：" + SourceAddress(1) + "\r\n正在解析网址：" +
                             SourceAddress(1) + "\r\n开始对商品网址：" +
                             ItemLink(FirstIds(1, 1)[0]) + "进行解析\r\n"));
  EXPECT_THAT(log, HasSubstr("生成网址\"热销(1）.htm\"完毕\r\n开始采集网址：" + SourceAddress(2)));
  EXPECT_THAT(log, ::testing::EndsWith("采集完毕，正在封装数据……\r\n生成网址\"热销(2）.htm\"完毕"));
  // With the run log in front the shop step stays off.
  EXPECT_THAT(Targets("/common/code/getShopCode.json"), IsEmpty());
  EXPECT_EQ(window().CurrentPage("选择夹2"), ui::kRunLogPage);
}

TEST_F(CustomRunTest, ScrapeTakesBlocksInPageOrderUpToAWholeProductCount) {
  window().SetText("单个前编辑框", std::string(sim::kSourceBlockStart));
  window().SetText("单个后编辑框", std::string(sim::kSourceBlockEnd));
  window().SetText("特价前编辑框", std::string(sim::kSourcePriceStart));
  window().SetText("特价后编辑框", std::string(sim::kSourcePriceEnd));
  const std::vector<std::string> all = sandbox_.SourcePageProductIds(SourcePath(3));
  ASSERT_GT(all.size(), 3u);

  for (const auto& [count, rows] :
       std::vector<std::pair<std::string, std::size_t>>{{"3", 3},
                                                        {"0", all.size()},
                                                        {"-1", all.size()},
                                                        {"2.5", all.size()},
                                                        {"abc", all.size()},
                                                        {"", all.size()},
                                                        {"999", all.size()}}) {
    SCOPED_TRACE("count \"" + count + "\"");
    window().SetText("编辑框7", count);
    collect::ScrapeSourcePage(app_->Generation(), SourceAddress(3));
    ASSERT_EQ(static_cast<std::size_t>(window().RowCount("自定义超级列表框")), rows);
    for (std::size_t row = 0; row < rows; ++row) {
      const int r = static_cast<int>(row);
      EXPECT_EQ(window().Cell("自定义超级列表框", r, 0), ItemLink(all[row]));
      EXPECT_EQ(window().Cell("自定义超级列表框", r, 1), SpecialPriceOn(3, all[row]));
    }
  }

  // A block without a link gives an empty link beside its price.
  window().SetText("单个前编辑框", Gbk("<p>原价："));
  window().SetText("单个后编辑框", "</p>");
  window().SetText("编辑框7", "2");
  collect::ScrapeSourcePage(app_->Generation(), SourceAddress(3));
  ASSERT_EQ(window().RowCount("自定义超级列表框"), 2);
  EXPECT_EQ(window().Cell("自定义超级列表框", 1, 0), "");
  EXPECT_EQ(window().Cell("自定义超级列表框", 1, 1), SpecialPriceOn(3, all[1]));
}

struct EndingCase {
  const char* name;
  const char* count;
  const char* item_start_utf8;
  const char* dropped_path;  // the sandbox drops the connection for this path
  const char* message;
};

class CustomRunEndingTest : public CustomRunTest,
                            public ::testing::WithParamInterface<EndingCase> {};

TEST_P(CustomRunEndingTest, EndsWithItsMessageBeforeAnyLookupOrPage) {
  const EndingCase& c = GetParam();
  ChooseRuleWithSecondAddress();
  window().SetText("编辑框7", c.count);
  window().SetText("单个前编辑框", Gbk(c.item_start_utf8));
  if (*c.dropped_path != 0) sandbox_.InjectFault(c.dropped_path, sim::Fault::DropConnection());

  EXPECT_EQ(Run(), generate::RunOutcome::kEndedByCheck);
  EXPECT_THAT(Messages(), ElementsAre(c.message));
  EXPECT_THAT(Targets("/pubauc/searchAuctionList.json"), IsEmpty());
  EXPECT_THAT(Targets(SourcePath(2)), IsEmpty());
  EXPECT_THAT(Pages(), ElementsAre("模板文件.htm"));
}

INSTANTIATE_TEST_SUITE_P(Runs, CustomRunEndingTest,
                         ::testing::Values(EndingCase{"no_product_count", "", "<li class=\"item\">",
                                                      "", "请输入生成宝贝的数量"},
                                           EndingCase{"first_block_without_link", "2", "<p>原价：",
                                                      "", "规则错误，可以找软件开发者重写规则。"},
                                           EndingCase{"empty_item_start_code", "2", "", "",
                                                      "规则错误，可以找软件开发者重写规则。"},
                                           EndingCase{"source_page_unreachable", "2",
                                                      "<li class=\"item\">", "/collect/list1.htm",
                                                      "规则错误，可以找软件开发者重写规则。"}),
                         [](const auto& row) { return std::string(row.param.name); });

TEST_F(CustomRunTest, NothingLandsAfterStopReturns) {
  ChooseRuleWithSecondAddress();
  {
    std::lock_guard lock(hold_mutex_);
    hold_path_ = SourcePath(2);
  }
  ASSERT_TRUE(window().UserClick("按钮1"));
  {
    std::unique_lock lock(hold_mutex_);
    ASSERT_TRUE(hold_changed_.wait_for(lock, std::chrono::seconds(60), [this] { return held_; }));
  }
  app_->Generation().StopGeneration();
  const std::vector<std::string> pages_at_stop = Pages();
  const std::string log_at_stop = window().Text("编辑框8");
  {
    std::lock_guard lock(hold_mutex_);
    released_ = true;
  }
  hold_changed_.notify_all();

  EXPECT_EQ(app_->Generation().WaitForWorker(), generate::RunOutcome::kHalted);
  EXPECT_EQ(Pages(), pages_at_stop);
  EXPECT_THAT(Pages(), ElementsAre("模板文件.htm", "热销(1）.htm"));
  EXPECT_EQ(window().Text("编辑框8"), log_at_stop);
  EXPECT_THAT(Utf8(log_at_stop), ::testing::EndsWith("正在解析网址：" + SourceAddress(2) + "\r\n"));
}

}  // namespace
}  // namespace pagoling
