#include "generate/generation_run.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <random>
#include <thread>

#include "platform/codepage.h"
#include "support/recording_steps.h"
#include "support/text_files.h"
#include "ui/headless_host.h"
#include "ui/shell_handlers.h"

namespace pagoling::generate {
namespace {

using testing::Utf8;

using namespace pagoling::literals;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;

// Blocks every pause of a run until the run is halted, while `blocking` is set; otherwise records.
class GatePacer final : public platform::Pacer {
 public:
  void Pause(std::chrono::milliseconds duration) override {
    if (blocking.load()) {
      paused.store(true);
      platform::CancelToken* token = platform::ThisThreadToken();
      while (!token->IsCancelled()) token->WaitFor(std::chrono::milliseconds(50));
      throw platform::Halted{};
    }
    recording.Pause(duration);
  }
  std::atomic<bool> blocking{false};
  std::atomic<bool> paused{false};
  platform::RecordingPacer recording;
};

class GenerationRunTest : public ::testing::Test {
 protected:
  GenerationRunTest() {
    // What start-up selects before the user presses start.
    window_.SetSelectedIndex("组合框1", 0);
    window_.SetSelectedIndex("组合框2", 0);
  }

  void EnterOptions(const std::string& keywords_utf8, const std::string& count) {
    window_.SetText("编辑框1", platform::GbkFromUtf8(keywords_utf8));
    window_.SetText("编辑框7", count);
  }

  RunOutcome RunToEnd() {
    generation_.StartGeneration();
    return generation_.WaitForWorker();
  }

  std::string Log() const { return Utf8(window_.Text("编辑框8")); }

