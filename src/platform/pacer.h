#pragma once

#include <chrono>
#include <cstdint>
#include <mutex>
#include <vector>

namespace pagoling::platform {

// Every pause of a run goes through a pacer, so tests can run without waiting and still see the
// exact sequence of pauses.
class Pacer {
 public:
  virtual ~Pacer() = default;
  // Pauses the calling thread; throws Halted when its run is halted before or during the pause.
  virtual void Pause(std::chrono::milliseconds duration) = 0;
};

// Waits on the steady clock and wakes at once when the calling thread's run is halted.
class SteadyPacer final : public Pacer {
 public:
  void Pause(std::chrono::milliseconds duration) override;
};

// Returns at once and keeps the requested pauses in order.
class RecordingPacer final : public Pacer {
 public:
  void Pause(std::chrono::milliseconds duration) override;
  std::vector<int> Pauses() const;
  void Clear();

 private:
  mutable std::mutex mutex_;
  std::vector<int> pauses_;
};

// Milliseconds on a steady clock, for elapsed-time measurements.
std::int64_t SteadyMilliseconds();

}  // namespace pagoling::platform
