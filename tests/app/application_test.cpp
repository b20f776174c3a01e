#include "app/application.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "net/http_cookie_store.h"
#include "platform/codepage.h"
#include "platform/files.h"
#include "sim/sandbox.h"
#include "support/temp_dir.h"
#include "ui/headless_host.h"
#include "ui/shell_handlers.h"

namespace pagoling::app {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

class ApplicationTest : public ::testing::Test {
 protected:
  ApplicationTest() {
    for (const char* name : {"甲模板", "乙模板", ".hidden"}) {
      fs::create_directories(dir_.Path() / "单页生成" / "模板" / name);
    }
  }

  std::string Text(const char* control) { return platform::Utf8FromGbk(window().Text(control)); }
  ui::MainWindow& window() { return application_->Window(); }
  void Create(net::Endpoints endpoints = {}) {
    application_ = std::make_unique<Application>(host_, pacer_, std::move(endpoints));
  }
  std::string Config() {
    return platform::Utf8FromGbk(platform::ReadWholeFile(ConfigFilePath()).value_or(""));
  }

  testing::TempDir dir_;
  testing::ScopedRunDirectory run_directory_{dir_.Gbk()};
  ui::HeadlessHost host_;
  platform::RecordingPacer pacer_;
  std::unique_ptr<Application> application_;
};

TEST_F(ApplicationTest, StartUpWithoutASettingsFileShowsTheDefaults) {
  Create();
  std::vector<std::string> order;
  application_->SetApplyLook([&] { order.push_back("look"); });
  window().AddObserver([&](const ui::Change& change) {
    if (change.property == ui::Property::kScroll) order.push_back("scroll " + change.control);
  });
  application_->InitMainWindow();

  // The look comes before the options pane is measured.
  EXPECT_THAT(order, ElementsAre("look", "scroll 纵向滚动条1"));
  EXPECT_EQ(window().ScrollMaximum("纵向滚动条1"), 181);
  EXPECT_EQ(ui::OptionsPaneTop(), 2);
  ASSERT_EQ(window().ItemCount("列表框1"), 2);
  EXPECT_EQ(window().SelectedIndex("列表框1"), 0);
  EXPECT_EQ(window().SelectedIndex("组合框1"), 0);
  EXPECT_EQ(window().SelectedIndex("组合框2"), 0);
  EXPECT_EQ(Text("编辑框9"), "htm");
  EXPECT_EQ(window().CurrentPage("选择夹2"), ui::kHelpPage);
  EXPECT_EQ(host_.CurrentAddress("超文本浏览框3"), ShippedHelpPage());
  EXPECT_EQ(application_->Generation().StopFlag(), 0);
  EXPECT_FALSE(fs::exists(dir_.Path() / "Config.ini"));
}

TEST_F(ApplicationTest, SettingsFileOverridesWhatStartUpSelected) {
  std::ofstream(dir_.Path() / "Config.ini", std::ios::binary)
      << platform::GbkFromUtf8("[配置]\r\n排序方式=2\r\n商品数量=12\r\nhz=html\r\n")
      << "[endpoints]\r\nHelpPageUrl=http://help.test/\r\n";
  Create(net::LoadEndpoints(ConfigFilePath()));
  application_->InitMainWindow();
  EXPECT_EQ(window().SelectedIndex("组合框1"), 2);
  EXPECT_EQ(Text("编辑框7"), "12");
  EXPECT_EQ(Text("编辑框9"), "html");
  EXPECT_EQ(host_.CurrentAddress("超文本浏览框3"), "http://help.test/");
}

TEST_F(ApplicationTest, EventsReachTheirHandlers) {
  Create();
  application_->InitMainWindow();
  EXPECT_TRUE(window().UserClick("单选框4"));
  EXPECT_EQ(window().CurrentPage("选择夹2"), ui::kRunLogPage);
  EXPECT_TRUE(window().UserClick("超级按钮6"));
  EXPECT_EQ(window().CurrentPage("选择夹2"), ui::kLoginPage);
  EXPECT_EQ(window().Checked("单选框6"), 1);
  EXPECT_THAT(host_.CurrentAddress("超文本浏览框1"), HasSubstr("/member/minilogin.htm?redirect="));
  EXPECT_TRUE(window().UserClick("超级按钮4"));
  EXPECT_TRUE(host_.WindowClosed());
}

TEST_F(ApplicationTest, ClosingDuringARunEndsTheWorkerAndStillSaves) {
  sim::Sandbox sandbox;
  ASSERT_TRUE(sandbox.Start(0));
  // The run sits in its login check until it is ended.
  sandbox.InjectFault("/membersvc/index.htm", sim::Fault::Delay(30000));
  net::Endpoints endpoints;
  endpoints.member_host = sandbox.HostPort();
  Create(endpoints);
  application_->InitMainWindow();
  window().SetText("编辑框1", "a");
  window().SetText("编辑框7", "7");
  window().Raise("按钮1", ui::Event::kClick);
  while (sandbox.Requests().empty()) std::this_thread::sleep_for(std::chrono::milliseconds(5));

  application_->ShutdownMainWindow();
  EXPECT_EQ(application_->Generation().LastOutcome(), generate::RunOutcome::kHalted);
  EXPECT_THAT(Config(), HasSubstr("商品数量=7\r\n"));
  EXPECT_THAT(host_.MessageBoxes(), ElementsAre());
}

TEST_F(ApplicationTest, ClosingWithoutARunSaves) {
  Create();
  application_->InitMainWindow();
  application_.reset();  // the window goes away
  EXPECT_THAT(Config(), HasSubstr("hz=htm\r\n"));
}

}  // namespace
}  // namespace pagoling::app
