#include "serial/PortDeviceList.h"

#include <filesystem>

#include "support/ProfileStore.h"

namespace {
const char kDevicesSection[] = "PortDevices";
}

std::string ConfiguredPortDevice(int32_t portNum, const std::string& configPath) {
  if (portNum < 0 || portNum >= kPortCount || !PathExists(configPath)) return {};
  std::string device;
  if (!ReadProfileString(configPath, kDevicesSection, kPortNames[portNum], device)) return {};
  return device;
}

std::vector<SerialDevice> ListPortDevices(const std::string& configPath) {
  std::vector<SerialDevice> devices = EnumerateSerialDevices();
  if (!PathExists(configPath)) return devices;
  ProfileBatch batch(configPath);  // one read of the file for the sixteen names
  for (int32_t port = 0; port < kPortCount; ++port) {
    const std::string device = ConfiguredPortDevice(port, configPath);
    AddNamedSerialDevice(devices, device,
                         std::string(kPortNames[port]) + " in " + kPortConfigFileName);
  }
  return devices;
}

std::string PortDeviceLine(const std::string& devicePath) {
  if (devicePath.empty()) return {};
  std::error_code ec;
  const std::filesystem::path resolved = std::filesystem::canonical(devicePath, ec);
  if (ec) return "Device: " + devicePath + " (not present)";
  std::string line = "Device: " + devicePath;
  if (resolved != std::filesystem::path(devicePath)) line += " \u2192 " + resolved.string();
  return line + " (present)";
}
