#include "app/PortReconnect.h"

#include <sys/stat.h>

#include "platform/SerialDevices.h"
#include "serial/ApplicationPort.h"
#include "support/ProgramLog.h"

namespace {

bool DevicePresent(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISCHR(st.st_mode);
}

}  // namespace

bool PortReconnect::Poll(const PortConfig& config) {
  std::shared_ptr<serialcomclass> port = ComPort();
  if (!port) {  // closed on purpose, or never opened: nothing to bring back
    watched_.reset();
    awaited_.clear();
    return false;
  }
  if (port->IsRunning()) {
    if (watched_.lock() != port) {
      watched_ = port;
      stablePath_ = StablePathFor(port->DevicePath());
    }
    awaited_.clear();
    return false;
  }
  if (stablePath_.empty() || watched_.lock() != port) return false;  // lost before it was known
  if (awaited_.empty()) {
    awaited_ = stablePath_;
    seenGone_ = false;
    attempts_ = 0;
    LogText("The port's device " + awaited_ + " is gone: it is reopened when it comes back", 0);
  }
  if (!DevicePresent(awaited_)) {
    seenGone_ = true;
    attempts_ = 0;
    return false;
  }
  // A port that failed with its device still there is the operator's to reopen.
  if (!seenGone_ || attempts_ >= kOpenAttempts) return false;
  ++attempts_;
  const std::string device = awaited_;
  if (!OpenApplicationPort(config, device)) return false;  // the open logged why
  awaited_.clear();
  LogText("The port's device " + device + " is back: port reopened", 0);
  return true;
}
