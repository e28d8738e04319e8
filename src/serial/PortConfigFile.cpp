#include <string>

#include "platform/StartDirectory.h"
#include "serial/PortConfig.h"
#include "serial/PortDeviceList.h"
#include "support/ProfileStore.h"
#include "support/ProgramLog.h"

const char* const kPortConfigFileName = "Qm48Com.Cfg";

namespace {
const char kSection[] = "PortConfig";
const char kDevicesSection[] = "PortDevices";
constexpr uint32_t kSmallestBuffer = 32;

// Reads an index key; a value outside 0..count-1 becomes the field's default, so the port
// tables are never read outside their bounds.
void ReadIndex(const std::string& path, const char* key, int32_t count, int32_t fallback,
               int32_t& field) {
  int32_t value = 0;
  if (!ReadProfileInt(path, kSection, key, value)) return;
  if (value < 0 || value >= count) {
    LogInfo(std::string(kPortConfigFileName) + ": " + key + " " + std::to_string(value) +
                " is outside its table, using " + std::to_string(fallback),
            value, false);
    value = fallback;
  }
  field = value;
}
}  // namespace

std::string PortConfigFilePath() {
  return StartDirectory() + "/" + kPortConfigFileName;
}

bool LoadPortConfig(PortConfig& config, const std::string& path) {
  if (!PathExists(path)) return false;
  ProfileBatch batch(path);  // one read of the file for all keys
  const PortConfig defaults;
  PortConfig read = config;
  if (!ReadProfileInt(path, kSection, "PortNum", read.PortNum)) return false;
  if (read.PortNum < 0 || read.PortNum >= kPortCount) {
    LogInfo(std::string(kPortConfigFileName) + ": PortNum " + std::to_string(read.PortNum) +
                " is outside its table, using 0",
            read.PortNum, false);
    read.PortNum = defaults.PortNum;
  }

  std::string name;
  ReadProfileString(path, kSection, "PortName", name);  // missing: empty
  SetPortName(read, name);

  ReadIndex(path, "BaudRate", kBaudRateCount, defaults.BaudRate, read.BaudRate);
  int32_t userRate = 0;  // kept as an int key; a negative text is no rate
  if (ReadProfileInt(path, kSection, "UserDefBaudRate", userRate) && userRate >= 0)
    read.UserDefBaudRate = static_cast<uint32_t>(userRate);
  ReadIndex(path, "FlowControl", kFlowControlCount, defaults.FlowControl, read.FlowControl);
  ReadIndex(path, "DataBits", kDataBitsCount, defaults.DataBits, read.DataBits);
  ReadIndex(path, "Parity", kParityCount, defaults.Parity, read.Parity);
  ReadIndex(path, "StopBits", kStopBitsCount, defaults.StopBits, read.StopBits);
  ReadProfileUInt(path, kSection, "MaxRxBufSize", 10, read.MaxRxBufSize);
  ReadProfileUInt(path, kSection, "MaxTxBufSize", 10, read.MaxTxBufSize);
  if (read.MaxRxBufSize < kSmallestBuffer) read.MaxRxBufSize = kSmallestBuffer;
  if (read.MaxTxBufSize < kSmallestBuffer) read.MaxTxBufSize = kSmallestBuffer;
  config = read;
  return true;
}

bool SavePortConfig(const PortConfig& config, const std::string& path) {
  return SavePortConfig(config, PortDeviceChoices{}, path);
}

bool SavePortConfig(const PortConfig& config, const PortDeviceChoices& devices,
                    const std::string& path) {
  BackupProfileFile(path);
  // One batch: the file is replaced as a whole, only once every key is in place.
  ProfileBatch batch(path);
  WriteProfileInt(path, kSection, "PortNum", config.PortNum);
  WriteProfileString(path, kSection, "PortName", std::string(config.PortName));
  WriteProfileInt(path, kSection, "BaudRate", config.BaudRate);
  WriteProfileInt(path, kSection, "UserDefBaudRate", static_cast<int32_t>(config.UserDefBaudRate));
  WriteProfileInt(path, kSection, "FlowControl", config.FlowControl);
  WriteProfileInt(path, kSection, "DataBits", config.DataBits);
  WriteProfileInt(path, kSection, "Parity", config.Parity);
  WriteProfileInt(path, kSection, "StopBits", config.StopBits);
  WriteProfileUInt(path, kSection, "MaxRxBufSize", 10, config.MaxRxBufSize);
  WriteProfileUInt(path, kSection, "MaxTxBufSize", 10, config.MaxTxBufSize);
  for (const auto& [port, device] : devices)
    if (port >= 0 && port < kPortCount && !device.empty())
      WriteProfileString(path, kDevicesSection, kPortNames[port], device);
  return batch.End();
}

std::string PortDevicePath(int32_t portNum, const std::string& configPath) {
  if (portNum < 0 || portNum >= kPortCount) return {};
  std::string device;
  if (PathExists(configPath) &&
      ReadProfileString(configPath, kDevicesSection, kPortNames[portNum], device) &&
      !device.empty())
    return device;
  return "/dev/ttyS" + std::to_string(portNum);
}
