#include "support/Timer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <memory>

namespace {
// A counter the test moves by hand, in microsecond ticks.
struct FakeClock {
  std::shared_ptr<std::atomic<int64_t>> ticks = std::make_shared<std::atomic<int64_t>>(0);
  LocalDateTime now;

  std::unique_ptr<Ctimerclass> MakeTimer() {
    auto counter = ticks;
    LocalDateTime* wall = &now;
    return std::make_unique<Ctimerclass>([counter] { return counter->load(); }, 1e6,
                                         [wall] { return *wall; });
  }
  void Advance(double seconds) { *ticks += static_cast<int64_t>(std::llround(seconds * 1e6)); }
};

LocalDateTime At(int year, int month, int day, int hour = 0, int minute = 0, int second = 0,
                 int ms = 0) {
  return LocalDateTime{year, month, day, hour, minute, second, ms};
}
}  // namespace

TEST(Timer, CountsFromTheWallClockAtStart) {
  FakeClock clock;
  clock.ticks->store(5'000'000'000);  // the counter's own origin does not matter
  clock.now = At(2026, 1, 1, 12);
  auto timer = clock.MakeTimer();
  EXPECT_NEAR(timer->GetTime(), 129600.0, 1e-6);
  clock.Advance(10);
  EXPECT_NEAR(timer->GetTime(), 129610.0, 1e-6);

  // The wall clock is read only at Start(): an adjustment shows only after a restart.
  clock.now = At(2026, 1, 1, 13);
  clock.Advance(0.25);
  EXPECT_NEAR(timer->GetTime(), 129610.25, 1e-6);
  timer->Start();
  EXPECT_NEAR(timer->GetTime(), 133200.0, 1e-6);
}

TEST(Timer, CounterGoingBackwardsStillGivesElapsedTime) {
  FakeClock clock;
  clock.ticks->store(1'000'000'000);
  clock.now = At(2026, 1, 1, 12);
  auto timer = clock.MakeTimer();
  clock.Advance(-10);
  EXPECT_NEAR(timer->GetTime(), 129610.0, 1e-6);
}

TEST(Timer, SecondsOfYear) {
  EXPECT_DOUBLE_EQ(LocalSecondsOfYear(At(2026, 1, 1)), 86400.0);
  EXPECT_DOUBLE_EQ(LocalSecondsOfYear(At(2026, 2, 3, 0, 0, 0, 500)), 34 * 86400.0 + 0.5);
  EXPECT_DOUBLE_EQ(LocalSecondsOfYear(At(2024, 2, 29)), 60 * 86400.0);
  EXPECT_DOUBLE_EQ(LocalSecondsOfYear(At(2024, 3, 1)), 61 * 86400.0);
  EXPECT_DOUBLE_EQ(LocalSecondsOfYear(At(2023, 3, 1)), 60 * 86400.0);
  EXPECT_DOUBLE_EQ(LocalSecondsOfYear(At(2024, 12, 31, 23, 59, 59, 999)),
                   366 * 86400.0 + 86399.999);
  // Anything outside 0 .. 367 days reads as 0.
  EXPECT_DOUBLE_EQ(LocalSecondsOfYear(At(2024, 12, 33)), 0.0);
  EXPECT_DOUBLE_EQ(LocalSecondsOfYear(At(2024, 1, 1, -48)), 0.0);
}

TEST(Timer, RealClockAgreesWithTheWallClock) {
  Ctimerclass timer;
  double wall = LocalSecondsOfYear(LocalNow());
  double t1 = timer.GetTime();
  EXPECT_NEAR(t1, wall, 2.0);
  SleepMs(20);
  double t2 = timer.GetTime();
  EXPECT_GE(t2 - t1, 0.019);
}
