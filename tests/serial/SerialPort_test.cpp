// The port engine on real pseudo-terminals: the test holds the master side as the unit.
#include <sys/file.h>

#include <fstream>
#include <future>
#include <memory>

#include "serial/SerialTestKit.h"

namespace {

class SerialPort : public testing::Test {
 protected:
  void SetUp() override { port.SetCallback(recorder.Callback()); }
  uint32_t Open(serialcomclass& p) { return p.OpenDevice(pty.SlavePath(), PortConfig{}); }
  // Sends blocks until the pseudo-terminal, never read, takes no more.
  int FillTheLine() {
    const std::string block(512, 'w');
    const int before = recorder.Now().Count(EVT_TX_DONE);
    int accepted = 0;
    while (accepted < 2000 && port.Send(block.data(), 512) &&
           recorder.WaitFor(EVT_TX_DONE, before + ++accepted, 300)) {
    }
    return accepted;
  }
  SerialTestFolder folder;
  PtyPair pty;
  PortRecorder recorder;
  serialcomclass port;
};

TEST_F(SerialPort, SendsAndReceivesRawBytesThenStops) {
  char big[513] = {};
  EXPECT_FALSE(port.Send("A", 1));  // not open
  ASSERT_EQ(Open(port), 0u);
  EXPECT_TRUE(recorder.WaitFor(EVT_CONNECTED));
  EXPECT_FALSE(port.Send(big, 513));
  EXPECT_FALSE(port.Send(nullptr, 1));
  EXPECT_FALSE(port.Send(big, -1));
  ASSERT_TRUE(port.Send("0005 0 G\r", 9));
  EXPECT_EQ(pty.Read(10, 300), "0005 0 G\r");  // no CR LF mapping on output
  ASSERT_TRUE(recorder.WaitFor(EVT_TX_DONE));
  EXPECT_EQ(recorder.Now().sent, "0005 0 G\r");
  EXPECT_TRUE(port.Send(big, 512));  // the next send is taken at once
  EXPECT_EQ(pty.Read(512).size(), 512u);
  // No line-end translation, no echo, no control characters eaten, one byte per read.
  const std::string bytes("OK\r\n\x03\x11\x13\0Z", 9);
  pty.Write(bytes);
  EXPECT_TRUE(recorder.WaitForReceived(9));
  EXPECT_EQ(recorder.Now().received, bytes);
  EXPECT_EQ(pty.Read(1, 100), "");
  port.Stop();
  port.Stop();  // already ended
  EXPECT_FALSE(port.IsRunning());
  EXPECT_FALSE(port.Send("X", 1));
  std::vector<int> codes{EVT_CONNECTED, EVT_TX_DONE, EVT_TX_DONE};
  codes.insert(codes.end(), 9, EVT_RX_DATA);  // one byte per read
  codes.push_back(EVT_DISCONNECTED);
  EXPECT_EQ(recorder.Now().codes, codes);
}

// A pseudo-terminal has no ring and carrier: the watch is dropped, the port goes on.
TEST_F(SerialPort, ReadSizeAndAModemWatchWithoutModemLines) {
  port.SetReadSize(5000);  // capped at the buffer
  ASSERT_EQ(Open(port), 0u);
  port.SetMonitorModem(true);
  pty.Write("r");  // the port thread passes its modem look on the way to this byte
  EXPECT_TRUE(recorder.WaitForReceived(1));
  pty.Write(std::string(1500, 'q'));
  EXPECT_TRUE(recorder.WaitForReceived(1501));
  EXPECT_GE(recorder.Now().Count(EVT_RX_DATA), 1 + 3);  // never more than 512 bytes at once
  EXPECT_EQ(port.RxBuffer()[port.RxCount()], 0);
  EXPECT_FALSE(port.MonitorModem());
  EXPECT_EQ(folder.LogCount("ring and carrier are not watched"), 1);
}

// The unit stops reading: Stop and a vanished device still end a write in progress.
TEST_F(SerialPort, AWriteThatCannotCompleteEndsWithThePort) {
  ASSERT_EQ(Open(port), 0u);
  const int accepted = FillTheLine();
  ASSERT_TRUE(port.IsWriting()) << "the pseudo-terminal never filled up";
  EXPECT_FALSE(port.Send("X", 1));
  port.Stop();
  EXPECT_FALSE(port.IsRunning());
  EXPECT_EQ(recorder.Now().Count(EVT_DISCONNECTED), 1);
  EXPECT_EQ(recorder.Now().Count(EVT_TX_DONE), accepted - 1);
  PtyPair other;
  ASSERT_EQ(port.OpenDevice(other.SlavePath(), PortConfig{}), 0u);
  FillTheLine();
  ASSERT_TRUE(port.IsWriting());
  other.CloseMaster();
  EXPECT_TRUE(recorder.WaitFor(EVT_DISCONNECTED, 2));
}

// A notification that never returns must not hang the program that stops the port.
TEST_F(SerialPort, StopGivesUpOnAThreadHeldInANotification) {
  std::promise<void> entered, release;
  std::shared_future<void> released = release.get_future().share();
  auto held = std::make_unique<serialcomclass>();
  held->SetCallback([&](serialcomclass*, int code) {
    if (code != EVT_RX_DATA) return;
    entered.set_value();
    released.wait();
  });
  ASSERT_EQ(Open(*held), 0u);
  pty.Write("x");
  ASSERT_EQ(entered.get_future().wait_for(std::chrono::seconds(10)), std::future_status::ready);
  held->Stop();  // returns while the thread is still held
  EXPECT_FALSE(held->IsRunning());
  EXPECT_FALSE(held->Send("X", 1));
  EXPECT_EQ(folder.LogCount("PORT THREAD DID NOT END WITHIN 2000 ms"), 1);
  release.set_value();
  held->Stop();  // now it ends and is joined
  held.reset();
  EXPECT_EQ(folder.LogCount("PORT THREAD STILL RUNNING"), 0);
}

TEST_F(SerialPort, BusyMissingAndUnsuitableDevicesAreRefused) {
  std::ofstream(folder.Dir().File("Qm48Com.Cfg"))
      << "[PortDevices]\r\nCOM5=" << pty.SlavePath() << "\r\n";
  ASSERT_EQ(port.Open(PortConfig{.PortNum = 4}), 0u);  // the device the file names for COM5
  EXPECT_EQ(port.DevicePath(), pty.SlavePath());
  serialcomclass second;
  EXPECT_EQ(Open(second), kOpenDeviceFailed);
  EXPECT_EQ(folder.LogCount(pty.SlavePath() + "  Device or resource busy"), 1);
  port.Stop();  // frees the device
  EXPECT_EQ(Open(second), 0u);
  second.Stop();
  const int other = ::open(pty.SlavePath().c_str(), O_RDWR | O_NOCTTY);  // another program's lock
  ASSERT_EQ(::flock(other, LOCK_EX | LOCK_NB), 0);
  EXPECT_EQ(Open(second), kOpenDeviceFailed);
  ::close(other);
  EXPECT_EQ(port.OpenDevice("/dev/qm48-no-such-device", PortConfig{}), kOpenDeviceFailed);
  EXPECT_EQ(folder.LogCount("/dev/qm48-no-such-device  No such file or directory (2)"), 1);
  EXPECT_EQ(port.OpenDevice("/dev/null", PortConfig{}), kOpenDeviceFailed);
  EXPECT_EQ(folder.LogCount("/dev/null  Inappropriate ioctl for device"), 1);
  for (int32_t index : {16, -1})  // no COM17, no COM0
    EXPECT_EQ(port.Open(PortConfig{.PortNum = index}), kOpenDeviceFailed);
  EXPECT_EQ(port.Open(PortConfig{.PortNum = 3}), kOpenDeviceFailed);  // COM4 is not named
  EXPECT_EQ(port.DevicePath(), "/dev/ttyS3");
  EXPECT_FALSE(port.IsRunning());
}

}  // namespace
