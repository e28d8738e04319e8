#include "platform/SerialDeviceMonitor.h"

#include <libudev.h>

#include "platform/SerialDevices.h"

SerialDeviceMonitor::SerialDeviceMonitor() {
  // Without the daemon no event ever comes: the caller's own rescan is the only way then.
  if (!UdevRunning()) return;
  udev_ = udev_new();
  if (!udev_) return;
  monitor_ = udev_monitor_new_from_netlink(udev_, "udev");
  if (!monitor_ || udev_monitor_filter_add_match_subsystem_devtype(monitor_, "tty", nullptr) < 0 ||
      udev_monitor_enable_receiving(monitor_) < 0)
    return;
  fd_ = udev_monitor_get_fd(monitor_);  // non-blocking and close-on-exec
}

SerialDeviceMonitor::~SerialDeviceMonitor() {
  if (monitor_) udev_monitor_unref(monitor_);
  if (udev_) udev_unref(udev_);
}

bool SerialDeviceMonitor::Drain() {
  bool any = false;
  while (monitor_ && fd_ >= 0) {
    udev_device* device = udev_monitor_receive_device(monitor_);
    if (!device) break;
    any = true;
    udev_device_unref(device);
  }
  return any;
}
