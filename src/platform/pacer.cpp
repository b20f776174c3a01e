#include "platform/pacer.h"

#include <thread>

#include "platform/cancel.h"

namespace pagoling::platform {

void SteadyPacer::Pause(std::chrono::milliseconds duration) {
  CancelToken* token = ThisThreadToken();
  if (token == nullptr) {
    if (duration.count() > 0) std::this_thread::sleep_for(duration);
    return;
  }
  token->ThrowIfCancelled();
  if (duration.count() > 0 && !token->WaitFor(duration)) throw Halted{};
}

// Recorded as one step with respect to a stop, so no pause shows up after the stop returned.
void RecordingPacer::Pause(std::chrono::milliseconds duration) {
  RunThreadEffect([&] {
    std::lock_guard lock(mutex_);
    pauses_.push_back(static_cast<int>(duration.count()));
  });
}

std::vector<int> RecordingPacer::Pauses() const {
  std::lock_guard lock(mutex_);
  return pauses_;
}

void RecordingPacer::Clear() {
  std::lock_guard lock(mutex_);
  pauses_.clear();
}

std::int64_t SteadyMilliseconds() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

}  // namespace pagoling::platform
