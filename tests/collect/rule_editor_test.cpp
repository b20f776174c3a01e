// The rule editor through the window's events, as the user drives it.
#include "collect/rule_editor.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "app/application.h"
#include "collect/collection_rule.h"
#include "platform/codepage.h"
#include "support/temp_dir.h"
#include "support/text_files.h"
#include "ui/headless_host.h"
#include "ui/shell_handlers.h"

namespace pagoling {
namespace {

using testing::Gbk;
using testing::ReadBytes;
using testing::Utf8;

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

class RuleEditorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(RuleFolder());
    window_.SetOwnVisible("选择框1", true);
  }

  fs::path RuleFolder() const { return dir_.Path() / "采集规则"; }

  void WriteRule(const std::string& file_utf8, const std::string& address,
                 const std::string& item_start_utf8) {
    collect::CollectionRule rule;
    rule.source_address = address;
    rule.item_start_code = Gbk(item_start_utf8);
    rule.item_end_code = "</li>";
    rule.price_start_code = "<em>";
    rule.price_end_code = "</em>";
    std::ofstream(RuleFolder() / file_utf8, std::ios::binary) << collect::FormatRuleFile(rule);
  }

  // A click as the platform delivers it: focus first, then the click itself.
  void ClickCheckBox() {
    window_.Raise("选择框1", ui::Event::kGotFocus);
    ASSERT_TRUE(window_.UserClick("选择框1"));
  }

  std::vector<std::string> ListedRules() const {
    std::vector<std::string> items;
    for (int i = 0; i < window_.ItemCount("资源组合框1"); ++i) {
      items.push_back(Utf8(window_.ItemText("资源组合框1", i)));
    }
    return items;
  }

  std::vector<std::string> Addresses() const {
    std::vector<std::string> rows;
    for (int i = 0; i < window_.RowCount("网址超级列表框"); ++i) {
      rows.push_back(Utf8(window_.Cell("网址超级列表框", i, 0)));
    }
    return rows;
  }

  std::vector<std::string> Messages() const { return Utf8(host_.MessageBoxes()); }

  testing::TempDir dir_;
  testing::ScopedRunDirectory run_directory_{dir_.Gbk()};
  ui::HeadlessHost host_;
  platform::RecordingPacer pacer_;
  app::Application app_{host_, pacer_, net::Endpoints{}};
  ui::MainWindow& window_ = app_.Window();
};

TEST_F(RuleEditorTest, CheckBoxListsEachRuleFileOnceAndShowsTheEditor) {
  WriteRule("女装.txt", "http://a/", "<li>");
  WriteRule("数码.txt.txt", "http://b/", "<li>");
  WriteRule(".隐藏.txt", "http://c/", "<li>");
  std::ofstream(RuleFolder() / "说明.htm") << "x";
  fs::create_directories(RuleFolder() / "目录.txt");

  ClickCheckBox();  // checks the box
  EXPECT_EQ(window_.Checked("选择框1"), 1);
  EXPECT_EQ(window_.CurrentPage("选择夹2"), ui::kRuleEditorPage);
  const auto listed = ListedRules();
  EXPECT_THAT(listed, ElementsAre("请选择要采集的资源", "女装", "数码"));
  EXPECT_EQ(window_.SelectedIndex("资源组合框1"), 0);

  // Focus on a checked box does nothing; unchecking lists again, without doubles.
  window_.SetCurrentPage("选择夹2", ui::kRunLogPage);
  window_.Raise("选择框1", ui::Event::kGotFocus);
  EXPECT_EQ(window_.CurrentPage("选择夹2"), ui::kRunLogPage);
  window_.SetCurrentPage("选择夹2", ui::kRuleEditorPage);
  ClickCheckBox();
  ClickCheckBox();
  ClickCheckBox();
  EXPECT_EQ(window_.Checked("选择框1"), 0);
  EXPECT_EQ(window_.CurrentPage("选择夹2"), ui::kRuleEditorPage);
  EXPECT_EQ(ListedRules(), listed);
}

TEST_F(RuleEditorTest, MissingRuleFolderListsOnlyThePrompt) {
  fs::remove_all(RuleFolder());
  ClickCheckBox();
  EXPECT_THAT(ListedRules(), ElementsAre("请选择要采集的资源"));
}

TEST_F(RuleEditorTest, LoadingRulesCollectsTheirAddressesAndTakesTheLastCodes) {
  WriteRule("女装.txt", "http://a/list.htm", "<li class=\"a\">\r\n<div>");
  WriteRule("数码.txt", "http://b/list.htm", "<li class=\"b\">");
  WriteRule("家居.txt", "http://single/", "<p>");
  WriteRule("家居.txt.txt", "http://double/", "<p>");
  ClickCheckBox();
  ASSERT_THAT(ListedRules(), ElementsAre("请选择要采集的资源", "女装", "家居", "家居", "数码"));

  ASSERT_TRUE(window_.UserSelect("资源组合框1", 1));
  EXPECT_EQ(Utf8(window_.Text("资源名称编辑框")), "女装");
  EXPECT_EQ(window_.Text("单个前编辑框"), "<li class=\"a\">\r\n<div>");
  ASSERT_TRUE(window_.UserSelect("资源组合框1", 4));
  EXPECT_EQ(window_.Text("单个前编辑框"), "<li class=\"b\">");
  EXPECT_EQ(window_.Text("单个后编辑框"), "</li>");
  EXPECT_EQ(window_.Text("特价前编辑框"), "<em>");
  EXPECT_EQ(window_.Text("特价后编辑框"), "</em>");
  // "家居.txt.txt" is listed as 家居 too, and selecting it reads "家居.txt".
  ASSERT_TRUE(window_.UserSelect("资源组合框1", 3));
  // The prompt names no file: an empty row, and the code boxes are emptied.
  ASSERT_TRUE(window_.UserSelect("资源组合框1", 0));
  EXPECT_EQ(Utf8(window_.Text("资源名称编辑框")), "请选择要采集的资源");
  for (const char* box : {"单个前编辑框", "单个后编辑框", "特价前编辑框", "特价后编辑框"}) {
    EXPECT_EQ(window_.Text(box), "") << box;
  }
  EXPECT_THAT(Addresses(),
              ElementsAre("http://a/list.htm", "http://b/list.htm", "http://single/", ""));
  EXPECT_THAT(Messages(), IsEmpty());
}

