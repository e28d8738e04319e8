// Every line setting read back from the pseudo-terminal, or composed where it keeps 8N.
#include "serial/LineSettings.h"

#include <termios.h>

#include "serial/ExactBaudRate.h"
#include "serial/SerialTestKit.h"

namespace {

class LineSettings : public testing::Test {
 protected:
  termios Open(const PortConfig& config) {
    EXPECT_EQ(port.OpenDevice(pty.SlavePath(), config), 0u);
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

TEST_F(LineSettings, EveryRateIsSetExactly) {
  for (int32_t index = 0; index < kUserDefBaudIndex; ++index) {
    Open({.BaudRate = index});
    EXPECT_EQ(Rate(), kBaudRates[index]) << kBaudRateNames[index];
  }
  Open({.BaudRate = kUserDefBaudIndex, .UserDefBaudRate = 31250});
  EXPECT_EQ(Rate(), 31250u);
  EXPECT_EQ(folder.LogCount("instead of"), 0);
  for (int32_t index : {kUserDefBaudIndex, 21, -1})  // no rate: refused, the device left free
    EXPECT_EQ(port.OpenDevice(pty.SlavePath(), {.BaudRate = index}), kOpenLineSettingsRefused);
  EXPECT_FALSE(port.IsRunning());
  EXPECT_EQ(folder.LogCount("no line rate for baud index"), 3);
}

TEST_F(LineSettings, StopBitsAndFlowControlThenARawLineWithoutThem) {
  const std::tuple<PortConfig, tcflag_t, const char*> cases[] = {
      {{.StopBits = 2}, CSTOPB, nullptr},
      {{}, 0, nullptr},  // what a previous user left is cleared
      {{.StopBits = 1}, CSTOPB, "ONE POINT FIVE stop bits cannot be set on this system"},
      {{.FlowControl = kFlowCts}, CRTSCTS, nullptr},
      {{.FlowControl = kFlowRts}, 0, "RTS handshake flow control cannot be set"},  // input only
      {{.FlowControl = kFlowDsr}, 0, "DSR and DTR flow control cannot be set on this system"},
  };
  for (const auto& [config, cflag, logged] : cases) {
    EXPECT_EQ(Open(config).c_cflag & (CSTOPB | CRTSCTS), cflag) << config.StopBits;
    EXPECT_TRUE(!logged || folder.LogCount(logged) == 1) << logged;
  }
  termios tio = Open({.FlowControl = kFlowXonXoff});
  EXPECT_FALSE(tio.c_cflag & CRTSCTS);
  EXPECT_EQ(tio.c_iflag & (IXON | IXOFF), static_cast<tcflag_t>(IXON | IXOFF));
  EXPECT_EQ(std::pair(tio.c_cc[VSTART], tio.c_cc[VSTOP]), std::pair(cc_t{0x13}, cc_t{0x19}));
  tio = Open({});  // flow control a previous user left on is turned off
  EXPECT_EQ(tio.c_cflag & (CSIZE | PARENB | CSTOPB | CRTSCTS | CREAD | CLOCAL),
            static_cast<tcflag_t>(CS8 | CREAD | CLOCAL));
  EXPECT_EQ(tio.c_lflag & (ICANON | ECHO | ISIG | IEXTEN), 0u);
  EXPECT_EQ(tio.c_iflag & (ICRNL | INLCR | IGNCR | ISTRIP | IXON | IXOFF | INPCK), 0u);
  EXPECT_EQ(tio.c_oflag & OPOST, 0u);
  EXPECT_EQ(std::pair(tio.c_cc[VMIN], tio.c_cc[VTIME]), std::pair(cc_t{1}, cc_t{0}));
}

TEST_F(LineSettings, DataBitsAndParity) {
  auto composed = [](int32_t dataBits, int32_t parity) {
    termios tio{};
    tio.c_cflag = CS8 | PARENB | CMSPAR;  // what a previous user may have left
    ComposeLineSettings(tio, {.DataBits = dataBits, .Parity = parity});
    return tio;
  };
  const tcflag_t sizes[] = {CS5, CS6, CS7, CS8, CS8};  // any other: 8
  for (int32_t index : {0, 1, 2, 3, 7})
    EXPECT_EQ(composed(index, 0).c_cflag & CSIZE, sizes[std::min(index, 4)]);
  // None, odd, even, mark, space; outside the table: as it was.
  const tcflag_t parity[] = {
      0, PARENB | PARODD, PARENB, PARENB | PARODD | CMSPAR, PARENB | CMSPAR, PARENB | CMSPAR};
  for (int32_t index : {0, 1, 2, 3, 4, 9}) {
    const termios tio = composed(3, index);
    EXPECT_EQ(tio.c_cflag & (PARENB | PARODD | CMSPAR), parity[std::min(index, 5)]) << index;
    if (index > 4) continue;
    EXPECT_EQ((tio.c_iflag & INPCK) != 0, index != 0) << index;
    const termios open = Open({.Parity = index});
    EXPECT_EQ(open.c_cflag & (PARODD | CMSPAR), parity[index] & (PARODD | CMSPAR)) << index;
    EXPECT_EQ((open.c_iflag & INPCK) != 0, index != 0) << index;
  }
}

}  // namespace
