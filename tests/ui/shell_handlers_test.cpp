#include "ui/shell_handlers.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "platform/codepage.h"
#include "support/temp_dir.h"
#include "ui/headless_host.h"

namespace pagoling::ui {
namespace {

using literals::operator""_gbk;

class ShellHandlersTest : public ::testing::Test {
 protected:
  HeadlessHost host_;
  MainWindow window_{host_};
};

TEST_F(ShellHandlersTest, ShowRunLogChangesNoCheckedState) {
  window_.UserClick("单选框1");
  ShowRunLog(window_);
  EXPECT_EQ(window_.CurrentPage("选择夹2"), kRunLogPage);
  EXPECT_EQ(window_.Checked("单选框1"), 1);
  EXPECT_EQ(window_.Checked("单选框4"), 0);
  EXPECT_TRUE(window_.IsVisible("编辑框8"));
}

TEST_F(ShellHandlersTest, ShowHelpBringsThePageAndNavigatesItsPane) {
  ShowHelp(window_, "https://help.pagoling.example/");
  EXPECT_EQ(window_.CurrentPage("选择夹2"), kHelpPage);
  EXPECT_TRUE(window_.IsVisible("超文本浏览框3"));
  EXPECT_EQ(window_.Address("超文本浏览框3"), "https://help.pagoling.example/");
  EXPECT_EQ(host_.CurrentAddress("超文本浏览框3"), "https://help.pagoling.example/");
}

struct FolderCase {
  const char* name;
  const char* template_name;        // UTF-8; the box holds it as GBK
  const char* below_run_directory;  // empty: the run directory itself
};

void PrintTo(const FolderCase& c, std::ostream* out) { *out << c.name; }

class ShellOpenTemplateFolderTest : public ShellHandlersTest,
                                    public ::testing::WithParamInterface<FolderCase> {};

TEST_P(ShellOpenTemplateFolderTest, PassesTheFolderAsOneArgument) {
  testing::TempDir run_directory;
  testing::ScopedRunDirectory scoped(run_directory.Gbk());
  window_.SetText("编辑框2", platform::GbkFromUtf8(GetParam().template_name));

  OpenTemplateFolder(window_);

  const auto runs = host_.ProgramsRun();
  ASSERT_EQ(runs.size(), 1u);
  EXPECT_EQ(runs[0].program, "xdg-open");
  const std::string below = GetParam().below_run_directory;
  const std::filesystem::path expected =
      below.empty() ? run_directory.Path() : run_directory.Path() / below;
  EXPECT_EQ(runs[0].arguments, std::vector<std::string>{expected.string()});
}

INSTANTIATE_TEST_SUITE_P(Names, ShellOpenTemplateFolderTest,
                         ::testing::Values(FolderCase{"empty_name_opens_run_directory", "", ""},
                                           FolderCase{"chinese_name", "女装", "单页生成/模板/女装"},
                                           FolderCase{"shell_characters", "我的 模板;$(rm -rf x)&",
                                                      "单页生成/模板/我的 模板;$(rm -rf x)&"}),
                         [](const auto& row) { return std::string(row.param.name); });

TEST_F(ShellHandlersTest, ToolbarButtonsReachTheHost) {
  OpenHomePage(window_, "https://pagoling.example/");
  EXPECT_EQ(host_.OpenedAddresses(), std::vector<std::string>{"https://pagoling.example/"});
  EXPECT_FALSE(host_.WindowClosed());
  CloseMainWindow(window_);
  EXPECT_TRUE(host_.WindowClosed());
}

TEST_F(ShellHandlersTest, OptionsPaneFollowsTheScrollBar) {
  SetUpOptionsPane(window_);
  EXPECT_EQ(OptionsPaneTop(), 2);
  EXPECT_EQ(window_.ScrollMaximum("纵向滚动条1"), 181);
  EXPECT_EQ(window_.Top("分组框3"), 2);

  // The bar rests at its minimum 1, so the group moves one pixel above its first top.
  ScrollOptions(window_);
  EXPECT_EQ(window_.Top("分组框3"), 1);
}

}  // namespace
}  // namespace pagoling::ui