TEST_F(RuleEditorTest, AddPickAndDeleteAddresses) {
  ClickCheckBox();
  for (const char* address : {"http://one/", "http://two/", "http://three/"}) {
    window_.UserType("网址编辑框", address);
    ASSERT_TRUE(window_.UserClick("按钮2"));
  }
  window_.UserPickRow("网址超级列表框", 1);
  EXPECT_EQ(window_.Text("网址编辑框"), "http://two/");
  ASSERT_TRUE(window_.UserClick("按钮7"));
  EXPECT_THAT(Addresses(), ElementsAre("http://one/", "http://three/"));
  // No row is current any more: delete does nothing, picking gives an empty box.
  ASSERT_TRUE(window_.UserClick("按钮7"));
  EXPECT_THAT(Addresses(), ElementsAre("http://one/", "http://three/"));
  window_.UserPickRow("网址超级列表框", 5);
  EXPECT_EQ(window_.Text("网址编辑框"), "");
}

TEST_F(RuleEditorTest, SaveWritesTheAddressBoxAndNeverOverwrites) {
  ClickCheckBox();
  window_.UserType("网址编辑框", "http://other/");
  ASSERT_TRUE(window_.UserClick("按钮2"));
  window_.UserType("资源名称编辑框", Gbk("新规则"));
  window_.UserType("网址编辑框", "http://saved/");
  window_.UserType("单个前编辑框", "<li>\r\n<a>");
  window_.UserType("单个后编辑框", "</li>");
  window_.UserType("特价前编辑框", Gbk("特价："));
  window_.UserType("特价后编辑框", "</em>");
  ASSERT_TRUE(window_.UserClick("保存按钮"));
  EXPECT_THAT(Messages(), ElementsAre("规则保存成功"));
  const fs::path file = RuleFolder() / "新规则.txt";
  EXPECT_EQ(ReadBytes(file), Gbk("[采集网址开始]http://saved/[采集网址结束]\r\n"
                                 "[商品前开始]<li>\r\n<a>[商品前结束]\r\n"
                                 "[商品后开始]</li>[商品后结束]\r\n"
                                 "[特价前开始]特价：[特价前结束]\r\n"
                                 "[特价后开始]</em>[特价后结束]"));

  // A second save under the same name is refused and the file stays as it was.
  window_.UserType("网址编辑框", "http://changed/");
  ASSERT_TRUE(window_.UserClick("保存按钮"));
  EXPECT_THAT(Messages(), ElementsAre("规则保存成功", "已存在相同名字的规则"));
  EXPECT_THAT(Utf8(ReadBytes(file)), ::testing::HasSubstr("http://saved/"));

  // Saved and listed, it loads back its one address after the rows already there.
  ClickCheckBox();
  ClickCheckBox();
  ASSERT_THAT(ListedRules(), ElementsAre("请选择要采集的资源", "新规则"));
  ASSERT_TRUE(window_.UserSelect("资源组合框1", 1));
  EXPECT_THAT(Addresses(), ElementsAre("http://other/", "http://saved/"));
  EXPECT_EQ(window_.Text("单个前编辑框"), "<li>\r\n<a>");
}

TEST_F(RuleEditorTest, NamesThatLeaveTheFolderAreRefusedBeforeAnythingIsWritten) {
  ClickCheckBox();
  window_.UserType("网址编辑框", "http://x/");
  for (const char* name : {"", "..", "../逃", "/tmp/逃", "a\\b", ".隐藏"}) {
    window_.UserType("资源名称编辑框", Gbk(name));
    EXPECT_FALSE(collect::SaveRule(window_)) << name;
  }
  ASSERT_EQ(host_.MessageBoxes().size(), 6u);
  for (const std::string& message : Messages()) {
    EXPECT_THAT(message, ::testing::StartsWith("规则名称不能为空")) << message;
  }
  std::vector<fs::path> everything;
  for (const auto& entry : fs::recursive_directory_iterator(dir_.Path())) {
    everything.push_back(entry.path());
  }
  EXPECT_THAT(everything, ElementsAre(RuleFolder()));
}

TEST_F(RuleEditorTest, FailedSaveSaysSo) {
  fs::remove_all(RuleFolder());
  window_.SetText("资源名称编辑框", Gbk("新规则"));
  EXPECT_FALSE(collect::SaveRule(window_));
  EXPECT_THAT(Messages(), ElementsAre(::testing::StartsWith("规则保存失败")));
  EXPECT_FALSE(fs::exists(RuleFolder()));
}

}  // namespace
}  // namespace pagoling
