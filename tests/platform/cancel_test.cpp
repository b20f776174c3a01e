#include "platform/cancel.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <latch>
#include <thread>

namespace pagoling::platform {
namespace {

using std::chrono::hours;

TEST(CancelTokenTest, CancelWakesAWaitAtOnce) {
  CancelToken token;
  std::latch waiting(1);
  bool completed = true;
  std::thread worker([&] {
    waiting.count_down();
    completed = token.WaitFor(hours(1));
  });
  waiting.wait();
  token.Cancel();
  worker.join();  // an hour's wait that Cancel did not end would hold the test here
  EXPECT_FALSE(completed);
  EXPECT_FALSE(token.WaitFor(hours(1)));  // and any later wait ends at once
}

TEST(CancelTokenTest, UncancelledWaitRunsItsCourse) {
  CancelToken token;
  EXPECT_TRUE(token.WaitFor(std::chrono::milliseconds(1)));
  EXPECT_FALSE(token.IsCancelled());
}

TEST(CancelTokenTest, EffectAfterCancelThrowsAndDoesNotRun) {
  CancelToken token;
  bool ran = false;
  token.RunEffect([&] { ran = true; });
  EXPECT_TRUE(ran);

  token.Cancel();
  ran = false;
  EXPECT_THROW(token.RunEffect([&] { ran = true; }), Halted);
  EXPECT_FALSE(ran);
  EXPECT_THROW(token.ThrowIfCancelled(), Halted);
}

// The effect finishes only after it has seen the cancellation, so Cancel can return before the
// effect's last write only if it fails to wait for it.
TEST(CancelTokenTest, CancelWaitsForTheEffectUnderWay) {
  CancelToken token;
  std::latch effect_started(1);
  std::atomic<bool> effect_finished{false};
  std::thread worker([&] {
    token.RunEffect([&] {
      effect_started.count_down();
      while (!token.IsCancelled()) std::this_thread::yield();
      effect_finished.store(true);
    });
  });
  effect_started.wait();
  token.Cancel();
  EXPECT_TRUE(effect_finished.load());
  worker.join();
}

TEST(CancelTokenTest, ThreadTokenGovernsOnlyItsThreadAndScope) {
  CancelToken outer;
  CancelToken inner;
  inner.Cancel();
  EXPECT_EQ(ThisThreadToken(), nullptr);
  EXPECT_NO_THROW(CheckThreadToken());
  {
    ScopedThreadToken bind_outer(outer);
    EXPECT_NO_THROW(CheckThreadToken());
    {
      ScopedThreadToken bind_inner(inner);
      EXPECT_EQ(ThisThreadToken(), &inner);
      EXPECT_THROW(CheckThreadToken(), Halted);
      EXPECT_THROW(RunThreadEffect([] {}), Halted);
    }
    EXPECT_EQ(ThisThreadToken(), &outer);
    bool ran = false;
    RunThreadEffect([&] { ran = true; });
    EXPECT_TRUE(ran);
  }
  EXPECT_EQ(ThisThreadToken(), nullptr);
  bool ran_unbound = false;
  RunThreadEffect([&] { ran_unbound = true; });  // the GUI thread is never halted
  EXPECT_TRUE(ran_unbound);
}

// A control operation may write a file: an effect inside an effect is the same single step, and
// an effect that halts its own run must not wait for itself.
TEST(CancelTokenTest, EffectsNestAndMayCancelTheirOwnRun) {
  CancelToken token;
  ScopedThreadToken bind(token);
  int steps = 0;
  RunThreadEffect([&] {
    ++steps;
    RunThreadEffect([&] { ++steps; });
    token.Cancel();
    ++steps;
  });
  EXPECT_EQ(steps, 3);
  EXPECT_THROW(RunThreadEffect([&] { ++steps; }), Halted);
  EXPECT_EQ(steps, 3);
}

}  // namespace
}  // namespace pagoling::platform
