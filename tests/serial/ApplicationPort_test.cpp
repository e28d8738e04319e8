// A link's port on a pseudo-terminal: reply lines, the reply event, observers, its life.
#include "link/UnitLink.h"

#include <future>
#include <thread>

#include "serial/SerialTestKit.h"
#include "support/ProgramClosing.h"

namespace {

class ApplicationPort : public testing::Test {
 protected:
  void SetUp() override {
    gShuttingDown = false;
    observer = link.AddObserver(
        [this](int code, const uint8_t* bytes, uint32_t n) { seen.Record(code, bytes, n); });
    ASSERT_TRUE(link.Open(PortConfig{}, pty.SlavePath()));
    link.ReplyEvent().Reset();
    link.ClearReplyLine();
  }
  void TearDown() override {
    link.RemoveObserver(observer);
    link.Close();
    gShuttingDown = false;
  }
  SerialTestFolder folder;
  PtyPair pty;
  UnitLink link;
  UnitLink::ObserverId observer = 0;
  PortRecorder seen;
};

TEST_F(ApplicationPort, OneEventPerCarriageReturnTheLineWithoutItAndNothingWhileShuttingDown) {
  pty.Write("0A1B\r");
  ASSERT_TRUE(link.ReplyEvent().Wait(5000));
  EXPECT_EQ(link.ReplyLineText(), "0A1B");
  EXPECT_FALSE(link.ReplyEvent().Wait(50));  // set once
  // Lines gather until taken; a line feed after the CR begins the next line.
  pty.Write("OK\r\n22\r\r");
  ASSERT_TRUE(seen.WaitForReceived(13));
  EXPECT_EQ(seen.Now().received, "0A1B\rOK\r\n22\r\r");  // as the observers see it
  EXPECT_EQ(link.TakeReplyLine(), "0A1BOK\n22");
  EXPECT_EQ(link.ReplyLineLength(), 0u);
  link.ReplyEvent().Reset();  // a doubled CR left pending is what a sender clears
  EXPECT_FALSE(link.ReplyEvent().Wait(50));
  gShuttingDown = true;
  pty.Write("late\r");
  EXPECT_FALSE(link.ReplyEvent().Wait(200));
  EXPECT_EQ(link.ReplyLineLength(), 0u);
  link.OnPortEvent(nullptr, EVT_RX_DATA);  // a null port is ignored too
  gShuttingDown = false;
  link.OnPortEvent(link.Port().get(), 7);  // and an unknown code
  EXPECT_EQ(link.ReplyLineLength(), 0u);
}

// A port closed from an observer on its own thread ends after it; the next open joins it.
TEST_F(ApplicationPort, ObserverMayCloseThePort) {
  std::promise<void> closed;
  const UnitLink::ObserverId closer = link.AddObserver([&](int code, const uint8_t*, uint32_t) {
    if (code != EVT_RX_DATA) return;
    link.Close();
    closed.set_value();
  });
  std::weak_ptr<serialcomclass> old = link.Port();
  pty.Write("x");
  ASSERT_EQ(closed.get_future().wait_for(std::chrono::seconds(5)), std::future_status::ready);
  EXPECT_EQ(link.Port(), nullptr);
  link.RemoveObserver(closer);
  PtyPair other;
  ASSERT_TRUE(link.Open(PortConfig{}, other.SlavePath()));
  EXPECT_TRUE(old.expired());
  EXPECT_EQ(folder.LogCount("Disonnected"), 1);
}

// A sender thread takes and empties the line the port thread fills from a unit thread.
TEST_F(ApplicationPort, ReplyLinesHandOverBetweenThreads) {
  std::thread unit([this] {
    for (int i = 0; i < 300 && pty.Read(1) == "Q"; ++i) pty.Write(std::to_string(i) + " \r");
  });
  std::string all, expected;
  for (int i = 0; i < 300; ++i) {
    link.ReplyEvent().Reset();
    link.ClearReplyLine();
    if (!link.Send("Q", 1) || !link.ReplyEvent().Wait(5000)) break;
    all += link.TakeReplyLine() + "|";
    expected += std::to_string(i) + " |";
  }
  unit.join();
  EXPECT_EQ(all, expected);
}

}  // namespace
