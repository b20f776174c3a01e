#include "platform/cancel.h"

namespace pagoling::platform {
namespace {
thread_local CancelToken* this_thread_token = nullptr;
// The token whose effect lock this thread holds: an effect that itself runs an effect (a control
// operation that writes a file) is already one step, and relocking would deadlock.
thread_local const CancelToken* effect_owner = nullptr;
}  // namespace

void CancelToken::Cancel() {
  {
    std::lock_guard wait_lock(wait_mutex_);
    cancelled_.store(true, std::memory_order_release);
  }
  wait_wakeup_.notify_all();
  // An effect cannot wait for itself to finish.
  if (effect_owner == this) return;
  // Passing through the effect lock waits for an effect already under way to finish.
  std::lock_guard effect_lock(effect_mutex_);
}

void CancelToken::ThrowIfCancelled() const {
  if (IsCancelled()) throw Halted{};
}

void CancelToken::RunEffect(const std::function<void()>& effect) {
  if (effect_owner == this) {
    effect();
    return;
  }
  std::lock_guard effect_lock(effect_mutex_);
  ThrowIfCancelled();
  const CancelToken* const outer = effect_owner;
  effect_owner = this;
  struct Restore {
    const CancelToken* outer;
    ~Restore() { effect_owner = outer; }
  } restore{outer};
  effect();
}

bool CancelToken::WaitFor(std::chrono::milliseconds duration) {
  std::unique_lock lock(wait_mutex_);
  return !wait_wakeup_.wait_for(lock, duration, [this] { return IsCancelled(); });
}

CancelToken* ThisThreadToken() { return this_thread_token; }

void RunThreadEffect(const std::function<void()>& effect) {
  if (CancelToken* token = this_thread_token) {
    token->RunEffect(effect);
  } else {
    effect();
  }
}

void CheckThreadToken() {
  if (CancelToken* token = this_thread_token) token->ThrowIfCancelled();
}

ScopedThreadToken::ScopedThreadToken(CancelToken& token) : previous_(this_thread_token) {
  this_thread_token = &token;
}

ScopedThreadToken::~ScopedThreadToken() { this_thread_token = previous_; }

}  // namespace pagoling::platform
