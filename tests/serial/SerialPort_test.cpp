// The port engine on real pseudo-terminals: the test holds the master side as the unit.
#include <sys/file.h>

#include <atomic>
#include <chrono>
#include <future>
#include <memory>
#include <thread>

#include "platform/ThreadPriority.h"
#include "serial/SerialTestKit.h"
#include "serial/serialcomclass.h"

namespace {
using Clock = std::chrono::steady_clock;

class SerialPort : public testing::Test {
 protected:
  uint32_t OpenPty(serialcomclass& port, int32_t baud = 8, int32_t flow = 0, int32_t parity = 0,
                   int32_t dataBits = 3, int32_t stopBits = 0, uint32_t userRate = 0) {
    return port.OpenDevice(pty.SlavePath(),
                           LineConfig(baud, flow, parity, dataBits, stopBits, userRate));
  }
  SerialTestFolder folder;
  PtyPair pty;
  PortRecorder recorder;
};

TEST_F(SerialPort, SendsAndReceivesThenStops) {
  serialcomclass port;
  port.SetCallback(recorder.Callback());
  ASSERT_EQ(OpenPty(port), 0u);
  EXPECT_TRUE(port.IsRunning());
  EXPECT_TRUE(recorder.WaitFor(EVT_CONNECTED));

  ASSERT_TRUE(port.Send("0005 0 G", 8));
  EXPECT_EQ(pty.Read(8), "0005 0 G");
  EXPECT_TRUE(recorder.WaitFor(EVT_TX_DONE));
  EXPECT_EQ(recorder.Sent(), "0005 0 G");

  // Raw bytes both ways: no line-end translation, no echo, no control characters eaten.
  pty.Write(std::string("OK\r\n\x03\x11\x13\0Z", 9));
  EXPECT_TRUE(recorder.WaitForReceived(9));
  EXPECT_EQ(recorder.Received(), std::string("OK\r\n\x03\x11\x13\0Z", 9));
  EXPECT_EQ(recorder.Count(EVT_RX_DATA), 9);  // read size 1: one notification per byte
  EXPECT_EQ(pty.Read(1, 100), "");            // nothing echoed back to the unit

  ASSERT_TRUE(port.Send("\r", 1));
  EXPECT_EQ(pty.Read(2, 300), "\r");  // no CR LF mapping on output

  port.Stop();
  EXPECT_FALSE(port.IsRunning());
  EXPECT_EQ(recorder.Count(EVT_DISCONNECTED), 1);
  EXPECT_EQ(recorder.Codes().front(), EVT_CONNECTED);
  EXPECT_EQ(recorder.Codes().back(), EVT_DISCONNECTED);
  EXPECT_FALSE(port.Send("X", 1));  // a stopped port takes nothing

  auto start = Clock::now();
  port.Stop();  // already ended: returns at once
  EXPECT_LT(MillisecondsSince(start), 500);
  EXPECT_EQ(recorder.Count(EVT_DISCONNECTED), 1);
}

// The port thread asks to run ahead of the others; where the system refuses, it says so.
TEST_F(SerialPort, PortThreadRunsAtARaisedPriorityOrSaysWhyNot) {
  serialcomclass port;
  std::promise<int> connected;
  port.SetCallback([&](serialcomclass*, int code) {
    if (code == EVT_CONNECTED) connected.set_value(CallingThreadNice());
  });
  ASSERT_EQ(OpenPty(port), 0u);
  std::future<int> nice = connected.get_future();
  ASSERT_EQ(nice.wait_for(std::chrono::seconds(10)), std::future_status::ready);
  port.Stop();
  if (folder.LogCount("PORT THREAD PRIORITY NOT RAISED") == 0)
    EXPECT_LT(nice.get(), CallingThreadNice());
  else
    EXPECT_EQ(nice.get(), CallingThreadNice());
}

// A notification that never returns must not hang the program that stops the port.
TEST_F(SerialPort, StopGivesUpOnAThreadHeldInANotification) {
  std::promise<void> entered;
  std::promise<void> release;
  std::shared_future<void> released = release.get_future().share();
  std::atomic<bool> inside{false};
  auto port = std::make_unique<serialcomclass>();
  port->SetCallback([&](serialcomclass*, int code) {
    if (code != EVT_RX_DATA || inside.exchange(true)) return;
    entered.set_value();
    released.wait();
  });
  ASSERT_EQ(OpenPty(*port), 0u);
  pty.Write("x");
  ASSERT_EQ(entered.get_future().wait_for(std::chrono::seconds(10)), std::future_status::ready);
  port->Stop();  // returns while the thread is still held
  EXPECT_FALSE(port->IsRunning());
  EXPECT_FALSE(port->Send("X", 1));
  EXPECT_EQ(folder.LogCount("PORT THREAD DID NOT END WITHIN 2000 ms"), 1);
  release.set_value();
  port->Stop();  // now it ends and is joined
  port.reset();
  EXPECT_EQ(folder.LogCount("PORT THREAD STILL RUNNING"), 0);
}

TEST_F(SerialPort, ReadSizeDeliversWhatHasArrivedUpToTheSize) {
  serialcomclass port;
  port.SetCallback(recorder.Callback());
  port.SetReadSize(5000);  // capped at the buffer
  ASSERT_EQ(OpenPty(port), 0u);
  pty.Write(std::string(1500, 'q'));
  EXPECT_TRUE(recorder.WaitForReceived(1500));
  EXPECT_GE(recorder.Count(EVT_RX_DATA), 3);  // never more than 512 bytes at once
  EXPECT_EQ(port.RxBuffer()[port.RxCount()], 0);
}

TEST_F(SerialPort, SendRefusesWhatItCannotTake) {
  serialcomclass port;
  char bytes[513] = {};
  EXPECT_FALSE(port.Send("A", 1));  // not open
  port.SetCallback(recorder.Callback());
  ASSERT_EQ(OpenPty(port), 0u);
  EXPECT_FALSE(port.Send(bytes, 513));
  EXPECT_FALSE(port.Send(nullptr, 1));
  EXPECT_FALSE(port.Send(bytes, -1));
  EXPECT_EQ(pty.Read(1, 100), "");
  EXPECT_EQ(recorder.Count(EVT_TX_DONE), 0);
  EXPECT_TRUE(port.Send(bytes, 512));
  EXPECT_EQ(pty.Read(512).size(), 512u);
  EXPECT_TRUE(recorder.WaitFor(EVT_TX_DONE));
}

// The unit stops reading: the line fills up, a write stays in progress, further sends are
// refused, and Stop still ends the thread promptly.
TEST_F(SerialPort, StopEndsAWriteThatCannotComplete) {
  serialcomclass port;
  port.SetCallback(recorder.Callback());
  ASSERT_EQ(OpenPty(port), 0u);
  std::string block(512, 'w');
  int accepted = 0;
  for (int i = 0; i < 2000 && port.Send(block.data(), 512); ++i) {
    ++accepted;
    if (!recorder.WaitFor(EVT_TX_DONE, accepted, 300)) break;
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  ASSERT_TRUE(port.IsWriting()) << "the pseudo-terminal never filled up";
  EXPECT_FALSE(port.Send("X", 1));  // the previous write is still in progress

  auto start = Clock::now();
  port.Stop();
  EXPECT_LT(MillisecondsSince(start), 1000);
  EXPECT_FALSE(port.IsRunning());
  EXPECT_EQ(recorder.Count(EVT_DISCONNECTED), 1);
  EXPECT_EQ(recorder.Count(EVT_TX_DONE), accepted - 1);
}

TEST_F(SerialPort, VanishedDeviceEndsThePortWithinASecond) {
  serialcomclass port;
  port.SetCallback(recorder.Callback());
  ASSERT_EQ(OpenPty(port), 0u);
  ASSERT_TRUE(recorder.WaitFor(EVT_CONNECTED));
  auto start = Clock::now();
  pty.CloseMaster();
  EXPECT_TRUE(recorder.WaitFor(EVT_DISCONNECTED, 1, 1000));
  EXPECT_LT(MillisecondsSince(start), 1000);
  EXPECT_FALSE(port.IsRunning());
  EXPECT_FALSE(port.Send("X", 1));
  EXPECT_EQ(folder.LogCount("SIG_READER  Input/output error"), 1);
  port.Stop();
  EXPECT_EQ(recorder.Count(EVT_DISCONNECTED), 1);
}

TEST_F(SerialPort, VanishedDeviceEndsAPortThatIsWriting) {
  serialcomclass port;
  port.SetCallback(recorder.Callback());
  ASSERT_EQ(OpenPty(port), 0u);
  std::string block(512, 'w');
  for (int i = 0; i < 2000 && port.Send(block.data(), 512); ++i)
    if (!recorder.WaitFor(EVT_TX_DONE, i + 1, 300)) break;
  ASSERT_TRUE(port.IsWriting());
  pty.CloseMaster();
  EXPECT_TRUE(recorder.WaitFor(EVT_DISCONNECTED, 1, 1000));
}

TEST_F(SerialPort, DeviceHeldElsewhereIsRefused) {
  serialcomclass first, second;
  ASSERT_EQ(OpenPty(first), 0u);
  EXPECT_EQ(OpenPty(second), kOpenDeviceFailed);
  EXPECT_FALSE(second.IsRunning());
  EXPECT_EQ(folder.LogCount(pty.SlavePath() + "  Device or resource busy"), 1);
  EXPECT_TRUE(first.IsRunning());

  // Freed by Stop: the device can be opened again.
  first.Stop();
  EXPECT_EQ(OpenPty(second), 0u);
  second.Stop();

  // Another program's lock on the device.
  int other = ::open(pty.SlavePath().c_str(), O_RDWR | O_NOCTTY);
  ASSERT_GE(other, 0);
  ASSERT_EQ(::flock(other, LOCK_EX | LOCK_NB), 0);
  EXPECT_EQ(OpenPty(first), kOpenDeviceFailed);
  EXPECT_EQ(folder.LogCount("Device or resource busy"), 2);
  ::close(other);
  EXPECT_EQ(OpenPty(first), 0u);
}

TEST_F(SerialPort, MissingOrUnsuitableDevicesAreRefused) {
  serialcomclass port;
  port.SetCallback(recorder.Callback());
  EXPECT_EQ(port.OpenDevice("/dev/qm48-no-such-device", LineConfig(8, 0, 0, 3, 0, 0)),
            kOpenDeviceFailed);
  EXPECT_EQ(folder.LogCount("/dev/qm48-no-such-device  No such file or directory (2)"), 1);
  EXPECT_EQ(port.OpenDevice("/dev/null", LineConfig(8, 0, 0, 3, 0, 0)), kOpenDeviceFailed);
  EXPECT_EQ(folder.LogCount("/dev/null  Inappropriate ioctl for device"), 1);
  EXPECT_EQ(port.Open(PortIndex(16)), kOpenDeviceFailed);  // no COM17
  EXPECT_EQ(port.Open(PortIndex(-1)), kOpenDeviceFailed);
  EXPECT_FALSE(port.IsRunning());
  EXPECT_TRUE(recorder.Codes().empty());  // a failed open starts no thread
}

TEST_F(SerialPort, ReopeningAnOpenPortEndsTheOldThreadFirst) {
  serialcomclass port;
  port.SetCallback(recorder.Callback());
  ASSERT_EQ(OpenPty(port), 0u);
  ASSERT_EQ(OpenPty(port, 15), 0u);
  EXPECT_TRUE(recorder.WaitFor(EVT_CONNECTED, 2));
  EXPECT_EQ(recorder.Count(EVT_DISCONNECTED), 1);
  pty.Write("k");
  EXPECT_TRUE(recorder.WaitForReceived(1));
}

TEST_F(SerialPort, PortIndexOpensTheMappedDeviceAndCutsTheName) {
  {
    std::ofstream cfg(folder.Dir().File("Qm48Com.Cfg"));
    cfg << "[PortDevices]\r\nCOM5=" << pty.SlavePath() << "\r\n";
  }
  serialcomclass port;
  port.SetCallback(recorder.Callback());
  ASSERT_EQ(port.Open(PortIndex(4)), 0u);
  EXPECT_EQ(port.DevicePath(), pty.SlavePath());
  EXPECT_EQ(port.Settings().PortNum, 4);
  EXPECT_EQ(std::string(port.Settings().PortName), pty.SlavePath().substr(0, 10));
  ASSERT_TRUE(port.Send("I", 1));
  EXPECT_EQ(pty.Read(1), "I");

  // An unmapped port is the serial device of its number.
  EXPECT_EQ(port.Open(PortIndex(3)), kOpenDeviceFailed);
  EXPECT_EQ(port.DevicePath(), "/dev/ttyS3");
}

// Ring and carrier cannot be read from a pseudo-terminal: the watch is dropped with one log
// line and the port goes on working, without spinning.
TEST_F(SerialPort, ModemWatchWithoutModemLinesIsDropped) {
  serialcomclass port;
  port.SetCallback(recorder.Callback());
  ASSERT_EQ(OpenPty(port), 0u);
  port.SetMonitorModem(true);
  for (int i = 0; i < 100 && port.MonitorModem(); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  EXPECT_FALSE(port.MonitorModem());
  EXPECT_EQ(folder.LogCount("ring and carrier are not watched"), 1);
  EXPECT_TRUE(port.IsRunning());
  pty.Write("r");
  EXPECT_TRUE(recorder.WaitForReceived(1));
  EXPECT_EQ(folder.LogCount("ring and carrier are not watched"), 1);
}
}  // namespace
