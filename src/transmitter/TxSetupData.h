#pragma once
// The transmitter setup record: carrier frequency, FM deviation, premodulation filter and
// attenuation step. Field names are the setup file's key names.
#include <array>
#include <cstdint>

struct TxSetupData {
  double FreqMhz = 0.0;              // carrier, MHz; loaded in steps of 0.1 MHz
  int32_t FmDeviation = 0;           // kHz, 0..999
  int32_t PreModFilterSelected = 0;  // one of the unit's four filters, 0..3
  int32_t AttenuationIndexDb = 0;    // step index; index i is 5 x (MaxDb - i) dB
};

// The record's four values as the transmitter's registers and the setup file see them,
// in the order a load writes them and a save files them.
enum TxRegister : int {
  kTxFreqRegister = 0,
  kTxDeviationRegister,
  kTxPremodRegister,
  kTxAttenRegister
};
constexpr int kNumTxRegisters = 4;

struct TxFieldInfo {
  const char* Key;  // setup file key
  double FileLow;   // a value read from a file is limited to [FileLow, FileHigh]
  double FileHigh;
  const char* WriteLabel;  // detail log prefix of the register write
  const char* WriterName;  // detail log line before the write
};
extern const std::array<TxFieldInfo, kNumTxRegisters> kTxFields;

// Fixed limits of the record that do not depend on the unit's answers.
constexpr int32_t kTxMaxDeviationKhz = 999;
constexpr int32_t kTxMaxPremodFilter = 3;
constexpr int32_t kTxMaxFiledAttenIndex = 19;
