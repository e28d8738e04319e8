#pragma once
// Tells when a serial device is plugged in or out: a descriptor that becomes readable on
// every tty event of udev. Where udev does not run there is none (Fd() is -1) and the
// caller looks again now and then instead.
struct udev;
struct udev_monitor;

class SerialDeviceMonitor {
 public:
  SerialDeviceMonitor();
  ~SerialDeviceMonitor();
  SerialDeviceMonitor(const SerialDeviceMonitor&) = delete;
  SerialDeviceMonitor& operator=(const SerialDeviceMonitor&) = delete;

  // Readable when events are waiting; -1 without udev.
  int Fd() const { return fd_; }
  // Takes the waiting events; true when at least one was there.
  bool Drain();

 private:
  udev* udev_ = nullptr;
  udev_monitor* monitor_ = nullptr;
  int fd_ = -1;
};
