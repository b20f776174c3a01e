#include "platform/pacer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <latch>
#include <thread>
#include <vector>

#include "platform/cancel.h"

namespace pagoling::platform {
namespace {

using std::chrono::hours;
using std::chrono::milliseconds;

TEST(RecordingPacerTest, KeepsPausesInOrder) {
  RecordingPacer pacer;
  pacer.Pause(milliseconds(1000));
  pacer.Pause(milliseconds(200));
  pacer.Pause(milliseconds(0));
  EXPECT_EQ(pacer.Pauses(), (std::vector<int>{1000, 200, 0}));
  pacer.Clear();
  EXPECT_TRUE(pacer.Pauses().empty());
}

TEST(RecordingPacerTest, HaltedRunThrowsAndRecordsNothing) {
  RecordingPacer pacer;
  CancelToken token;
  ScopedThreadToken bind(token);
  pacer.Pause(milliseconds(5));
  token.Cancel();
  EXPECT_THROW(pacer.Pause(milliseconds(1000)), Halted);
  EXPECT_EQ(pacer.Pauses(), (std::vector<int>{5}));
}

TEST(SteadyPacerTest, HaltFromAnotherThreadEndsALongPause) {
  SteadyPacer pacer;
  CancelToken token;
  std::latch pausing(1);
  bool halted = false;
  std::thread worker([&] {
    ScopedThreadToken bind(token);
    pausing.count_down();
    try {
      pacer.Pause(hours(1));
    } catch (const Halted&) {
      halted = true;
    }
  });
  pausing.wait();
  token.Cancel();
  worker.join();  // a pause that the halt did not end would hold the test here
  EXPECT_TRUE(halted);
}

TEST(SteadyPacerTest, HaltedRunThrowsEvenForAZeroPause) {
  SteadyPacer pacer;
  CancelToken token;
  ScopedThreadToken bind(token);
  EXPECT_NO_THROW(pacer.Pause(milliseconds(0)));
  token.Cancel();
  EXPECT_THROW(pacer.Pause(milliseconds(0)), Halted);
  EXPECT_THROW(pacer.Pause(hours(1)), Halted);
}

}  // namespace
}  // namespace pagoling::platform
