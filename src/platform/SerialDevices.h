#pragma once
// The serial devices of this machine, by name: what the system's device database (udev)
// knows of each, or, where udev is not running (containers, CI), what /sys and /dev show.
// Phantom on-board ports (a ttyS with no UART behind it) are left out.
#include <string>
#include <vector>

struct SerialDevice {
  std::string node;        // "/dev/ttyUSB0"
  std::string stablePath;  // "/dev/serial/by-id/usb-FTDI_..." where one exists, else node
  std::string driver;      // "ftdi_sio", "serial8250", "cdc_acm"; empty when unknown
  // USB adapters only (empty otherwise).
  std::string vendor;   // "FTDI"
  std::string product;  // "FT232R USB UART"
  std::string serial;   // "A50285BI"
  std::string usbIds;   // "0403:6001"
  std::string namedBy;  // not in the database: who names it (e.g. "COM1 in Qm48Com.Cfg")
};

// Where the system's trees are; tests point both at a small fake tree.
struct DeviceTree {
  std::string sys = "/sys";
  std::string dev = "/dev";
};

// "FT232R USB UART (FTDI, serial A50285BI)  /dev/ttyUSB0"; "ttyS0 (serial8250)  /dev/ttyS0";
// a named device: "COM1 in Qm48Com.Cfg  /tmp/qm48-link".
std::string DescribeSerialDevice(const SerialDevice& device);

// True when udev's database can be asked (its daemon runs).
bool UdevRunning();

// Every serial device, sorted by node: through udev when it runs, else from the tree.
std::vector<SerialDevice> EnumerateSerialDevices();
// The same from /sys/class/tty and /dev/serial/by-id alone (the fallback; tests use it).
std::vector<SerialDevice> EnumerateSerialDevicesInTree(const DeviceTree& tree);

// The name that follows a device across a re-plug: a path that is itself a link (a by-id
// name, the virtual unit's link) is kept; a plain node gets its /dev/serial/by-id name
// when it has one; otherwise the path as given.
std::string StablePathFor(const std::string& path, const DeviceTree& tree = {});

// The listed device that `path` names (its node, its stable path, or a link to either);
// null when none. Matches a returning adapter that came back under another node.
const SerialDevice* FindSerialDevice(const std::vector<SerialDevice>& devices,
                                     const std::string& path);

// Adds a device the program's configuration names but the database does not list (the
// virtual unit's link, a device on another driver): only when it exists now and is not
// listed already.
void AddNamedSerialDevice(std::vector<SerialDevice>& devices, const std::string& path,
                          const std::string& namedBy);

// Whether this user may open the device for reading and writing now.
bool MayOpenDevice(const std::string& path);
// The group that owns the device ("dialout"); empty when it cannot be looked up.
std::string DeviceGroup(const std::string& path);
