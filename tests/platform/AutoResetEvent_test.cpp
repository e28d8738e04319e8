#include "platform/AutoResetEvent.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "platform/Clock.h"

TEST(AutoResetEvent, ASetBeforeTheWaitIsKeptForOneWaiter) {
  AutoResetEvent event("VORN RX");
  EXPECT_EQ(event.Name(), "VORN RX");
  event.Set();
  event.Set();  // still one signal
  EXPECT_TRUE(event.Wait(0));
  EXPECT_FALSE(event.Wait(0));
  event.Set();
  event.Reset();
  EXPECT_FALSE(event.Wait(0));
}

TEST(AutoResetEvent, WaitTimesOut) {
  AutoResetEvent event;
  auto before = std::chrono::steady_clock::now();
  EXPECT_FALSE(event.Wait(60));
  EXPECT_GE(std::chrono::steady_clock::now() - before, std::chrono::milliseconds(60));
}

TEST(AutoResetEvent, EachSetReleasesOneWaiter) {
  AutoResetEvent event;
  std::atomic<int> released{0};
  std::vector<std::thread> waiters;
  for (int i = 0; i < 3; ++i)
    waiters.emplace_back([&] {
      if (event.Wait(20000)) ++released;
    });
  for (int expected = 1; expected <= 3; ++expected) {
    event.Set();
    while (released < expected) SleepMs(1);
    SleepMs(50);  // a second waiter, wrongly woken, would show up by now
    EXPECT_EQ(released, expected);
  }
  for (auto& t : waiters) t.join();
}
