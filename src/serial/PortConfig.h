#pragma once
// The port configuration record: which port reaches the unit and with which line
// settings, its index tables, and the file "Qm48Com.Cfg" that keeps it.
#include <cstdint>
#include <string>

// Settings are small indexes into the tables below.
struct PortConfig {
  int32_t PortNum = 0;           // 0..15: "COM1" .. "COM16"
  char PortName[32] = "COM1";    // informational; NUL-terminated, at most 10 characters kept
  int32_t BaudRate = 8;          // 0..20 into kBaudRates; 20 = "USERDEF"
  uint32_t UserDefBaudRate = 0;  // bits per second when BaudRate is 20
  int32_t FlowControl = 0;       // 0..5, see serialcomclass.h
  int32_t DataBits = 3;          // 0..3: 5, 6, 7, 8 bits
  int32_t Parity = 0;            // 0 none, 1 odd, 2 even, 3 mark, 4 space
  int32_t StopBits = 0;          // 0 one, 1 one and a half, 2 two
  uint8_t MonitorModem = 0;      // not stored in the file
  uint32_t MaxRxBufSize = 1;     // stored and written back only
  uint32_t MaxTxBufSize = 0;     // stored and written back only
};

constexpr int kPortCount = 16;
constexpr int kBaudRateCount = 21;
constexpr int kUserDefBaudIndex = 20;
constexpr int kFlowControlCount = 6;
constexpr int kDataBitsCount = 4;
constexpr int kParityCount = 5;
constexpr int kStopBitsCount = 3;
constexpr size_t kPortNameLength = 10;

// Display names in index order (the configuration dialog's lists).
extern const char* const kPortNames[kPortCount];          // "COM1" .. "COM16"
extern const char* const kBaudRateNames[kBaudRateCount];  // "110" .. "2500000", "USERDEF"
extern const char* const kParityNames[kParityCount];      // "NONE" .. "SPACE"
extern const char* const kDataBitsNames[kDataBitsCount];  // "FIVE" .. "EIGHT"
extern const char* const kStopBitsNames[kStopBitsCount];  // "ONE", "ONE POINT FIVE", "TWO"
// Bits per second of the 20 fixed baud indexes.
extern const uint32_t kBaudRates[kUserDefBaudIndex];

// The rate of a baud index: the table rate, the user-defined rate for "USERDEF", 0 for an
// index outside the table.
uint32_t BaudRateOf(int32_t baudIndex, uint32_t userDefBaudRate);
// Copies at most kPortNameLength characters of name into config.PortName.
void SetPortName(PortConfig& config, const std::string& name);

// Every field to its default except UserDefBaudRate, which keeps its value.
void DefaultPortConfig(PortConfig& config);

// "Qm48Com.Cfg" in the start directory.
extern const char* const kPortConfigFileName;
std::string PortConfigFilePath();

// Reads section "PortConfig" of the file into config. False (config unchanged) when the
// file or its "PortNum" is missing; missing keys leave their fields; indexes outside their
// tables fall back to the field's default (with a log line); the buffer sizes are raised
// to at least 32.
bool LoadPortConfig(PortConfig& config, const std::string& path = PortConfigFilePath());
// Writes the ten keys of section "PortConfig". The previous file is kept with ".BAK"
// appended and the file is replaced in one step, so a crash leaves the old or the new
// configuration, never none. Other sections of the file ("PortDevices") are kept.
bool SavePortConfig(const PortConfig& config, const std::string& path = PortConfigFilePath());

// The device of port index portNum (0-based): the entry "COM<n>" of section "PortDevices"
// of the configuration file when present, else "/dev/ttyS<n-1>". Empty for an index
// outside 0..15.
std::string PortDevicePath(int32_t portNum, const std::string& configPath = PortConfigFilePath());
