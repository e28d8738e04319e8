#include "serial/LowLatency.h"

#include <linux/serial.h>
#include <sys/ioctl.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "platform/SystemErrorText.h"
#include "support/ProgramLog.h"

namespace {

bool ReadTimer(const std::string& file, int& ms) {
  std::ifstream in(file);
  return static_cast<bool>(in >> ms);
}

}  // namespace

LatencyTimer LowerLatencyTimer(const std::string& file) {
  LatencyTimer timer;
  if (!ReadTimer(file, timer.beforeMs)) return timer;
  timer.present = true;
  timer.afterMs = timer.beforeMs;
  if (timer.beforeMs <= 1) return timer;
  // Written with one write(2): sysfs takes the value as a whole or refuses it.
  FILE* out = std::fopen(file.c_str(), "w");
  if (!out) {
    timer.error = errno;
    return timer;
  }
  const bool written = std::fputs("1", out) >= 0;
  const int closed = std::fclose(out);
  if (!written || closed != 0) {
    timer.error = errno ? errno : EIO;
    return timer;
  }
  ReadTimer(file, timer.afterMs);
  return timer;
}

std::string LowLatencyText(const std::string& devicePath, const LowLatencyReport& report,
                           const std::string& timerFile) {
  std::string text = devicePath + ": ";
  switch (report.mode) {
    case LowLatencyMode::Set:
      text += "low-latency mode on";
      break;
    case LowLatencyMode::AlreadyOn:
      text += "low-latency mode already on";
      break;
    case LowLatencyMode::NotOffered:
      text += "no low-latency setting (not a hardware serial port)";
      break;
    case LowLatencyMode::Refused:
      text += "low-latency mode refused: " + SystemErrorText(report.error);
      break;
  }
  const LatencyTimer& t = report.timer;
  if (!t.present) return text;
  text += "; latency timer ";
  if (t.error != 0) {
    text += std::to_string(t.beforeMs) + " ms, ";
    text += t.error == EACCES || t.error == EPERM
                ? "only root may lower it"
                : "it could not be lowered (" + SystemErrorText(t.error) + ")";
    text += ": echo 1 | sudo tee " + timerFile;
  } else if (t.afterMs != t.beforeMs) {
    text += std::to_string(t.beforeMs) + " ms, now " + std::to_string(t.afterMs) + " ms";
  } else {
    text += std::to_string(t.afterMs) + " ms";
  }
  return text;
}

LowLatencyReport ApplyLowLatency(int fd, const std::string& devicePath, const DeviceTree& tree) {
  LowLatencyReport report;
  serial_struct info{};
  if (::ioctl(fd, TIOCGSERIAL, &info) != 0) {
    report.mode = LowLatencyMode::NotOffered;
  } else if (info.flags & ASYNC_LOW_LATENCY) {
    report.mode = LowLatencyMode::AlreadyOn;
  } else {
    info.flags |= ASYNC_LOW_LATENCY;
    if (::ioctl(fd, TIOCSSERIAL, &info) == 0) {
      report.mode = LowLatencyMode::Set;
    } else {
      report.mode = LowLatencyMode::Refused;
      report.error = errno;
    }
  }
  // Some drivers lower the timer themselves with low-latency mode: read it afterwards.
  std::error_code ec;
  const std::string name = std::filesystem::canonical(devicePath, ec).filename().string();
  const std::string timerFile = tree.sys + "/class/tty/" + name + "/device/latency_timer";
  if (!ec && !name.empty()) report.timer = LowerLatencyTimer(timerFile);
  report.text = LowLatencyText(devicePath, report, timerFile);
  return report;
}

void ApplyAndLogLowLatency(int fd, const std::string& devicePath) {
  LogText(ApplyLowLatency(fd, devicePath).text, 0);
}