  ui::HeadlessHost host_;
  ui::MainWindow window_{host_};
  GatePacer pacer_;
  testing::RecordingRunSteps steps_{window_};
  Generation generation_{window_, pacer_, steps_, "member.test"};
};

TEST_F(GenerationRunTest, TwoKeywordRunLogsEveryStepAndPausesInOrder) {
  EnterOptions("连衣裙\r\n手机壳", "10");
  ASSERT_EQ(RunToEnd(), RunOutcome::kCompleted);

  EXPECT_EQ(Log(),
            "\r\n正在努力采集.......\r\n"
            "正在按销量由高到底搜寻。。。\r\n"
            "正在解析商品……\r\n"
            "开始搜寻单个宝贝信息……\r\n"
            "生成关键词\"连衣裙.htm\"完毕"
            "正在按销量由高到底搜寻。。。\r\n"
            "正在解析商品……\r\n"
            "开始搜寻单个宝贝信息……\r\n"
            "生成关键词\"手机壳.htm\"完毕");
  EXPECT_THAT(pacer_.recording.Pauses(),
              ElementsAre(500, 200, 500, 200, 500, 200, 100, 200, 500, 200, 500, 200, 100));

  std::vector<std::string> calls;
  for (const std::string& call : steps_.Calls()) calls.push_back(Utf8(call));
  EXPECT_THAT(calls,
              ElementsAre("CheckLogin", "FetchPubContext", "SearchProducts 连衣裙 token1",
                          "ExtractProducts reply:连衣裙 []", "LoadTemplate",
                          "FetchItemLinks 111 222 token1", "AssemblePage 连衣裙",
                          "SearchProducts 手机壳 token1", "ExtractProducts reply:手机壳 []",
                          "LoadTemplate", "FetchItemLinks 111 222 token1", "AssemblePage 手机壳"));

  // ProductTable holds the last keyword's products; the link table gathers the whole run.
  EXPECT_EQ(window_.RowCount("超级列表框1"), 1);
  EXPECT_EQ(window_.RowCount("超级列表框转换链接"), 2);
  EXPECT_EQ(Utf8(window_.Cell("超级列表框转换链接", 0, 1)), "title of reply:连衣裙");
  EXPECT_EQ(Utf8(generation_.CurrentPageName()), "手机壳");

  EXPECT_EQ(host_.CurrentAddress("超文本浏览框1"), "http://member.test/membersvc/index.htm");
  EXPECT_EQ(window_.CurrentPage("选择夹2"), ui::kRunLogPage);
  EXPECT_TRUE(window_.IsEnabled("选择框1"));
  EXPECT_THAT(host_.MessageBoxes(), IsEmpty());
}

TEST_F(GenerationRunTest, ANewRunClearsTheLogAndBothTables) {
  EnterOptions("连衣裙", "10");
  ASSERT_EQ(RunToEnd(), RunOutcome::kCompleted);
  window_.SetSelectedIndex("组合框1", 2);
  ASSERT_EQ(RunToEnd(), RunOutcome::kCompleted);
  EXPECT_EQ(window_.RowCount("超级列表框转换链接"), 1);
  EXPECT_EQ(Log(),
            "\r\n正在努力采集.......\r\n正在30天支出佣金由高到底搜寻。。。\r\n正在解析商品……\r\n"
            "开始搜寻单个宝贝信息……\r\n生成关键词\"连衣裙.htm\"完毕");
}

TEST_F(GenerationRunTest, PinyinNamingRenamesThePageAfterItIsWritten) {
  EnterOptions("连衣裙", "10");
  window_.SetSelectedIndex("组合框2", 1);
  window_.SetText("编辑框9", "html");
  ASSERT_EQ(RunToEnd(), RunOutcome::kCompleted);
  const auto calls = steps_.Calls();
  ASSERT_GE(calls.size(), 2u);
  EXPECT_EQ(Utf8(calls[calls.size() - 2]), "AssemblePage 连衣裙");
  EXPECT_EQ(Utf8(calls.back()), "ToPinyinName 连衣裙");
  EXPECT_THAT(Log(), ::testing::EndsWith("生成关键词\"py-连衣裙.html\"完毕"));
}

struct PreCheckCase {
  friend void PrintTo(const PreCheckCase& row, std::ostream* os) { *os << row.name; }
  std::string name;
  std::string keywords;
  bool logged_in;
  std::string count;
  std::string message;
  std::vector<std::string> calls;
};

class PreCheckTest : public GenerationRunTest,
                     public ::testing::WithParamInterface<PreCheckCase> {};

TEST_P(PreCheckTest, FirstFailedCheckShowsItsMessageAndEndsTheRun) {
  const PreCheckCase& c = GetParam();
  EnterOptions(c.keywords, c.count);
  steps_.logged_in = c.logged_in;
  ASSERT_EQ(RunToEnd(), RunOutcome::kEndedByCheck);

  ASSERT_EQ(host_.MessageBoxes().size(), 1u);
  EXPECT_EQ(Utf8(host_.MessageBoxes()[0]), c.message);
  EXPECT_EQ(Log(), "\r\n正在努力采集.......\r\n");
  EXPECT_THAT(steps_.Calls(), ElementsAreArray(c.calls));
  EXPECT_THAT(pacer_.recording.Pauses(), ElementsAre(500));
  EXPECT_EQ(window_.RowCount("超级列表框1"), 0);
  EXPECT_EQ(generation_.StopFlag(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Messages, PreCheckTest,
    ::testing::Values(
        PreCheckCase{"no_keywords_before_anything_is_sent", "", false, "", "请输入查询关键词", {}},
        PreCheckCase{"not_logged_in", "连衣裙", false, "10", "请登陆阿里妈妈", {"CheckLogin"}},
        PreCheckCase{"no_count_after_the_login_check",
                     "连衣裙",
                     true,
                     "",
                     "请输入生成宝贝的数量",
                     {"CheckLogin"}}),
    [](const auto& row) { return row.param.name; });

TEST_F(GenerationRunTest, AnyCountTextPassesTheCheck) {
  EnterOptions("连衣裙", "abc");
  EXPECT_EQ(RunToEnd(), RunOutcome::kCompleted);
  EXPECT_THAT(host_.MessageBoxes(), IsEmpty());
}

TEST_F(GenerationRunTest, StopFlagSeenAfterTheSearchLineLeavesTheLoop) {
  EnterOptions("连衣裙\r\n手机壳", "10");
  steps_.on_call = [this](const std::string& call) {
    if (Utf8(call) == "SearchProducts 手机壳 token1") generation_.SetStopFlag(1);
  };
  ASSERT_EQ(RunToEnd(), RunOutcome::kCompleted);
  EXPECT_THAT(Log(),
              ::testing::EndsWith("生成关键词\"连衣裙.htm\"完毕正在按销量由高到底搜寻。。。\r\n"));
  EXPECT_EQ(Utf8(steps_.Calls().back()), "SearchProducts 手机壳 token1");
}

TEST_F(GenerationRunTest, StopFlagSeenBeforeThePageLeavesItUnwritten) {
  EnterOptions("连衣裙\r\n手机壳", "10");
  steps_.on_call = [this](const std::string& call) {
    if (call.rfind("FetchItemLinks", 0) == 0) generation_.SetStopFlag(1);
  };
  ASSERT_EQ(RunToEnd(), RunOutcome::kCompleted);
  EXPECT_THAT(Log(), ::testing::EndsWith("开始搜寻单个宝贝信息……\r\n"));
  for (const std::string& call : steps_.Calls())
    EXPECT_EQ(call.rfind("AssemblePage", 0), std::string::npos);
}

TEST_F(GenerationRunTest, StopWithoutARunOnlySetsTheFlagAndTheNextRunClearsIt) {
  generation_.StopGeneration();
  EXPECT_EQ(generation_.StopFlag(), 1);
  EXPECT_EQ(generation_.LastOutcome(), RunOutcome::kNone);
  EXPECT_FALSE(generation_.EndWorker());
  EnterOptions("连衣裙", "10");
  EXPECT_EQ(RunToEnd(), RunOutcome::kCompleted);
  EXPECT_EQ(generation_.StopFlag(), 0);
}

TEST_F(GenerationRunTest, EmptyLineBetweenKeywordsIsAnEmptyKeyword) {
  EnterOptions("a\r\n\r\nb\r\n", "10");
  ASSERT_EQ(RunToEnd(), RunOutcome::kCompleted);
  std::vector<std::string> searches;
  for (const std::string& call : steps_.Calls()) {
    if (call.rfind("SearchProducts", 0) == 0) searches.push_back(call);
  }
  EXPECT_THAT(searches, ElementsAre("SearchProducts a token1", "SearchProducts  token1",
                                    "SearchProducts b token1"));
  EXPECT_THAT(Log(), ::testing::HasSubstr("生成关键词\".htm\"完毕"));
}

struct SplitCase {
  friend void PrintTo(const SplitCase& row, std::ostream* os) { *os << row.name; }
  std::string name;
  std::string text;
  std::vector<std::string> keywords;
};

class SplitKeywordsTest : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitKeywordsTest, SplitsAtCrLf) {
  EXPECT_EQ(SplitKeywords(GetParam().text), GetParam().keywords);
}

INSTANTIATE_TEST_SUITE_P(
    Keywords, SplitKeywordsTest,
    ::testing::Values(SplitCase{"empty_text_gives_none", "", {}}, SplitCase{"one_word", "a", {"a"}},
                      SplitCase{"trailing_break_adds_none", "a\r\nb\r\n", {"a", "b"}},
                      SplitCase{"double_break_gives_empty_keyword", "a\r\n\r\nb", {"a", "", "b"}},
                      SplitCase{"lone_break_is_one_empty_keyword", "\r\n", {""}},
                      SplitCase{"bare_lf_is_not_a_break", "a\nb", {"a\nb"}},
                      SplitCase{"spaces_kept", " a \r\nb", {" a ", "b"}}),
    [](const auto& row) { return row.param.name; });

// --- halting ---

TEST_F(GenerationRunTest, StopAtRandomMomentsLeavesNothingChangingAfterItReturns) {
  EnterOptions("连衣裙\r\n手机壳\r\n运动鞋\r\n茶叶", "10");
  std::mt19937 random(12345);
  std::uniform_int_distribution<int> delay_us(0, 400);
  for (int round = 0; round < 200; ++round) {
    steps_.on_call = nullptr;
    generation_.StartGeneration();
    const auto until =
        std::chrono::steady_clock::now() + std::chrono::microseconds(delay_us(random));
    while (std::chrono::steady_clock::now() < until) std::this_thread::yield();
    generation_.StopGeneration();

    const std::string log = window_.Text("编辑框8");
    const int products = window_.RowCount("超级列表框1");
    const int links = window_.RowCount("超级列表框转换链接");
    const std::size_t calls = steps_.Calls().size();
    const std::size_t pauses = pacer_.recording.Pauses().size();
    const std::string page_name = generation_.CurrentPageName();

    const RunOutcome outcome = generation_.WaitForWorker();
    ASSERT_TRUE(outcome == RunOutcome::kHalted || outcome == RunOutcome::kCompleted)
        << "round " << round;
    ASSERT_EQ(window_.Text("编辑框8"), log) << "round " << round;
    ASSERT_EQ(window_.RowCount("超级列表框1"), products) << "round " << round;
    ASSERT_EQ(window_.RowCount("超级列表框转换链接"), links) << "round " << round;
    ASSERT_EQ(steps_.Calls().size(), calls) << "round " << round;
    ASSERT_EQ(pacer_.recording.Pauses().size(), pauses) << "round " << round;
    ASSERT_EQ(generation_.CurrentPageName(), page_name) << "round " << round;
  }
}

TEST_F(GenerationRunTest, StartWhileRunningEndsTheRunningWorkerFirst) {
  EnterOptions("连衣裙", "10");
  pacer_.blocking = true;
  generation_.StartGeneration();
  while (!pacer_.paused.load()) std::this_thread::yield();

  pacer_.blocking = false;
  generation_.StartGeneration();  // must not hang on the blocked worker
  EXPECT_EQ(generation_.WaitForWorker(), RunOutcome::kCompleted);
  EXPECT_EQ(Log(),
            "\r\n正在努力采集.......\r\n正在按销量由高到底搜寻。。。\r\n正在解析商品……\r\n"
            "开始搜寻单个宝贝信息……\r\n生成关键词\"连衣裙.htm\"完毕");
}

TEST_F(GenerationRunTest, EndWorkerAtShutdownHaltsAndJoinsARunningWorker) {
  EnterOptions("连衣裙", "10");
  pacer_.blocking = true;
  generation_.StartGeneration();
  while (!pacer_.paused.load()) std::this_thread::yield();
  EXPECT_TRUE(generation_.EndWorker());
  EXPECT_EQ(generation_.LastOutcome(), RunOutcome::kHalted);
  // The window is free for the settings save that follows.
  window_.SetText("编辑框7", "20");
  EXPECT_EQ(window_.Text("编辑框7"), "20");
}

// A host whose message box stays open until the worker's run is halted.
class OpenBoxHost final : public ui::UiHost {
 public:
  void MessageBox(const std::string&) override {
    box_open = true;
    platform::CancelToken* token = platform::ThisThreadToken();
    while (token != nullptr && !token->IsCancelled()) token->WaitFor(std::chrono::milliseconds(50));
  }
  void Navigate(const std::string& pane, const std::string& address) override {
    inner.Navigate(pane, address);
  }
  std::string CurrentAddress(const std::string& pane) override {
    return inner.CurrentAddress(pane);
  }
  void OpenAddress(const std::string& address) override { inner.OpenAddress(address); }
  void RunProgram(const std::string& program, const std::vector<std::string>& args) override {
    inner.RunProgram(program, args);
  }
  void CloseWindow() override { inner.CloseWindow(); }

  std::atomic<bool> box_open{false};
  ui::HeadlessHost inner;
};

TEST(GenerationMessageBoxTest, ABoxShownByTheWorkerBlocksOnlyTheWorker) {
  OpenBoxHost host;
  ui::MainWindow window(host);
  platform::RecordingPacer pacer;
  testing::RecordingRunSteps steps(window);
  Generation generation(window, pacer, steps, "member.test");

  generation.StartGeneration();  // no keywords: the worker shows its message box
  while (!host.box_open.load()) std::this_thread::yield();
  window.SetText("编辑框1", "typed while the box is open");
  EXPECT_EQ(window.Text("编辑框1"), "typed while the box is open");
  ui::ShowHelp(window, "about:blank");
  EXPECT_EQ(window.CurrentPage("选择夹2"), ui::kHelpPage);

  generation.StopGeneration();
  EXPECT_EQ(generation.WaitForWorker(), RunOutcome::kHalted);
  EXPECT_THAT(steps.Calls(), IsEmpty());
}

}  // namespace
}  // namespace pagoling::generate
