#include "serial/LineSettings.h"

#include <cerrno>
#include <string>

#include "platform/SystemErrorText.h"
#include "serial/ExactBaudRate.h"
#include "serial/serialcomclass.h"
#include "support/ProgramLog.h"

namespace {
// Refusals above this rate are ignored: drivers that cannot reach a high rate exactly
// still run the link at what they could set.
constexpr uint32_t kHighRateBound = 115000;
constexpr cc_t kXonChar = 0x13;   // the unit's XON ...
constexpr cc_t kXoffChar = 0x19;  // ... and XOFF

// The classic constant of a rate, or B0 when it has none.
speed_t ClassicSpeed(uint32_t rate) {
  switch (rate) {
    case 110:
      return B110;
    case 300:
      return B300;
    case 600:
      return B600;
    case 1200:
      return B1200;
    case 2400:
      return B2400;
    case 4800:
      return B4800;
    case 9600:
      return B9600;
    case 19200:
      return B19200;
    case 38400:
      return B38400;
    case 57600:
      return B57600;
    case 115200:
      return B115200;
    case 230400:
      return B230400;
    case 2500000:
      return B2500000;
    default:
      return B0;
  }
}

void MakeRaw(termios& tio) {
  tio.c_iflag &= ~static_cast<tcflag_t>(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL |
                                        IXON | IXOFF | IXANY | IMAXBEL);
  tio.c_oflag &= ~static_cast<tcflag_t>(OPOST);
  tio.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
  tio.c_cflag |= CREAD | CLOCAL;
  tio.c_cc[VMIN] = 1;
  tio.c_cc[VTIME] = 0;
}

void SetDataBits(termios& tio, int32_t index) {
  static const tcflag_t kSizes[kDataBitsCount] = {CS5, CS6, CS7, CS8};
  tio.c_cflag &= ~static_cast<tcflag_t>(CSIZE);
  tio.c_cflag |= index >= 0 && index < kDataBitsCount ? kSizes[index] : CS8;
}

void SetParity(termios& tio, int32_t index) {
  if (index < 0 || index >= kParityCount) return;  // left as the device had it
  tio.c_cflag &= ~static_cast<tcflag_t>(PARENB | PARODD | CMSPAR);
  tio.c_iflag &= ~static_cast<tcflag_t>(INPCK);
  if (index == 0) return;
  tio.c_iflag |= INPCK;
  tio.c_cflag |= PARENB;
  if (index == 1 || index == 3) tio.c_cflag |= PARODD;  // odd; mark is "sticky odd"
  if (index >= 3) tio.c_cflag |= CMSPAR;                // mark, space
}

void SetStopBits(termios& tio, int32_t index) {
  if (index == 0) tio.c_cflag &= ~static_cast<tcflag_t>(CSTOPB);
  if (index == 1)
    LogInfo("ONE POINT FIVE stop bits cannot be set on this system: TWO are used", 1, false);
  if (index == 1 || index == 2) tio.c_cflag |= CSTOPB;
}

void SetFlowControl(termios& tio, int32_t index) {
  tio.c_cflag &= ~static_cast<tcflag_t>(CRTSCTS);
  tio.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF);
  switch (index) {
    case kFlowCts:
      tio.c_cflag |= CRTSCTS;
      break;
    case kFlowRts:
      // An RTS handshake throttles only what we receive; Linux has no such mode, and
      // CRTSCTS would also stop our output whenever the unit leaves CTS low. The driver
      // raises RTS on open and keeps it up, which is what the unit sees when we have room.
      LogInfo(
          "RTS handshake flow control cannot be set on this system: RTS stays on and no "
          "flow control is used",
          index, false);
      break;
    case kFlowXonXoff:
      tio.c_iflag |= IXON | IXOFF;
      tio.c_cc[VSTART] = kXonChar;
      tio.c_cc[VSTOP] = kXoffChar;
      break;
    case kFlowDsr:
    case kFlowDtr:
      LogInfo("DSR and DTR flow control cannot be set on this system: no flow control is used",
              index, false);
      break;
    default:
      break;
  }
}

uint32_t Refused(const std::string& what, int error, uint32_t rate) {
  std::string text = what + "  " + SystemErrorText(error);
  if (rate > kHighRateBound) {
    LogInfo(text + " (ignored at " + std::to_string(rate) + " bits per second)", 0, false);
    return 0;
  }
  LogError(text, 0, false);
  return kOpenLineSettingsRefused;
}
}  // namespace

void ComposeLineSettings(termios& tio, const PortConfig& settings) {
  MakeRaw(tio);
  SetDataBits(tio, settings.DataBits);
  SetParity(tio, settings.Parity);
  SetStopBits(tio, settings.StopBits);
  SetFlowControl(tio, settings.FlowControl);
}

uint32_t ApplyLineSettings(int fd, const PortConfig& settings) {
  termios tio{};
  if (tcgetattr(fd, &tio) != 0) {
    LogError("LINE SETTINGS  " + SystemErrorText(errno), 0, false);
    return kOpenDeviceFailed;  // not a terminal that can be set up at all
  }
  uint32_t rate = BaudRateOf(settings.BaudRate, settings.UserDefBaudRate);
  if (rate == 0) {
    LogError("LINE SETTINGS  no line rate for baud index " + std::to_string(settings.BaudRate), 0,
             false);
    return kOpenLineSettingsRefused;
  }
  ComposeLineSettings(tio, settings);
  // An exact rate set earlier leaves its mark in the input rate bits; the classic
  // constants below must not inherit it.
  tio.c_cflag &= ~static_cast<tcflag_t>(CIBAUD);
  speed_t classic = ClassicSpeed(rate);
  // A rate without a constant is set exactly afterwards; 38400 holds its place until then.
  cfsetispeed(&tio, classic != B0 ? classic : B38400);
  cfsetospeed(&tio, classic != B0 ? classic : B38400);
  if (tcsetattr(fd, TCSANOW, &tio) != 0) return Refused("LINE SETTINGS", errno, rate);
  if (classic == B0 && !SetExactBaudRate(fd, rate)) return Refused("LINE RATE", errno, rate);
  uint32_t inRate = 0, outRate = 0;
  if (GetExactBaudRate(fd, inRate, outRate) && outRate != rate)
    LogInfo("The device runs at " + std::to_string(outRate) + " bits per second instead of " +
                std::to_string(rate),
            0, false);
  return 0;
}
