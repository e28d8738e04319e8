// The replaced system calls: the reply event and the single-instance lock.
#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <thread>

#include "platform/AutoResetEvent.h"
#include "platform/SingleInstanceLock.h"
#include "support/TempDir.h"

TEST(AutoResetEvent, EachSetReleasesOneWaiterOrIsKeptForTheNext) {
  AutoResetEvent event("VORN RX");
  event.Set();
  event.Set();  // still one signal
  EXPECT_TRUE(event.Wait(0));
  EXPECT_FALSE(event.Wait(0));
  event.Set();
  event.Reset();
  const auto before = std::chrono::steady_clock::now();
  EXPECT_FALSE(event.Wait(60));
  EXPECT_GE(std::chrono::steady_clock::now() - before, std::chrono::milliseconds(60));
  std::atomic<int> released = 0, ended = 0;  // a waiter not released ends after 20 s
  std::vector<std::thread> waiters;
  for (int i = 0; i < 3; ++i)
    waiters.emplace_back([&] {
      released += event.Wait(20000);
      ++ended;
      ended.notify_all();
    });
  for (int expected = 1; expected <= 3; ++expected) {
    event.Set();
    for (int seen; (seen = ended) < expected;) ended.wait(seen);
    EXPECT_EQ(released, expected);
  }
  for (auto& t : waiters) t.join();
  EXPECT_FALSE(event.Wait(0));  // three sets, three waiters: nothing left over
}

TEST(SingleInstanceLock, OneHolderAtATimeALeftoverFileHoldsNothingAndNoSymbolicLinks) {
  TempDir dir;
  SingleInstanceLock first("Qm48_SingleInstance", dir.Path()),
      second("Qm48_SingleInstance", dir.Path());
  EXPECT_EQ(first.Path(), dir.File("Qm48_SingleInstance.lock"));
  ASSERT_TRUE(first.TryAcquire());
  EXPECT_FALSE(second.TryAcquire());
  EXPECT_FALSE(second.ErrorText().empty());
  EXPECT_TRUE(SingleInstanceLock("Another_Name", dir.Path()).TryAcquire());
  first.Release();  // the file stays behind, as after a killed holder
  EXPECT_TRUE(second.TryAcquire());
  std::ofstream(dir.File("target")) << "keep";
  std::filesystem::create_symlink(dir.File("target"), dir.File("Linked.lock"));
  EXPECT_FALSE(SingleInstanceLock("Linked", dir.Path()).TryAcquire());
  EXPECT_EQ(ReadAll(dir.File("target")), "keep");
}
