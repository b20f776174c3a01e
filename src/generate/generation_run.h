#pragma once

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "generate/run_steps.h"
#include "platform/cancel.h"
#include "platform/pacer.h"
#include "ui/main_window.h"

namespace pagoling::generate {

// How the most recent worker ended.
enum class RunOutcome {
  kNone,  // no run was started
  kRunning,
  kCompleted,     // the worker returned by itself (all keywords done, or StopFlag seen)
  kEndedByCheck,  // a pre-check failed and the worker ended itself
  kHalted,        // StopGeneration or EndWorker halted it
  kFailed,        // an unexpected error ended it (see FailureText)
};

// The keyword list of 编辑框1: one keyword per CR LF line, used as typed. An empty text gives none;
// a line break at the very end adds none; two line breaks in a row give an empty keyword.
std::vector<std::string> SplitKeywords(const std::string& text);

// The generation run and the worker that carries it: the start and stop handlers, the run itself,
// and the process-wide values StopFlag, WorkerHandle and CurrentPageName.
//
// Halting: each run owns a cancellation token bound to its worker thread. StopGeneration cancels
// it; from the moment it returns, the worker performs no further control operation, request, wait
// or file write, since each of those checks the token and unwinds the worker.
class Generation {
 public:
  Generation(ui::MainWindow& window, platform::Pacer& pacer, RunSteps& steps,
             std::string member_host);
  ~Generation();
  Generation(const Generation&) = delete;
  Generation& operator=(const Generation&) = delete;

  // Click of 按钮1 (GUI thread). A worker still running is ended first.
  void StartGeneration();
  // Click of 按钮5 (GUI thread): StopFlag := 1 and the worker halts at once.
  void StopGeneration();
  // On the GUI thread: halts a running worker and joins it; false when there was none. On the
  // worker itself: ends the calling worker (it does not return).
  bool EndWorker();

  // The standard run, the body of the worker thread.
  void GenerationRun();

  // A pause that keeps the window responsive; 0 or less returns at once.
  void PumpingDelay(int milliseconds);
  void PumpMessages();

  int StopFlag() const { return stop_flag_.load(); }
  void SetStopFlag(int value) { stop_flag_.store(value); }
  std::string CurrentPageName() const;
  void SetCurrentPageName(const std::string& name);

  // Waits until the current worker has ended and returns how it ended.
  RunOutcome WaitForWorker();
  RunOutcome LastOutcome() const;
  std::string FailureText() const;

  ui::MainWindow& Window() { return window_; }
  // On the worker: shows why the run cannot go on (GBK) and ends the worker.
  [[noreturn]] void RefuseRun(const std::string& message);
  RunSteps& Steps() { return steps_; }

 private:
  void WorkerEntry(const std::shared_ptr<platform::CancelToken>& token, bool custom_collection);
  void FinishWorker(RunOutcome outcome, std::string failure);
  bool HaltAndJoinWorker();

  ui::MainWindow& window_;
  platform::Pacer& pacer_;
  RunSteps& steps_;
  const std::string member_host_;

  std::atomic<int> stop_flag_{0};

  mutable std::mutex state_mutex_;
  std::condition_variable state_changed_;
  std::thread worker_;  // WorkerHandle; touched by the GUI thread only
  std::shared_ptr<platform::CancelToken> token_;
  RunOutcome outcome_ = RunOutcome::kNone;
  std::string failure_;
  std::string current_page_name_;
};

}  // namespace pagoling::generate
