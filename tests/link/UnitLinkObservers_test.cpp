// The link's traffic observers on a pseudo-terminal with the virtual unit: several see the
// same traffic in the order they were added, a removed one sees nothing more, and one
// removed while a load runs is never called once its removal has returned.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <future>
#include <mutex>
#include <string>
#include <vector>

#include "common/ScriptedOperator.h"
#include "common/VirtualUnitOnPty.h"
#include "link/Qm48SendDataUnit.h"

namespace {

constexpr int kWaitMs = 5000;

// Sends one query the unit answers with one line and waits for that line. The write's
// notification comes before the reply's on the same port thread, so every observer has
// seen the sent bytes once the reply event is set.
void Exchange(UnitLink& link, const std::string& command) {
  link.ReplyEvent().Reset();
  ASSERT_TRUE(link.Send(command.data(), static_cast<int32_t>(command.size())));
  ASSERT_TRUE(link.ReplyEvent().Wait(kWaitMs)) << "no reply to " << command;
}

struct ObserverCase {
  const char* name;
  int observers;             // a, b, c, ... added in this order
  std::vector<int> removed;  // removed between the two exchanges
  const char* journal;       // the writes each observer saw, as "name:bytes "
};

class UnitLinkObservers : public ::testing::TestWithParam<ObserverCase> {};

TEST_P(UnitLinkObservers, SeeTheWritesInTheOrderAddedUntilRemoved) {
  const ObserverCase& c = GetParam();
  VirtualUnitOnPty unit;
  ASSERT_TRUE(unit.Ready());
  UnitLink& link = unit.Link();
  std::mutex mutex;
  std::string journal;
  std::vector<UnitLink::ObserverId> ids;
  for (int i = 0; i < c.observers; ++i) {
    const char name = static_cast<char>('a' + i);
    ids.push_back(link.AddObserver([&, name](int code, const uint8_t* bytes, uint32_t count) {
      if (code != EVT_TX_DONE) return;
      std::lock_guard lock(mutex);
      journal += std::string(1, name) + ":" +
                 std::string(reinterpret_cast<const char*>(bytes), count) + " ";
    }));
  }
  Exchange(link, "0FI");
  for (int index : c.removed) link.RemoveObserver(ids[static_cast<size_t>(index)]);
  Exchange(link, "0BI");
  link.Close();  // no notification after this
  std::lock_guard lock(mutex);
  EXPECT_EQ(journal, c.journal);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UnitLinkObservers,
    ::testing::Values(ObserverCase{"OneKept", 1, {}, "a:0FI a:0BI "},
                      ObserverCase{"ThreeKept", 3, {}, "a:0FI b:0FI c:0FI a:0BI b:0BI c:0BI "},
                      ObserverCase{"FirstRemoved", 3, {0}, "a:0FI b:0FI c:0FI b:0BI c:0BI "},
                      ObserverCase{"MiddleRemoved", 3, {1}, "a:0FI b:0FI c:0FI a:0BI c:0BI "},
                      ObserverCase{"LastRemoved", 3, {2}, "a:0FI b:0FI c:0FI a:0BI b:0BI "},
                      ObserverCase{"AllRemoved", 3, {2, 0, 1}, "a:0FI b:0FI c:0FI "},
                      // Removing twice, or an id never given, changes nothing.
                      ObserverCase{"RemovedTwice", 2, {0, 0}, "a:0FI b:0FI b:0BI "}),
    [](const ::testing::TestParamInfo<ObserverCase>& info) { return info.param.name; });

// Counts the writes an observer saw; the test waits on the count, never on the clock.
struct WriteCount {
  std::mutex mutex;
  std::condition_variable changed;
  int writes = 0;
  void Add() {
    {
      std::lock_guard lock(mutex);
      ++writes;
    }
    changed.notify_all();
  }
  bool WaitFor(int n) {
    std::unique_lock lock(mutex);
    return changed.wait_for(lock, std::chrono::milliseconds(kWaitMs), [&] { return writes >= n; });
  }
  int Now() {
    std::lock_guard lock(mutex);
    return writes;
  }
};

TEST(UnitLinkObserverRemoval, DuringALoadTheRemovedObserverIsNeverCalledAfterwards) {
  ScriptedOperator op;
  ScopedOperator scope{op};
  VirtualUnitOnPty unit;
  ASSERT_TRUE(unit.Ready());
  UnitLink& link = unit.Link();
  constexpr int kCommands = 300;
  TransmitBuffer buffer;
  char text[32];
  for (int k = 0; k < kCommands; ++k) {
    std::snprintf(text, sizeof text, "%04X %04X M", k + 1, 0x100 + k);
    buffer.AppendCommand(text);
  }

  WriteCount kept, removed;
  std::atomic<bool> removalReturned{false};
  std::atomic<bool> calledAfterRemoval{false};
  link.AddObserver([&](int code, const uint8_t*, uint32_t) {
    if (code == EVT_TX_DONE) kept.Add();
  });
  const UnitLink::ObserverId goes = link.AddObserver([&](int code, const uint8_t*, uint32_t) {
    if (removalReturned) calledAfterRemoval = true;
    if (code == EVT_TX_DONE) removed.Add();
  });

  auto load = std::async(std::launch::async, [&] { return SendBuffer(link, "LOAD", buffer); });
  ASSERT_TRUE(removed.WaitFor(10));  // the load is under way
  link.RemoveObserver(goes);
  removalReturned = true;
  const int seenWhenRemoved = removed.Now();
  ASSERT_TRUE(kept.WaitFor(seenWhenRemoved + 10));  // the traffic went on
  const SendOutcome out = load.get();
  EXPECT_EQ(out.result, SendResult::Done) << SendOutcomeText(out);
  link.Close();

  EXPECT_FALSE(calledAfterRemoval);
  EXPECT_EQ(removed.Now(), seenWhenRemoved);
  EXPECT_EQ(kept.Now(), kCommands);  // the other observer saw every write
  EXPECT_LT(seenWhenRemoved, kCommands);
}

}  // namespace
