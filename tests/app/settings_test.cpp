#include "app/settings.h"

#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>
#include <string_view>

#include "platform/codepage.h"
#include "platform/files.h"
#include "support/file_size_limit.h"
#include "support/temp_dir.h"
#include "ui/headless_host.h"
#include "ui/main_window.h"

namespace pagoling::app {
namespace {

using platform::GbkFromUtf8;
using platform::Utf8FromGbk;

constexpr const char* kSwitch = "纵向滚动条1";

// A window as start-up leaves it just before the settings are loaded: both combo boxes at their
// first entry, everything else as created.
class SettingsTest : public ::testing::Test {
 protected:
  SettingsTest() {
    window_.SetSelectedIndex("组合框1", 0);
    window_.SetSelectedIndex("组合框2", 0);
  }

  std::string ConfigPath() const { return dir_.Gbk() + "\\Config.ini"; }
  // The file's content as UTF-8, or nothing when there is no file.
  std::optional<std::string> Config() const {
    const auto bytes = platform::ReadWholeFile(ConfigPath());
    if (!bytes) return std::nullopt;
    return Utf8FromGbk(*bytes);
  }
  void WriteConfig(const std::string& utf8) {
    ASSERT_TRUE(platform::WriteWholeFile(ConfigPath(), GbkFromUtf8(utf8)));
  }
  std::string Text(const char* control) const { return Utf8FromGbk(window_.Text(control)); }

