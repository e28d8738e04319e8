#include "app/PortReconnect.h"

#include <sys/stat.h>

#include "link/UnitLink.h"
#include "platform/SerialDevices.h"
#include "support/ProgramLog.h"

namespace {

bool DevicePresent(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISCHR(st.st_mode);
}

}  // namespace

bool PortReconnect::Poll(UnitLink& link, const PortConfig& config) {
  std::shared_ptr<serialcomclass> port = link.Port();
  if (!port) {  // closed on purpose, or never opened: nothing to bring back
    watched_.reset();
    awaited_.clear();
    return false;
  }
  if (watched_.lock() != port) {
    // Learnt while the port runs as a rule; a port lost before the first poll is known by
    // the path it was opened with (a by-id link or the virtual unit's link still is stable).
    watched_ = port;
    stablePath_ = StablePathFor(port->DevicePath());
    awaited_.clear();
  }
  if (port->IsRunning()) {
    awaited_.clear();
    attempts_ = 0;  // it stayed up: a later loss starts afresh
    return false;
  }
  if (stablePath_.empty()) return false;
  if (awaited_.empty()) {
    awaited_ = stablePath_;
    LogText("The port lost its device " + awaited_ + ": it is reopened when the device comes back",
            0);
  }
  if (!DevicePresent(awaited_)) {
    attempts_ = 0;
    return false;
  }
  // A node still there may be the dead one (its driver has not let go yet) or the device
  // back already: a few tries tell, then it must go and come again.
  if (attempts_ >= kOpenAttempts) return false;
  ++attempts_;
  const std::string path = awaited_;
  if (!link.Open(config, path)) return false;  // the open logged why
  awaited_.clear();
  LogText("The port's device " + path + " is back: port reopened", 0);
  return true;
}
