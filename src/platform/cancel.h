#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>

namespace pagoling::platform {

// Thrown inside a worker whose run was halted; caught at the worker's entry, never by the routines
// in between, so the worker unwinds without a further side effect.
struct Halted {};

// The halt switch of one run. The worker binds it to its thread (ScopedThreadToken); every control
// operation, wait, transfer and file write of that thread checks it.
class CancelToken {
 public:
  CancelToken() = default;
  CancelToken(const CancelToken&) = delete;
  CancelToken& operator=(const CancelToken&) = delete;

  // Marks the token cancelled, wakes every wait on it, and returns only once a side effect that was
  // under way (RunEffect) has finished: after Cancel returns no further effect of the worker lands.
  void Cancel();
  bool IsCancelled() const { return cancelled_.load(std::memory_order_acquire); }
  void ThrowIfCancelled() const;

  // Runs one side effect as a single step with respect to Cancel: either it runs whole before
  // Cancel returns, or it does not run and Halted is thrown.
  void RunEffect(const std::function<void()>& effect);

  // Waits the given time; returns false at once when the token is or becomes cancelled.
  bool WaitFor(std::chrono::milliseconds duration);

 private:
  std::atomic<bool> cancelled_{false};
  std::mutex effect_mutex_;
  std::mutex wait_mutex_;
  std::condition_variable wait_wakeup_;
};

// The token bound to the calling thread, or null on threads that are not halted (the GUI thread).
CancelToken* ThisThreadToken();

// Runs an effect under the calling thread's token when it has one, else directly.
void RunThreadEffect(const std::function<void()>& effect);

// Throws Halted when the calling thread's token is cancelled.
void CheckThreadToken();

class ScopedThreadToken {
 public:
  explicit ScopedThreadToken(CancelToken& token);
  ~ScopedThreadToken();
  ScopedThreadToken(const ScopedThreadToken&) = delete;
  ScopedThreadToken& operator=(const ScopedThreadToken&) = delete;

 private:
  CancelToken* previous_;
};

}  // namespace pagoling::platform