  testing::TempDir dir_;
  testing::ScopedRunDirectory run_directory_{dir_.Gbk()};
  ui::HeadlessHost host_;
  ui::MainWindow window_{host_};
};

TEST_F(SettingsTest, NoFileKeepsDefaultsAndSaveWritesTheNineKeys) {
  LoadSettings(window_);
  EXPECT_EQ(Config(), std::nullopt);
  EXPECT_EQ(Text("编辑框9"), "htm");
  EXPECT_EQ(Text("mm号编辑框"), "mm_10011550_0_0");

  window_.SetSelectedIndex("组合框1", 2);
  window_.SetText("编辑框7", "40");
  window_.SetText("佣金比例编辑框", "5");
  window_.SetText("推广前", "10");
  window_.SetText("推广后", "500");
  window_.SetText("价格前", "9.9");
  window_.SetText("价格后", "199");
  window_.SetText("编辑框9", "html");
  // Options of the hidden lower pane are not saved, whatever they hold.
  window_.SetSelectedIndex("组合框2", 1);
  window_.SetChecked("选择框2", 1);
  SaveSettings(window_);
  EXPECT_EQ(Config(),
            "[配置]\r\n排序方式=2\r\n商品数量=40\r\nyj=5\r\ntga=10\r\ntgb=500\r\njga=9.9\r\n"
            "jgb=199\r\nhz=html\r\nmm=mm_10011550_0_0\r\n");
}

TEST_F(SettingsTest, VisibleSwitchSavesAndLoadsAllThirteenKeys) {
  window_.SetOwnVisible(kSwitch, true);
  ASSERT_TRUE(window_.IsVisible(kSwitch));
  window_.SetSelectedIndex("组合框1", 1);
  window_.SetText("编辑框7", GbkFromUtf8("20件"));
  window_.SetSelectedIndex("组合框2", 1);
  window_.SetChecked("选择框2", 1);
  window_.SetChecked("单选框8", 1);
  SaveSettings(window_);
  EXPECT_EQ(Config(),
            "[配置]\r\n排序方式=1\r\n商品数量=20件\r\nyj=\r\ntga=\r\ntgb=\r\njga=\r\njgb=\r\n"
            "hz=htm\r\nmm=mm_10011550_0_0\r\n命名规则=1\r\ndwz=1\r\nwy=0\r\nbd=1\r\n");

  ui::HeadlessHost host;
  ui::MainWindow next{host};
  next.SetSelectedIndex("组合框1", 0);
  next.SetSelectedIndex("组合框2", 0);
  next.SetOwnVisible(kSwitch, true);
  LoadSettings(next);
  EXPECT_EQ(next.SelectedIndex("组合框1"), 1);
  // Text written by the system is not filtered as typing is.
  EXPECT_EQ(Utf8FromGbk(next.Text("编辑框7")), "20件");
  EXPECT_EQ(next.SelectedIndex("组合框2"), 1);
  EXPECT_EQ(next.Checked("选择框2"), 1);
  EXPECT_EQ(next.Checked("单选框7"), 0);
  EXPECT_EQ(next.Checked("单选框8"), 1);
}

TEST_F(SettingsTest, HiddenSwitchNeitherLoadsNorTouchesTheSwitchedKeys) {
  const std::string file =
      "[配置]\r\n命名规则=1\r\ndwz=1\r\nwy=1\r\nbd=1\r\n排序方式=2\r\nhz=shtml\r\n";
  WriteConfig(file);
  LoadSettings(window_);
  EXPECT_EQ(window_.SelectedIndex("组合框1"), 2);
  EXPECT_EQ(window_.SelectedIndex("组合框2"), 0);
  EXPECT_EQ(window_.Checked("选择框2"), 0);
  EXPECT_EQ(window_.Checked("单选框7"), 0);
  EXPECT_EQ(window_.Checked("单选框8"), 0);

  SaveSettings(window_);
  EXPECT_EQ(Config(),
            "[配置]\r\n命名规则=1\r\ndwz=1\r\nwy=1\r\nbd=1\r\n排序方式=2\r\nhz=shtml\r\n"
            "商品数量=\r\nyj=\r\ntga=\r\ntgb=\r\njga=\r\njgb=\r\nmm=\r\n");
}

TEST_F(SettingsTest, MissingTextKeysEmptyTheirBoxes) {
  window_.SetText("编辑框7", "30");
  WriteConfig("[配置]\r\nhz=html\r\n");
  LoadSettings(window_);
  EXPECT_EQ(Text("编辑框9"), "html");
  for (const char* box :
       {"编辑框7", "佣金比例编辑框", "推广前", "推广后", "价格前", "价格后", "mm号编辑框"}) {
    EXPECT_EQ(Text(box), "") << box;
  }
  EXPECT_EQ(window_.SelectedIndex("组合框1"), 0);
  EXPECT_EQ(window_.SelectedIndex("组合框2"), 0);
  EXPECT_EQ(window_.Checked("选择框2"), 0);
}

// Index and check keys take only their listed values; anything else leaves the control as it was.
// Each case starts from sort order 1, naming rule 1 and unchecked boxes, with the switch shown.
struct ValueCase {
  const char* name;
  const char* line;  // the one line of section 配置
  const char* control;
  int expected;  // selected index or checked state after loading
};

void PrintTo(const ValueCase& c, std::ostream* out) { *out << c.name; }

class SettingsValueTest : public SettingsTest, public ::testing::WithParamInterface<ValueCase> {};

TEST_P(SettingsValueTest, OnlyListedValuesTakeEffect) {
  const ValueCase& c = GetParam();
  window_.SetOwnVisible(kSwitch, true);
  window_.SetSelectedIndex("组合框1", 1);
  window_.SetSelectedIndex("组合框2", 1);
  WriteConfig(std::string("[配置]\r\n") + c.line + "\r\n");
  LoadSettings(window_);
  if (std::string_view(c.control).starts_with("组合框")) {
    EXPECT_EQ(window_.SelectedIndex(c.control), c.expected);
  } else {
    EXPECT_EQ(window_.Checked(c.control), c.expected);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Settings, SettingsValueTest,
    ::testing::Values(ValueCase{"sort_0", "排序方式=0", "组合框1", 0},
                      ValueCase{"sort_2", "排序方式=2", "组合框1", 2},
                      ValueCase{"sort_3_ignored", "排序方式=3", "组合框1", 1},
                      ValueCase{"sort_minus_1_ignored", "排序方式=-1", "组合框1", 1},
                      ValueCase{"sort_02_ignored", "排序方式=02", "组合框1", 1},
                      ValueCase{"sort_missing_ignored", "hz=htm", "组合框1", 1},
                      ValueCase{"sort_quoted_and_padded", "排序方式= \"2\" ", "组合框1", 2},
                      ValueCase{"naming_0", "命名规则=0", "组合框2", 0},
                      ValueCase{"naming_2_ignored", "命名规则=2", "组合框2", 1},
                      ValueCase{"short_links_1_checks", "dwz=1", "选择框2", 1},
                      ValueCase{"short_links_0_leaves", "dwz=0", "选择框2", 0},
                      ValueCase{"short_links_true_leaves", "dwz=true", "选择框2", 0},
                      ValueCase{"netease_1_checks", "wy=1", "单选框7", 1},
                      ValueCase{"baidu_1_checks", "BD=1", "单选框8", 1},
                      ValueCase{"baidu_yes_leaves", "bd=yes", "单选框8", 0}),
    [](const auto& row) { return std::string(row.param.name); });

TEST_F(SettingsTest, CheckKeysNeverUncheck) {
  window_.SetOwnVisible(kSwitch, true);
  window_.SetChecked("选择框2", 1);
  WriteConfig("[配置]\r\ndwz=0\r\n");
  LoadSettings(window_);
  EXPECT_EQ(window_.Checked("选择框2"), 1);
}

TEST_F(SettingsTest, NoSelectionWritesNoIndexKey) {
  window_.SetOwnVisible(kSwitch, true);
  window_.SetSelectedIndex("组合框1", -1);
  window_.SetSelectedIndex("组合框2", -1);
  SaveSettings(window_);
  const std::string config = Config().value_or("");
  EXPECT_EQ(config.find("排序方式"), std::string::npos) << config;
  EXPECT_EQ(config.find("命名规则"), std::string::npos) << config;
  EXPECT_NE(config.find("dwz=0\r\n"), std::string::npos) << config;
}

TEST_F(SettingsTest, SaveKeepsEverythingElseOfTheFile) {
  WriteConfig(
      "; 用户的注释\r\n"
      "[endpoints]\r\nPublisherHost=127.0.0.1:8800\r\nHelpPageUrl=help/index.htm\r\n"
      "\r\n"
      "[配置]\r\n; 我的备注\r\nHZ = shtml\r\n我的键=保留\r\n"
      "\r\n"
      "[其他]\r\nhz=不是这个\r\n");
  LoadSettings(window_);
  EXPECT_EQ(Text("编辑框9"), "shtml");
  window_.SetText("编辑框9", "htm");
  window_.SetText("编辑框7", "15");
  EXPECT_TRUE(SaveSettings(window_));
  EXPECT_EQ(Config(),
            "; 用户的注释\r\n"
            "[endpoints]\r\nPublisherHost=127.0.0.1:8800\r\nHelpPageUrl=help/index.htm\r\n"
            "\r\n"
            "[配置]\r\n; 我的备注\r\nHZ=htm\r\n我的键=保留\r\n排序方式=0\r\n商品数量=15\r\n"
            "yj=\r\ntga=\r\ntgb=\r\njga=\r\njgb=\r\nmm=\r\n"
            "\r\n"
            "[其他]\r\nhz=不是这个\r\n");
}

TEST_F(SettingsTest, SaveOnAFullDiskSaysSoAndKeepsTheOldFileWhole) {
  WriteConfig("[配置]\r\nhz=htm\r\n");
  const std::optional<std::string> before = Config();
  LoadSettings(window_);
  window_.SetText("编辑框7", "15");
  bool saved = true;
  {
    const testing::ScopedFileSizeLimit full_disk(before->size());
    saved = SaveSettings(window_);
  }
  EXPECT_FALSE(saved);
  EXPECT_EQ(Config(), before);
}

}  // namespace
}  // namespace pagoling::app
