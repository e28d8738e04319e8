// The application port on a pseudo-terminal: reply lines, the reply event, the observer
// and the port's life as the shell and the senders see it.
#include "serial/ApplicationPort.h"

#include <chrono>
#include <thread>
#include <vector>

#include "serial/SerialTestKit.h"

namespace {
class ApplicationPort : public testing::Test {
 protected:
  void SetUp() override {
    gShuttingDown = false;
    ASSERT_TRUE(OpenApplicationPort(PortConfig{}, pty.SlavePath()));
    ReplyEvent().Reset();
    ClearReplyLine();
  }
  void TearDown() override {
    SetPortTrafficObserver(nullptr);
    CloseApplicationPort();
    gShuttingDown = false;
  }
  // Waits until the reply event has been set n times; false when it stays quiet.
  bool Replies(int n, int timeoutMs = 1000) {
    for (int i = 0; i < n; ++i)
      if (!ReplyEvent().Wait(timeoutMs)) return false;
    return true;
  }
  SerialTestFolder folder;
  PtyPair pty;
};

TEST_F(ApplicationPort, OneEventPerCarriageReturnAndTheLineWithoutIt) {
  EXPECT_TRUE(ApplicationPortConnected());
  pty.Write("0A1B\r");
  ASSERT_TRUE(Replies(1));
  EXPECT_EQ(ReplyLineText(), "0A1B");
  EXPECT_EQ(ReplyLineLength(), 4u);
  EXPECT_FALSE(ReplyEvent().Wait(50));  // set once

  // Lines gather until they are taken; a line feed after the CR begins the next line.
  pty.Write("OK\r");
  ASSERT_TRUE(Replies(1));
  EXPECT_EQ(TakeReplyLine(), "0A1BOK");
  pty.Write("\n22\r");
  ASSERT_TRUE(Replies(1));
  EXPECT_EQ(TakeReplyLine(), "\n22");
  EXPECT_EQ(ReplyLineLength(), 0u);
}

TEST_F(ApplicationPort, StrayAndDoubledCarriageReturns) {
  pty.Write("\r");
  ASSERT_TRUE(Replies(1));
  EXPECT_EQ(ReplyLineLength(), 0u);
  // The second CR sets the event again once the first has been waited for.
  pty.Write("5 \r");
  ASSERT_TRUE(Replies(1));
  pty.Write("\r");
  ASSERT_TRUE(Replies(1));
  EXPECT_EQ(TakeReplyLine(), "5 ");
  // A doubled CR left pending is what a sender clears before its next command.
  pty.Write("6 \r\r");
  ASSERT_TRUE(Replies(1));
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  ReplyEvent().Reset();
  EXPECT_FALSE(ReplyEvent().Wait(50));
  EXPECT_EQ(TakeReplyLine(), "6 ");
}

TEST_F(ApplicationPort, AnOverlongLineKeepsItsFirst511Bytes) {
  pty.Write(std::string(600, 'a') + "\r");
  ASSERT_TRUE(Replies(1, 2000));
  EXPECT_EQ(ReplyLineText(), std::string(511, 'a'));
  EXPECT_EQ(folder.LogCount("REPLY LINE FULL"), 1);

  // The finished line nobody took makes room for the next, without another log line.
  pty.Write("bb\r");
  ASSERT_TRUE(Replies(1));
  EXPECT_EQ(ReplyLineText(), "bb");
  EXPECT_EQ(folder.LogCount("REPLY LINE FULL"), 1);

  // Emptied in the middle of an overlong line: its rest is still dropped up to the CR.
  EXPECT_EQ(TakeReplyLine(), "bb");
  pty.Write(std::string(520, 'c'));
  for (int i = 0; i < 200 && ReplyLineLength() < 511; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  ClearReplyLine();
  pty.Write("ccc\r");
  ASSERT_TRUE(Replies(1));
  pty.Write("xy\r");
  ASSERT_TRUE(Replies(1));
  EXPECT_EQ(TakeReplyLine(), "xy");
  EXPECT_EQ(folder.LogCount("REPLY LINE FULL"), 2);
}

// A command load reads no replies: hundreds of them must not count as one long line.
TEST_F(ApplicationPort, RepliesNobodyTakesNeverFillTheLine) {
  std::string replies;
  for (int i = 0; i < 300; ++i) replies += "0 \r";
  pty.Write(replies + "LAST\r");
  for (int i = 0; i < 400 && ReplyLineText().find("LAST") == std::string::npos; ++i)
    ReplyEvent().Wait(20);
  const std::string text = ReplyLineText();
  ASSERT_GE(text.size(), 4u);
  EXPECT_EQ(text.substr(text.size() - 4), "LAST");
  EXPECT_EQ(folder.LogCount("REPLY LINE FULL"), 0);
}

TEST_F(ApplicationPort, SendsAndLogsTheConnection) {
  ASSERT_TRUE(SendToUnit("Q", 1));
  EXPECT_EQ(pty.Read(1), "Q");
  EXPECT_EQ(folder.LogCount("Connected"), 1);
  CloseApplicationPort();
  EXPECT_FALSE(ApplicationPortConnected());
  EXPECT_EQ(ComPort(), nullptr);
  EXPECT_FALSE(SendToUnit("Q", 1));
  EXPECT_EQ(folder.LogCount("Disonnected"), 1);
}

TEST_F(ApplicationPort, VanishedDeviceShowsAsDisconnectedWithinASecond) {
  std::shared_ptr<serialcomclass> port = ComPort();
  ASSERT_NE(port, nullptr);
  auto start = std::chrono::steady_clock::now();
  pty.CloseMaster();
  while (ApplicationPortConnected() && MillisecondsSince(start) < 1000)
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  EXPECT_FALSE(ApplicationPortConnected());
  EXPECT_FALSE(SendToUnit("Q", 1));
  for (int i = 0; i < 100 && folder.LogCount("Disonnected") == 0; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  EXPECT_EQ(folder.LogCount("Disonnected"), 1);
}

TEST_F(ApplicationPort, FailedReopenLeavesNoPort) {
  EXPECT_FALSE(OpenApplicationPort(PortConfig{}, "/dev/qm48-no-such-device"));
  EXPECT_EQ(ComPort(), nullptr);
  EXPECT_FALSE(ApplicationPortConnected());
  // Reopened as a whole on the same device: a new object.
  ASSERT_TRUE(OpenApplicationPort(PortConfig{}, pty.SlavePath()));
  pty.Write("R\r");
  EXPECT_TRUE(Replies(1));
}

TEST_F(ApplicationPort, ObserverSeesTheTrafficUntilItIsRemoved) {
  std::mutex mutex;
  std::vector<int> codes;
  std::string received, sent;
  SetPortTrafficObserver([&](int code, const uint8_t* bytes, uint32_t count) {
    std::lock_guard lock(mutex);
    codes.push_back(code);
    if (code == EVT_RX_DATA) received.append(reinterpret_cast<const char*>(bytes), count);
    if (code == EVT_TX_DONE) sent.append(reinterpret_cast<const char*>(bytes), count);
  });
  ASSERT_TRUE(SendToUnit("0FI", 3));
  EXPECT_EQ(pty.Read(3), "0FI");
  pty.Write(
      std::string("\x02"
                  "13 \r",
                  5));
  ASSERT_TRUE(Replies(1));
  // The observer sees the carriage return just after the reply event was set.
  for (int i = 0; i < 200; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    std::lock_guard lock(mutex);
    if (received.size() >= 5) break;
  }
  {
    std::lock_guard lock(mutex);
    EXPECT_EQ(sent, "0FI");
    EXPECT_EQ(received, std::string("\x02"
                                    "13 \r",
                                    5));
  }
  SetPortTrafficObserver(nullptr);
  size_t seen = 0;
  {
    std::lock_guard lock(mutex);
    seen = codes.size();
  }
  pty.Write("x\r");
  ASSERT_TRUE(Replies(1));
  CloseApplicationPort();
  std::lock_guard lock(mutex);
  EXPECT_EQ(codes.size(), seen);
}

// The port thread cannot join itself: a port closed from its own notification ends after
// it, and the next open elsewhere finishes it off.
TEST_F(ApplicationPort, ObserverMayCloseThePort) {
  SetPortTrafficObserver([](int code, const uint8_t*, uint32_t) {
    if (code == EVT_RX_DATA) CloseApplicationPort();
  });
  std::weak_ptr<serialcomclass> old = ComPort();
  pty.Write("x");
  for (int i = 0; i < 200 && ApplicationPortConnected(); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  EXPECT_EQ(ComPort(), nullptr);
  SetPortTrafficObserver(nullptr);
  PtyPair other;
  ASSERT_TRUE(OpenApplicationPort(PortConfig{}, other.SlavePath()));
  EXPECT_TRUE(old.expired());
  EXPECT_EQ(folder.LogCount("Disonnected"), 1);
}

TEST_F(ApplicationPort, NothingIsHandledWhileShuttingDown) {
  gShuttingDown = true;
  pty.Write("late\r");
  EXPECT_FALSE(ReplyEvent().Wait(200));
  EXPECT_EQ(ReplyLineLength(), 0u);
  OnPortEvent(nullptr, EVT_RX_DATA);  // a null port is ignored too
  gShuttingDown = false;
  OnPortEvent(ComPort().get(), 7);  // an unknown code is ignored
  EXPECT_EQ(ReplyLineLength(), 0u);
}

// A sender thread sends, waits, takes and empties the line while the port thread fills
// it and a unit thread answers each command.
TEST_F(ApplicationPort, ReplyLinesHandOverBetweenThreads) {
  std::thread unit([this] {
    for (int i = 0; i < 300; ++i) {
      if (pty.Read(1) != "Q") return;
      pty.Write(std::to_string(i) + " \r");
    }
  });
  std::string all, expected;
  int i = 0;
  for (; i < 300; ++i) {
    ReplyEvent().Reset();
    ClearReplyLine();
    if (!SendToUnit("Q", 1) || !ReplyEvent().Wait(2000)) break;
    all += TakeReplyLine() + "|";
    expected += std::to_string(i) + " |";
  }
  unit.join();
  EXPECT_EQ(i, 300);
  EXPECT_EQ(all, expected);
}
}  // namespace
