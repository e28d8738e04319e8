#pragma once
// The simulator object: the one setup record, the file-level simulator values, the
// user wave tables and the transmit buffer the load sequence fills.
#include <array>
#include <cstdint>
#include <string>

#include "link/Qm48SendDataUnit.h"
#include "link/TransmitBuffer.h"
#include "simulator/MemoryImages.h"
#include "simulator/SimSetupData.h"

// The format a load files the setup under in the unit: its number 0..3 and its name (the
// unit keeps 8 characters). The caller hands down the operator's selection.
class UnitLink;

struct SimLoadFormat {
  int32_t Number = 0;
  std::string Name;
};

class progsimulatorclass {
 public:
  progsimulatorclass();

  // Fills TxBuffer with the whole load sequence of the current setup. May reset
  // Setup.FirstSubFrameNum (a counter whose last value equals its first).
  void Prep232SimSetupData(const SimLoadFormat& format = {});
  // Builds the load sequence and sends it on the link under the progress dialog
  // "LOADING SIMULATOR"; returns how the send ended.
  SendOutcome Send232SimSetupData(UnitLink& link, const SimLoadFormat& format = {},
                                  const SendOptions& options = {});

  // The command writers of the load sequence: each appends one command to TxBuffer and,
  // with detail logging on, logs it.
  void MemoryWrite(int64_t address, uint16_t value);
  void RunHaltWrite(bool run);
  void SaveFormatWrite();
  void RegisterWrite(int reg, uint16_t value);
  void BitrateWrite();
  void FormatNumberWrite(int32_t number);
  void FormatNameWrite(const std::string& name);

  // Word attribute work table, rebuilt at every load: 16384 words x 4 attribute words.
  WordAttributeTable WordAttributes{};
  int32_t FileVersion = 2;
  SimSetupData Setup;
  UserWaveTables UserWaves{};
  std::array<std::string, kNumDynamicWords> UserDefDynWordFn;
  bool DoCrc16 = false;
  bool DoCttit = false;
  int32_t CrcWdNum = -1;  // 0-based CRC word index, -1: no CRC
  TransmitBuffer TxBuffer;
};
