// qm48ctl ports: the serial devices of this machine by name, and whether this user may
// open each one.
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "cli/JsonText.h"
#include "platform/SerialDevices.h"
#include "serial/PortDeviceList.h"
#include "serial/PortErrorHint.h"

namespace {

void PrintText(const std::vector<SerialDevice>& devices) {
  if (devices.empty()) std::cerr << "qm48ctl: ports: no serial devices found\n";
  for (const SerialDevice& d : devices) {
    std::string line = DescribeSerialDevice(d);
    if (d.stablePath != d.node) line += "  stable " + d.stablePath;
    if (!d.driver.empty()) line += "  driver " + d.driver;
    line += MayOpenDevice(d.node) ? "  may open" : "  may not open: " + PermissionHint(d.node);
    std::printf("%s\n", line.c_str());
  }
}

void PrintJson(const std::vector<SerialDevice>& devices) {
  std::string out = "[";
  for (size_t i = 0; i < devices.size(); ++i) {
    const SerialDevice& d = devices[i];
    auto field = [&](const char* key, const std::string& value) {
      out += std::string(", ") + JsonString(key) + ": " + JsonString(value);
    };
    out += i ? ",\n {" : "{";
    out += JsonString("node") + ": " + JsonString(d.node);
    field("stable_path", d.stablePath);
    field("description", DescribeSerialDevice(d));
    field("driver", d.driver);
    field("vendor", d.vendor);
    field("product", d.product);
    field("serial", d.serial);
    field("usb_ids", d.usbIds);
    field("named_by", d.namedBy);
    field("group", DeviceGroup(d.node));
    out += std::string(", ") + JsonString("may_open") + ": " +
           (MayOpenDevice(d.node) ? "true" : "false") + "}";
  }
  out += "]\n";
  std::fputs(out.c_str(), stdout);
}

}  // namespace

int RunPortsCommand(const std::vector<std::string>& args) {
  bool json = false;
  for (const std::string& arg : args) {
    if (arg != "--json") {
      std::cerr << "usage: qm48ctl ports [--json]\n";
      return 2;
    }
    json = true;
  }
  // The devices "Qm48Com.Cfg" in the current directory names are listed too.
  const std::vector<SerialDevice> devices = ListPortDevices("Qm48Com.Cfg");
  if (json)
    PrintJson(devices);
  else
    PrintText(devices);
  return 0;
}
