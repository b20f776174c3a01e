// Whole standard runs through the real platform steps against the sandbox platform, down to the
// page files in a temporary run directory.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <mutex>

#include "app/platform_steps.h"
#include "generate/generation_run.h"
#include "net/http_cookie_store.h"
#include "platform/codepage.h"
#include "sim/sandbox.h"
#include "support/sandbox_login.h"
#include "support/temp_dir.h"
#include "support/text_files.h"
#include "templates/template_store.h"
#include "ui/headless_host.h"

namespace pagoling {
namespace {

using testing::Gbk;
using testing::ReadBytes;
using testing::Utf8;

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

constexpr const char* kTemplateUtf8 =
    "<h>[#关键词#]</h>\r\n[#商品循环开始#]<i>[#商品排名#]|[#商品标题#]|[#商品网址#]</i>\r\n"
    "[#商品循环结束#]<t>[#关键词#]</t>";

class PageRunTest : public ::testing::Test {
 protected:
  void SetUp() override {
    net::CookieStore::Shared().Clear();
    ASSERT_TRUE(sandbox_.Start(0));
    endpoints_ = testing::SandboxEndpoints(sandbox_);
    steps_ = std::make_unique<app::PlatformSteps>(window_, pacer_, endpoints_);
    generation_ =
        std::make_unique<generate::Generation>(window_, pacer_, *steps_, endpoints_.member_host);
    testing::LogInToSandbox(sandbox_);

    fs::create_directories(TemplateFolder());
    std::ofstream(TemplateFolder() / "模板文件.htm", std::ios::binary) << Gbk(kTemplateUtf8);
    templates::ListTemplates(window_);

    window_.SetSelectedIndex("组合框1", 0);
    window_.SetSelectedIndex("组合框2", 0);
    window_.SetText("mm号编辑框", "mm_1_2_3");
    window_.SetText("编辑框7", "3");
  }
  void TearDown() override {
    if (generation_) generation_->EndWorker();
    net::CookieStore::Shared().Clear();
  }

  fs::path TemplateFolder() const { return dir_.Path() / "单页生成" / "模板" / "样板"; }

  generate::RunOutcome Run(const std::string& keywords_utf8) {
    window_.SetText("编辑框1", Gbk(keywords_utf8));
    generation_->StartGeneration();
    const generate::RunOutcome outcome = generation_->WaitForWorker();
    for (const std::string& message : host_.MessageBoxes()) ADD_FAILURE() << Utf8(message);
    return outcome;
  }

  // The page the template gives for a keyword whose links are rows first..first+2 of
  // PromotionLinkTable, which the run filled from the platform's replies.
  std::string ExpectedPage(const std::string& keyword_utf8, int first) const {
    std::string page = "<h>" + keyword_utf8 + "</h>\r\n";
    for (int i = 0; i < 3; ++i) {
      const std::string link = Utf8(window_.Cell("超级列表框转换链接", first + i, 0));
      const std::string title = Utf8(window_.Cell("超级列表框转换链接", first + i, 1));
      EXPECT_THAT(title, HasSubstr(keyword_utf8));
      EXPECT_THAT(link, HasSubstr("http://"));
      page += "<i>" + std::to_string(i + 1) + "|" + title + "|" + link + "</i>\r\n";
    }
    return Gbk(page + "<t>" + keyword_utf8 + "</t>");
  }

  std::vector<std::string> Tree() const { return testing::Tree(dir_.Path()); }

  std::mutex mutex_;
  std::condition_variable seen_;
  int searches_ = 0;
  sim::Sandbox sandbox_{sim::Options{.on_request = [this](const sim::RecordedRequest& request) {
    if (request.Path() != "/pubauc/searchAuctionList.json") return;
    {
      std::lock_guard lock(mutex_);
      ++searches_;
    }
    seen_.notify_all();
  }}};
  net::Endpoints endpoints_;
  testing::TempDir dir_;
  testing::ScopedRunDirectory run_directory_{dir_.Gbk()};
  ui::HeadlessHost host_;
  ui::MainWindow window_{host_};
  platform::RecordingPacer pacer_;
  // Made once the endpoints point at the sandbox: both keep their own copies.
  std::unique_ptr<app::PlatformSteps> steps_;
  std::unique_ptr<generate::Generation> generation_;
};

TEST_F(PageRunTest, TwoKeywordsGiveTwoPagesFromTheTemplateAndTheReplies) {
  ASSERT_EQ(Run("连衣裙\r\n茶叶"), generate::RunOutcome::kCompleted);

  ASSERT_EQ(window_.RowCount("超级列表框转换链接"), 6);
  EXPECT_EQ(ReadBytes(TemplateFolder() / "连衣裙.htm"), ExpectedPage("连衣裙", 0));
  EXPECT_EQ(ReadBytes(TemplateFolder() / "茶叶.htm"), ExpectedPage("茶叶", 3));
  EXPECT_THAT(Utf8(window_.Text("编辑框8")), HasSubstr("生成关键词\"茶叶.htm\"完毕"));
  EXPECT_THAT(Utf8(window_.Text("编辑框8")), ::testing::Not(HasSubstr("添加失败")));
  // The run's template loads fill the editor boxes with the selected template.
  EXPECT_EQ(Utf8(window_.Text("编辑框2")), "样板");
}

// Naming by pinyin; a keyword that would lead out of the template folder is not written
// anywhere and logs the failure line, and the run goes on.
TEST_F(PageRunTest, PinyinNamesAndAnEscapingKeyword) {
  window_.SetSelectedIndex("组合框2", 1);
  ASSERT_EQ(Run("连衣裙\r\n../逃\r\n茶叶"), generate::RunOutcome::kCompleted);

  const std::string log = Utf8(window_.Text("编辑框8"));
  EXPECT_THAT(log, HasSubstr("生成关键词\"lianyiqun.htm\"完毕"));
  EXPECT_THAT(log, HasSubstr("添加失败，请按正确方法操作\r\n"));
  EXPECT_THAT(log, HasSubstr("生成关键词\"chaye.htm\"完毕"));
  const std::string folder = fs::path("单页生成/模板/样板").string();
  EXPECT_THAT(Tree(), ElementsAre("单页生成", fs::path("单页生成/模板").string(), folder,
                                  folder + "/chaye.htm", folder + "/lianyiqun.htm",
                                  folder + "/模板文件.htm"));
  // The keyword as typed stays inside the page.
  EXPECT_THAT(Utf8(ReadBytes(TemplateFolder() / "lianyiqun.htm")), HasSubstr("<h>连衣裙</h>"));
}

TEST_F(PageRunTest, NoPageLandsAfterStopReturns) {
  window_.SetText("编辑框1", Gbk("连衣裙\r\n茶叶\r\n毛衣"));
  generation_->StartGeneration();
  {
    // The second search is sent once the first page is done.
    std::unique_lock lock(mutex_);
    ASSERT_TRUE(seen_.wait_for(lock, std::chrono::seconds(60), [this] { return searches_ >= 2; }));
  }
  generation_->StopGeneration();
  const std::vector<std::string> at_stop = Tree();
  EXPECT_EQ(generation_->WaitForWorker(), generate::RunOutcome::kHalted);
  EXPECT_EQ(Tree(), at_stop);
  EXPECT_TRUE(fs::exists(TemplateFolder() / "连衣裙.htm"));
  EXPECT_FALSE(fs::exists(TemplateFolder() / "茶叶.htm"));
  EXPECT_FALSE(fs::exists(TemplateFolder() / "毛衣.htm"));
}

}  // namespace
}  // namespace pagoling
