#pragma once
// Brings a link's port back when its device returns: an adapter unplugged and
// plugged in again, the virtual unit's link made anew. While the port is open it learns the
// device's stable name (its /dev/serial/by-id link, or the configured link); once the port
// has lost its device, each poll looks for that name and, when a device is there, reopens
// the port with the configured line settings (a few tries, then the device must go and
// come again). A load that was running has already ended with its disconnected outcome
// and is never restarted; a port the operator closed is left closed.
#include <memory>
#include <string>

#include "serial/PortConfig.h"

class serialcomclass;
class UnitLink;

class PortReconnect {
 public:
  // Call on the GUI thread once a second or more often (the caption timer), always with
  // the same link. True when this call reopened its port.
  bool Poll(UnitLink& link, const PortConfig& config);
  // The device waited for; empty while nothing is lost.
  const std::string& Awaited() const { return awaited_; }

  // Reopen attempts on a device that is there but will not open (or fails again at once),
  // before it must go and come again.
  static constexpr int kOpenAttempts = 3;

 private:
  std::weak_ptr<serialcomclass> watched_;  // the port whose stable name is known
  std::string stablePath_;
  std::string awaited_;
  int attempts_ = 0;
};
