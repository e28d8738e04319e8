#include "serial/PortConfig.h"

#include <algorithm>
#include <cstring>

const char* const kPortNames[kPortCount] = {"COM1",  "COM2",  "COM3",  "COM4",  "COM5",  "COM6",
                                            "COM7",  "COM8",  "COM9",  "COM10", "COM11", "COM12",
                                            "COM13", "COM14", "COM15", "COM16"};
const char* const kBaudRateNames[kBaudRateCount] = {
    "110",   "300",    "600",    "1200",   "2400",   "4800",    "9600",
    "14400", "19200",  "28750",  "28800",  "38400",  "56000",   "57600",
    "58500", "115200", "128000", "230400", "256000", "2500000", "USERDEF"};
const char* const kParityNames[kParityCount] = {"NONE", "ODD", "EVEN", "MARK", "SPACE"};
const char* const kDataBitsNames[kDataBitsCount] = {"FIVE", "SIX", "SEVEN", "EIGHT"};
const char* const kStopBitsNames[kStopBitsCount] = {"ONE", "ONE POINT FIVE", "TWO"};
const uint32_t kBaudRates[kUserDefBaudIndex] = {
    110,   300,   600,   1200,  2400,  4800,   9600,   14400,  19200,  28750,
    28800, 38400, 56000, 57600, 58500, 115200, 128000, 230400, 256000, 2500000};

uint32_t BaudRateOf(int32_t baudIndex, uint32_t userDefBaudRate) {
  if (baudIndex == kUserDefBaudIndex) return userDefBaudRate;
  if (baudIndex < 0 || baudIndex >= kUserDefBaudIndex) return 0;
  return kBaudRates[baudIndex];
}

void SetPortName(PortConfig& config, const std::string& name) {
  size_t n = std::min(name.size(), kPortNameLength);
  std::memset(config.PortName, 0, sizeof config.PortName);
  std::memcpy(config.PortName, name.data(), n);
}

void DefaultPortConfig(PortConfig& config) {
  PortConfig defaults;
  defaults.UserDefBaudRate = config.UserDefBaudRate;
  config = defaults;
}
