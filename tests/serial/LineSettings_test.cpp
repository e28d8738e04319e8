// Every line setting applied to a pseudo-terminal and read back from its master side,
// which reports the settings of the terminal the port opened.
#include <termios.h>

#include "serial/ExactBaudRate.h"
#include "serial/LineSettings.h"
#include "serial/SerialTestKit.h"
#include "serial/serialcomclass.h"

namespace {
class LineSettings : public testing::Test {
 protected:
  termios Open(int32_t baud, int32_t flow, int32_t parity, int32_t dataBits, int32_t stopBits,
               uint32_t userRate = 0) {
    EXPECT_EQ(port.OpenDevice(pty.SlavePath(),
                              LineConfig(baud, flow, parity, dataBits, stopBits, userRate)),
              0u);
    termios tio{};
    EXPECT_EQ(tcgetattr(pty.Master(), &tio), 0);
    return tio;
  }
  uint32_t Rate() {
    uint32_t in = 0, out = 0;
    EXPECT_TRUE(GetExactBaudRate(pty.Master(), in, out));
    EXPECT_EQ(in, out);
    return out;
  }
  SerialTestFolder folder;
  PtyPair pty;
  serialcomclass port;
};

TEST_F(LineSettings, EveryTableRateIsSetExactly) {
  for (int32_t index = 0; index < kUserDefBaudIndex; ++index) {
    Open(index, 0, 0, 3, 0);
    EXPECT_EQ(Rate(), kBaudRates[index]) << kBaudRateNames[index];
  }
  Open(kUserDefBaudIndex, 0, 0, 3, 0, 31250);
  EXPECT_EQ(Rate(), 31250u);
  Open(kUserDefBaudIndex, 0, 0, 3, 0, 1000000);
  EXPECT_EQ(Rate(), 1000000u);
  EXPECT_EQ(folder.LogCount("instead of"), 0);
}

TEST_F(LineSettings, RatesThatCannotBeSetAreRefused) {
  EXPECT_EQ(port.OpenDevice(pty.SlavePath(), LineConfig(kUserDefBaudIndex, 0, 0, 3, 0, 0)),
            kOpenLineSettingsRefused);
  EXPECT_EQ(port.OpenDevice(pty.SlavePath(), LineConfig(21, 0, 0, 3, 0, 0)),
            kOpenLineSettingsRefused);
  EXPECT_EQ(port.OpenDevice(pty.SlavePath(), LineConfig(-1, 0, 0, 3, 0, 0)),
            kOpenLineSettingsRefused);
  EXPECT_FALSE(port.IsRunning());
  EXPECT_EQ(folder.LogCount("no line rate for baud index"), 3);
  // A refused open leaves the device free.
  EXPECT_EQ(port.OpenDevice(pty.SlavePath(), LineConfig(8, 0, 0, 3, 0, 0)), 0u);
}

TEST_F(LineSettings, RawEightBitLineWithoutTranslation) {
  termios tio = Open(8, 0, 0, 3, 0);
  EXPECT_EQ(tio.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
  EXPECT_EQ(tio.c_cflag & (PARENB | CSTOPB | CRTSCTS), 0u);
  EXPECT_TRUE(tio.c_cflag & CREAD);
  EXPECT_TRUE(tio.c_cflag & CLOCAL);
  EXPECT_EQ(tio.c_lflag & (ICANON | ECHO | ISIG | IEXTEN), 0u);
  EXPECT_EQ(tio.c_iflag & (ICRNL | INLCR | IGNCR | ISTRIP | IXON | IXOFF | INPCK), 0u);
  EXPECT_EQ(tio.c_oflag & OPOST, 0u);
  EXPECT_EQ(tio.c_cc[VMIN], 1);
  EXPECT_EQ(tio.c_cc[VTIME], 0);
}

// A pseudo-terminal always runs eight bits without a parity bit, so data bits and the
// parity enable are checked on the composed settings; the rest is read back.
termios Composed(int32_t dataBits, int32_t parity) {
  PortConfig settings;
  settings.DataBits = dataBits;
  settings.Parity = parity;
  termios tio{};
  tio.c_cflag = CS8 | PARENB | CMSPAR;  // what a previous user may have left
  ComposeLineSettings(tio, settings);
  return tio;
}

TEST_F(LineSettings, DataBits) {
  const tcflag_t sizes[] = {CS5, CS6, CS7, CS8};
  for (int32_t index = 0; index < kDataBitsCount; ++index)
    EXPECT_EQ(Composed(index, 0).c_cflag & CSIZE, sizes[index]) << kDataBitsNames[index];
  EXPECT_EQ(Composed(7, 0).c_cflag & CSIZE, static_cast<tcflag_t>(CS8));  // any other: 8
  EXPECT_EQ(Open(8, 0, 0, 3, 0).c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
}

// What the driver refuses ends the open, except above 115000 bits per second, where the
// port runs with what the driver kept. Recent kernels refuse 6 and 7 bits on a
// pseudo-terminal; older ones keep 8 bits silently, and then both opens simply succeed.
TEST_F(LineSettings, RefusedSettingsFailOnlyAtLowRates) {
  uint32_t low = port.OpenDevice(pty.SlavePath(), LineConfig(8, 0, 0, 2, 0, 0));
  if (low == kOpenLineSettingsRefused) {
    EXPECT_FALSE(port.IsRunning());
    EXPECT_EQ(folder.LogCount("LINE SETTINGS  Invalid argument"), 1);
  } else {
    EXPECT_EQ(low, 0u);
  }
  EXPECT_EQ(port.OpenDevice(pty.SlavePath(), LineConfig(17, 0, 0, 2, 0, 0)), 0u);  // 230400
  EXPECT_TRUE(port.IsRunning());
  if (low == kOpenLineSettingsRefused) {
    EXPECT_EQ(folder.LogCount("(ignored at 230400 bits per second)"), 1);
  }
}

TEST_F(LineSettings, ParityIncludingMarkAndSpace) {
  struct Case {
    int32_t index;
    tcflag_t cflags;
  };
  const Case cases[] = {{0, 0},
                        {1, PARENB | PARODD},
                        {2, PARENB},
                        {3, PARENB | PARODD | CMSPAR},
                        {4, PARENB | CMSPAR}};
  for (const Case& c : cases) {
    termios composed = Composed(3, c.index);
    EXPECT_EQ(composed.c_cflag & (PARENB | PARODD | CMSPAR), c.cflags) << kParityNames[c.index];
    EXPECT_EQ((composed.c_iflag & INPCK) != 0, c.index != 0) << kParityNames[c.index];
    termios tio = Open(8, 0, c.index, 3, 0);
    EXPECT_EQ(tio.c_cflag & (PARODD | CMSPAR), c.cflags & (PARODD | CMSPAR))
        << kParityNames[c.index];
    EXPECT_EQ((tio.c_iflag & INPCK) != 0, c.index != 0) << kParityNames[c.index];
  }
  // An index outside the table leaves the parity as it was.
  EXPECT_EQ(Composed(3, 9).c_cflag & (PARENB | PARODD | CMSPAR),
            static_cast<tcflag_t>(PARENB | CMSPAR));
}

TEST_F(LineSettings, StopBitsWithOnePointFiveAsTwo) {
  EXPECT_FALSE(Open(8, 0, 0, 3, 0).c_cflag & CSTOPB);
  EXPECT_EQ(folder.LogCount("ONE POINT FIVE"), 0);
  EXPECT_TRUE(Open(8, 0, 0, 3, 2).c_cflag & CSTOPB);
  EXPECT_TRUE(Open(8, 0, 0, 3, 1).c_cflag & CSTOPB);
  EXPECT_EQ(folder.LogCount("ONE POINT FIVE stop bits cannot be set on this system: TWO are used"),
            1);
}

TEST_F(LineSettings, FlowControl) {
  termios tio = Open(8, kFlowCts, 0, 3, 0);
  EXPECT_TRUE(tio.c_cflag & CRTSCTS);
  // An RTS handshake limits only the input: not both directions, and said so.
  tio = Open(8, kFlowRts, 0, 3, 0);
  EXPECT_FALSE(tio.c_cflag & CRTSCTS);
  EXPECT_EQ(folder.LogCount("RTS handshake flow control cannot be set on this system"), 1);
  tio = Open(8, kFlowXonXoff, 0, 3, 0);
  EXPECT_FALSE(tio.c_cflag & CRTSCTS);
  EXPECT_EQ(tio.c_iflag & (IXON | IXOFF), static_cast<tcflag_t>(IXON | IXOFF));
  EXPECT_EQ(tio.c_cc[VSTART], 0x13);
  EXPECT_EQ(tio.c_cc[VSTOP], 0x19);
  // Flow control a previous user left on is turned off again.
  tio = Open(8, kFlowNone, 0, 3, 0);
  EXPECT_FALSE(tio.c_cflag & CRTSCTS);
  EXPECT_EQ(tio.c_iflag & (IXON | IXOFF), 0u);
  tio = Open(8, kFlowDsr, 0, 3, 0);
  EXPECT_FALSE(tio.c_cflag & CRTSCTS);
  EXPECT_EQ(folder.LogCount("DSR and DTR flow control cannot be set"), 1);
}

// The line really runs with what was read back: bytes flow both ways at a rate and frame
// the classic constants do not have.
TEST_F(LineSettings, BytesFlowAtAnExactRate) {
  PortRecorder recorder;
  port.SetCallback(recorder.Callback());
  Open(9, 0, 3, 2, 2);  // 28750, mark, 7 bits, 2 stop bits
  EXPECT_EQ(Rate(), 28750u);
  ASSERT_TRUE(port.Send("W", 1));
  EXPECT_EQ(pty.Read(1), "W");
  pty.Write("0001 \r");
  EXPECT_TRUE(recorder.WaitForReceived(6));
  port.Stop();  // before the recorder goes
}
}  // namespace
