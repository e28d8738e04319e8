#include "transmitter/TxFileSection.h"

#include <cmath>

#include "support/ProfileStore.h"
#include "support/ValuePrompts.h"

namespace {
const char* const kFileVersionKey = "FileVersion";

void LoadIntField(const std::string& path, const std::string& section, TxRegister reg,
                  int32_t& field) {
  int32_t value = 0;
  if (!ReadProfileInt(path, section, kTxFields[reg].Key, value)) return;
  field =
      static_cast<int32_t>(ClampToRange(kTxFields[reg].FileLow, kTxFields[reg].FileHigh, value));
}
}  // namespace

bool LoadTxFileSection(TxSetupData& record, const std::string& path, const std::string& section) {
  int32_t version = 0;
  if (!ReadProfileInt(path, section, kFileVersionKey, version)) return false;
  const TxFieldInfo& freq = kTxFields[kTxFreqRegister];
  double freqMhz = 0;
  if (ReadProfileDouble(path, section, freq.Key, freqMhz) && !std::isnan(freqMhz))
    record.FreqMhz = ClampToRange(freq.FileLow, freq.FileHigh, freqMhz);
  LoadIntField(path, section, kTxDeviationRegister, record.FmDeviation);
  LoadIntField(path, section, kTxPremodRegister, record.PreModFilterSelected);
  LoadIntField(path, section, kTxAttenRegister, record.AttenuationIndexDb);
  return true;
}

void SaveTxFileSection(const TxSetupData& record, int32_t fileVersion, const std::string& path,
                       const std::string& section) {
  WriteProfileInt(path, section, kFileVersionKey, fileVersion);
  WriteProfileDouble(path, section, kTxFields[kTxFreqRegister].Key, record.FreqMhz);
  WriteProfileInt(path, section, kTxFields[kTxDeviationRegister].Key, record.FmDeviation);
  WriteProfileInt(path, section, kTxFields[kTxPremodRegister].Key, record.PreModFilterSelected);
  WriteProfileInt(path, section, kTxFields[kTxAttenRegister].Key, record.AttenuationIndexDb);
}
