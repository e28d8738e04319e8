#pragma once
// USB serial adapters hold received bytes for their latency timer (16 ms on the common
// chips) before passing them on; with one short reply per command that timer, not the
// line, sets the pace of a load. On open the port asks for low-latency mode and lowers the
// adapter's timer where it may, and says what it did.
#include <string>

#include "platform/SerialDevices.h"

// The adapter's latency timer (sysfs "latency_timer" beside the tty's device).
struct LatencyTimer {
  bool present = false;
  int beforeMs = 0;
  int afterMs = 0;
  int error = 0;  // errno of a refused lowering (EACCES: only root may write it)
};
// Reads the timer file and lowers it to 1 ms when it is higher.
LatencyTimer LowerLatencyTimer(const std::string& file);

enum class LowLatencyMode {
  Set,         // asked for and granted
  AlreadyOn,   // the driver had it on
  NotOffered,  // the driver has no such setting (a pseudo-terminal, a virtual port)
  Refused,     // the driver said no
};
struct LowLatencyReport {
  LowLatencyMode mode = LowLatencyMode::NotOffered;
  int error = 0;  // errno of a refusal
  LatencyTimer timer;
  std::string text;  // the log line
};

// The log line for a report on devicePath; timerFile is the timer's sysfs file.
std::string LowLatencyText(const std::string& devicePath, const LowLatencyReport& report,
                           const std::string& timerFile);

// Asks the driver of the open terminal fd for low-latency mode (TIOCGSERIAL/TIOCSSERIAL,
// ASYNC_LOW_LATENCY), then lowers the adapter's latency timer found in tree.sys. Neither
// a missing setting nor a refusal stops the open.
LowLatencyReport ApplyLowLatency(int fd, const std::string& devicePath,
                                 const DeviceTree& tree = {});
// ApplyLowLatency, with its line written to the program log.
void ApplyAndLogLowLatency(int fd, const std::string& devicePath);
