// The application port on a pseudo-terminal: reply lines, the reply event, the observer
// and the port's life as the shell and the senders see it.
#include "link/UnitLink.h"
#include "support/ProgramClosing.h"

#include <chrono>
#include <thread>
#include <vector>

#include "serial/SerialTestKit.h"

namespace {
class ApplicationPort : public testing::Test {
 protected:
  void SetUp() override {
    gShuttingDown = false;
    ASSERT_TRUE(link.Open(PortConfig{}, pty.SlavePath()));
    link.ReplyEvent().Reset();
    link.ClearReplyLine();
  }
  void TearDown() override {
    link.RemoveObserver(observer);
    link.Close();
    gShuttingDown = false;
  }
  // Waits until the reply event has been set n times; false when it stays quiet.
  bool Replies(int n, int timeoutMs = 1000) {
    for (int i = 0; i < n; ++i)
      if (!link.ReplyEvent().Wait(timeoutMs)) return false;
    return true;
  }
  SerialTestFolder folder;
  PtyPair pty;
  UnitLink link;
  UnitLink::ObserverId observer = 0;
};

TEST_F(ApplicationPort, OneEventPerCarriageReturnAndTheLineWithoutIt) {
  EXPECT_TRUE(link.Connected());
  pty.Write("0A1B\r");
  ASSERT_TRUE(Replies(1));
  EXPECT_EQ(link.ReplyLineText(), "0A1B");
  EXPECT_EQ(link.ReplyLineLength(), 4u);
  EXPECT_FALSE(link.ReplyEvent().Wait(50));  // set once

  // Lines gather until they are taken; a line feed after the CR begins the next line.
  pty.Write("OK\r");
  ASSERT_TRUE(Replies(1));
  EXPECT_EQ(link.TakeReplyLine(), "0A1BOK");
  pty.Write("\n22\r");
  ASSERT_TRUE(Replies(1));
  EXPECT_EQ(link.TakeReplyLine(), "\n22");
  EXPECT_EQ(link.ReplyLineLength(), 0u);
}

TEST_F(ApplicationPort, StrayAndDoubledCarriageReturns) {
  pty.Write("\r");
  ASSERT_TRUE(Replies(1));
  EXPECT_EQ(link.ReplyLineLength(), 0u);
  // The second CR sets the event again once the first has been waited for.
  pty.Write("5 \r");
  ASSERT_TRUE(Replies(1));
  pty.Write("\r");
  ASSERT_TRUE(Replies(1));
  EXPECT_EQ(link.TakeReplyLine(), "5 ");
  // A doubled CR left pending is what a sender clears before its next command.
  pty.Write("6 \r\r");
  ASSERT_TRUE(Replies(1));
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  link.ReplyEvent().Reset();
  EXPECT_FALSE(link.ReplyEvent().Wait(50));
  EXPECT_EQ(link.TakeReplyLine(), "6 ");
}

TEST_F(ApplicationPort, AnOverlongLineKeepsItsFirst511Bytes) {
  pty.Write(std::string(600, 'a') + "\r");
  ASSERT_TRUE(Replies(1, 2000));
  EXPECT_EQ(link.ReplyLineText(), std::string(511, 'a'));
  EXPECT_EQ(folder.LogCount("REPLY LINE FULL"), 1);

  // The finished line nobody took makes room for the next, without another log line.
  pty.Write("bb\r");
  ASSERT_TRUE(Replies(1));
  EXPECT_EQ(link.ReplyLineText(), "bb");
  EXPECT_EQ(folder.LogCount("REPLY LINE FULL"), 1);

  // Emptied in the middle of an overlong line: its rest is still dropped up to the CR.
  EXPECT_EQ(link.TakeReplyLine(), "bb");
  pty.Write(std::string(520, 'c'));
  for (int i = 0; i < 200 && link.ReplyLineLength() < 511; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  link.ClearReplyLine();
  pty.Write("ccc\r");
  ASSERT_TRUE(Replies(1));
  pty.Write("xy\r");
  ASSERT_TRUE(Replies(1));
  EXPECT_EQ(link.TakeReplyLine(), "xy");
  EXPECT_EQ(folder.LogCount("REPLY LINE FULL"), 2);
}

// A command load reads no replies: hundreds of them must not count as one long line.
TEST_F(ApplicationPort, RepliesNobodyTakesNeverFillTheLine) {
  std::string replies;
  for (int i = 0; i < 300; ++i) replies += "0 \r";
  pty.Write(replies + "LAST\r");
  for (int i = 0; i < 400 && link.ReplyLineText().find("LAST") == std::string::npos; ++i)
    link.ReplyEvent().Wait(20);
  const std::string text = link.ReplyLineText();
  ASSERT_GE(text.size(), 4u);
  EXPECT_EQ(text.substr(text.size() - 4), "LAST");
  EXPECT_EQ(folder.LogCount("REPLY LINE FULL"), 0);
}

TEST_F(ApplicationPort, SendsAndLogsTheConnection) {
  ASSERT_TRUE(link.Send("Q", 1));
  EXPECT_EQ(pty.Read(1), "Q");
  EXPECT_EQ(folder.LogCount("Connected"), 1);
  link.Close();
  EXPECT_FALSE(link.Connected());
  EXPECT_EQ(link.Port(), nullptr);
  EXPECT_FALSE(link.Send("Q", 1));
  EXPECT_EQ(folder.LogCount("Disonnected"), 1);
}

TEST_F(ApplicationPort, VanishedDeviceShowsAsDisconnectedWithinASecond) {
  std::shared_ptr<serialcomclass> port = link.Port();
  ASSERT_NE(port, nullptr);
  auto start = std::chrono::steady_clock::now();
  pty.CloseMaster();
  while (link.Connected() && MillisecondsSince(start) < 1000)
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  EXPECT_FALSE(link.Connected());
  EXPECT_FALSE(link.Send("Q", 1));
  for (int i = 0; i < 100 && folder.LogCount("Disonnected") == 0; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  EXPECT_EQ(folder.LogCount("Disonnected"), 1);
}

TEST_F(ApplicationPort, FailedReopenLeavesNoPort) {
  EXPECT_FALSE(link.Open(PortConfig{}, "/dev/qm48-no-such-device"));
  EXPECT_EQ(link.Port(), nullptr);
  EXPECT_FALSE(link.Connected());
  // Reopened as a whole on the same device: a new object.
  ASSERT_TRUE(link.Open(PortConfig{}, pty.SlavePath()));
  pty.Write("R\r");
  EXPECT_TRUE(Replies(1));
}

TEST_F(ApplicationPort, ObserverSeesTheTrafficUntilItIsRemoved) {
  std::mutex mutex;
  std::vector<int> codes;
  std::string received, sent;
  observer = link.AddObserver([&](int code, const uint8_t* bytes, uint32_t count) {
    std::lock_guard lock(mutex);
    codes.push_back(code);
    if (code == EVT_RX_DATA) received.append(reinterpret_cast<const char*>(bytes), count);
    if (code == EVT_TX_DONE) sent.append(reinterpret_cast<const char*>(bytes), count);
  });
  ASSERT_TRUE(link.Send("0FI", 3));
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
  link.RemoveObserver(observer);
  size_t seen = 0;
  {
    std::lock_guard lock(mutex);
    seen = codes.size();
  }
  pty.Write("x\r");
  ASSERT_TRUE(Replies(1));
  link.Close();
  std::lock_guard lock(mutex);
  EXPECT_EQ(codes.size(), seen);
}

// The port thread cannot join itself: a port closed from its own notification ends after
// it, and the next open elsewhere finishes it off.
TEST_F(ApplicationPort, ObserverMayCloseThePort) {
  observer = link.AddObserver([this](int code, const uint8_t*, uint32_t) {
    if (code == EVT_RX_DATA) link.Close();
  });
  std::weak_ptr<serialcomclass> old = link.Port();
  pty.Write("x");
  for (int i = 0; i < 200 && link.Connected(); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  EXPECT_EQ(link.Port(), nullptr);
  link.RemoveObserver(observer);
  PtyPair other;
  ASSERT_TRUE(link.Open(PortConfig{}, other.SlavePath()));
  EXPECT_TRUE(old.expired());
  EXPECT_EQ(folder.LogCount("Disonnected"), 1);
}

TEST_F(ApplicationPort, NothingIsHandledWhileShuttingDown) {
  gShuttingDown = true;
  pty.Write("late\r");
  EXPECT_FALSE(link.ReplyEvent().Wait(200));
  EXPECT_EQ(link.ReplyLineLength(), 0u);
  link.OnPortEvent(nullptr, EVT_RX_DATA);  // a null port is ignored too
  gShuttingDown = false;
  link.OnPortEvent(link.Port().get(), 7);  // an unknown code is ignored
  EXPECT_EQ(link.ReplyLineLength(), 0u);
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
    link.ReplyEvent().Reset();
    link.ClearReplyLine();
    if (!link.Send("Q", 1) || !link.ReplyEvent().Wait(2000)) break;
    all += link.TakeReplyLine() + "|";
    expected += std::to_string(i) + " |";
  }
  unit.join();
  EXPECT_EQ(i, 300);
  EXPECT_EQ(all, expected);
}
}  // namespace
