#pragma once
// The serial devices an operator may choose for a port: what the system lists, plus the
// devices "Qm48Com.Cfg" names in its section PortDevices (the virtual unit's link, say).
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/SerialDevices.h"
#include "serial/PortConfig.h"

// The devices of this machine and those the configuration file names, found devices first.
std::vector<SerialDevice> ListPortDevices(const std::string& configPath = PortConfigFilePath());

// The PortDevices entry for port index portNum ("COM<n>"); empty when there is none.
std::string ConfiguredPortDevice(int32_t portNum,
                                 const std::string& configPath = PortConfigFilePath());

// Devices chosen in the port dialog: port index → device path, stored in PortDevices.
using PortDeviceChoices = std::map<int32_t, std::string>;
// SavePortConfig that also stores each chosen device under its port's name in PortDevices,
// in the same atomic replace (one ".BAK" of the file as it was before).
bool SavePortConfig(const PortConfig& config, const PortDeviceChoices& devices,
                    const std::string& path = PortConfigFilePath());

// Where a port name leads, for the dialog's "Device:" line: "Device: /dev/serial/by-id/X
// → /dev/ttyUSB0 (present)", "Device: /dev/ttyS3 (not present)".
std::string PortDeviceLine(const std::string& devicePath);
