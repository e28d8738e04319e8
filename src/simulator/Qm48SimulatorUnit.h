#pragma once
// The simulator object: the one setup record, the file-level simulator values, the
// user wave tables and the transmit buffer the load sequence fills.
#include <array>
#include <cstdint>
#include <string>

#include "link/TransmitBuffer.h"
#include "simulator/SimSetupData.h"

class progsimulatorclass {
 public:
  progsimulatorclass();

  // Fills TxBuffer with the whole load sequence of the current setup.
  void Prep232SimSetupData();

  // Word attribute work table, rebuilt at every load: 16384 words x 4 attribute words.
  std::array<std::array<uint16_t, 4>, 16384> WordAttributes{};
  int32_t FileVersion = 2;
  SimSetupData Setup;
  UserWaveTables UserWaves{};
  std::array<std::string, kNumDynamicWords> UserDefDynWordFn;
  bool DoCrc16 = false;
  bool DoCttit = false;
  int32_t CrcWdNum = -1;  // 0-based CRC word index, -1: no CRC
  TransmitBuffer TxBuffer;
};
