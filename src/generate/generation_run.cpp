#include "generate/generation_run.h"

#include <chrono>

#include "generate/product_search.h"
#include "platform/codepage.h"
#include "ui/control_names.h"
#include "ui/shell_handlers.h"

namespace pagoling::generate {

using namespace pagoling::literals;

namespace {

using ui::kRunLog;
constexpr const char* kKeywords = "编辑框1";
using ui::kCustomCollection;
using ui::kLoginPane;
using ui::kNamingRuleBox;
using ui::kOptionsScrollBar;
using ui::kProductCountBox;
using ui::kProductTable;
using ui::kPromotionLinkTable;
using ui::kSortOrderBox;
using ui::kSuffixBox;

// Thrown by a worker that ends itself after a failed pre-check; caught at the worker's entry.
struct WorkerEnded {};

thread_local bool on_worker_thread = false;

}  // namespace

std::vector<std::string> SplitKeywords(const std::string& text) { return SplitParts(text, "\r\n"); }

Generation::Generation(ui::MainWindow& window, platform::Pacer& pacer, RunSteps& steps,
                       std::string member_host)
    : window_(window), pacer_(pacer), steps_(steps), member_host_(std::move(member_host)) {}

Generation::~Generation() { HaltAndJoinWorker(); }

void Generation::StartGeneration() {
  // Two workers would share the log, the tables and StopFlag: the running one ends first.
  HaltAndJoinWorker();

  window_.SetText(kRunLog, "");
  window_.SetEnabled(kCustomCollection, false);
  window_.Navigate(kLoginPane, "http://" + member_host_ + "/membersvc/index.htm");
  const bool custom_collection = window_.Checked(kCustomCollection) == 1;
  {
    std::lock_guard lock(state_mutex_);
    token_ = std::make_shared<platform::CancelToken>();
    outcome_ = RunOutcome::kRunning;
    failure_.clear();
    worker_ = std::thread(&Generation::WorkerEntry, this, token_, custom_collection);
  }
  window_.SetEnabled(kCustomCollection, true);
}

void Generation::StopGeneration() {
  stop_flag_.store(1);
  std::shared_ptr<platform::CancelToken> token;
  {
    std::lock_guard lock(state_mutex_);
    token = token_;
  }
  if (token) token->Cancel();
}

bool Generation::EndWorker() {
  if (on_worker_thread) throw WorkerEnded{};
  return HaltAndJoinWorker();
}

bool Generation::HaltAndJoinWorker() {
  std::shared_ptr<platform::CancelToken> token;
  {
    std::lock_guard lock(state_mutex_);
    token = token_;
  }
  if (!worker_.joinable()) return false;
  token->Cancel();
  worker_.join();
  return true;
}

void Generation::WorkerEntry(const std::shared_ptr<platform::CancelToken>& token,
                             bool custom_collection) {
  platform::ScopedThreadToken bind(*token);
  on_worker_thread = true;
  RunOutcome outcome = RunOutcome::kCompleted;
  std::string failure;
  try {
    if (custom_collection) {
      steps_.CustomCollectionRun(*this);
    } else {
      GenerationRun();
    }
  } catch (const platform::Halted&) {
    outcome = RunOutcome::kHalted;
  } catch (const WorkerEnded&) {
    outcome = RunOutcome::kEndedByCheck;
  } catch (const std::exception& error) {
    // Nothing may escape a thread's entry; the run ends as the stop button would end it.
    outcome = RunOutcome::kFailed;
    failure = error.what();
  }
  on_worker_thread = false;
  FinishWorker(outcome, std::move(failure));
}

void Generation::FinishWorker(RunOutcome outcome, std::string failure) {
  {
    std::lock_guard lock(state_mutex_);
    outcome_ = outcome;
    failure_ = std::move(failure);
  }
  state_changed_.notify_all();
}

RunOutcome Generation::WaitForWorker() {
  std::unique_lock lock(state_mutex_);
  state_changed_.wait(lock, [this] { return outcome_ != RunOutcome::kRunning; });
  return outcome_;
}

RunOutcome Generation::LastOutcome() const {
  std::lock_guard lock(state_mutex_);
  return outcome_;
}

std::string Generation::FailureText() const {
  std::lock_guard lock(state_mutex_);
  return failure_;
}

std::string Generation::CurrentPageName() const {
  std::lock_guard lock(state_mutex_);
  return current_page_name_;
}

// One step with respect to a stop: a check followed by a separate write could land the name just
// after StopGeneration returned.
void Generation::SetCurrentPageName(const std::string& name) {
  platform::RunThreadEffect([&] {
    std::lock_guard lock(state_mutex_);
    current_page_name_ = name;
  });
}

void Generation::PumpingDelay(int milliseconds) {
  if (milliseconds <= 0) {
    platform::CheckThreadToken();
    return;
  }
  pacer_.Pause(std::chrono::milliseconds(milliseconds));
}

// The window is a model here: the worker has no message queue of its own, so a pump is just the
// point where a halted worker stops.
void Generation::PumpMessages() { platform::CheckThreadToken(); }

void Generation::RefuseRun(const std::string& message) {
  window_.MessageBox(message);
  EndWorker();
  throw WorkerEnded{};  // EndWorker on the worker does not return; this keeps [[noreturn]] true
}

void Generation::GenerationRun() {
  stop_flag_.store(0);
  ui::ShowRunLog(window_);
  window_.SetText(kRunLog, "");
  window_.DeleteAllRows(kProductTable);
  window_.DeleteAllRows(kPromotionLinkTable);
  window_.AppendText(kRunLog, "\r\n正在努力采集.......\r\n"_gbk);
  PumpingDelay(500);

  if (window_.Text(kKeywords).empty()) RefuseRun("请输入查询关键词"_gbk);
  if (!steps_.CheckLogin()) RefuseRun("请登陆阿里妈妈"_gbk);
  if (window_.Text(kProductCountBox).empty()) RefuseRun("请输入生成宝贝的数量"_gbk);

  const PubContext context = steps_.FetchPubContext();
  const std::vector<std::string> keywords = SplitKeywords(window_.Text(kKeywords));

  for (const std::string& keyword : keywords) {
    const std::string reply = steps_.SearchProducts(keyword, context.tb_token);
    PumpingDelay(200);
    const int sort_order = window_.SelectedIndex(kSortOrderBox);
    window_.AppendText(
        kRunLog, "正在"_gbk + window_.ItemText(kSortOrderBox, sort_order) + "搜寻。。。\r\n"_gbk);
    if (stop_flag_.load() == 1) break;

    window_.DeleteAllRows(kProductTable);
    steps_.ExtractProducts(reply, "");
    PumpingDelay(500);
    if (window_.IsVisible(kOptionsScrollBar)) steps_.FetchShopInfo(context);

    SetCurrentPageName(keyword);
    steps_.LoadTemplate();
    PumpingDelay(200);
    window_.AppendText(kRunLog, "正在解析商品……\r\n"_gbk);
    steps_.FetchItemLinks(context);
    PumpingDelay(500);
    window_.AppendText(kRunLog, "开始搜寻单个宝贝信息……\r\n"_gbk);
    PumpingDelay(200);
    if (stop_flag_.load() == 1) break;

    SetCurrentPageName(steps_.AssemblePage(CurrentPageName()));
    PumpingDelay(100);
    if (window_.SelectedIndex(kNamingRuleBox) == 1) {
      SetCurrentPageName(steps_.ToPinyinName(CurrentPageName()));
    }
    // No line break: the next keyword's search line continues this line.
    window_.AppendText(kRunLog, "生成关键词\""_gbk + CurrentPageName() + "." +
                                    window_.Text(kSuffixBox) + "\"完毕"_gbk);
  }
}

}  // namespace pagoling::generate
