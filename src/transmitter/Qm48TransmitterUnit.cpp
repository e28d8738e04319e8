#include "transmitter/Qm48TransmitterUnit.h"

#include "transmitter/TxBitRate.h"
#include "transmitter/TxFileSection.h"

void progtxclass::LimitToUnit(const TxUnitLimits& unit) {
  LimitTxToUnit(Setup, unit);
}

bool progtxclass::LoadSection(const std::string& path, const std::string& section) {
  return LoadTxFileSection(Setup, path, section);
}

void progtxclass::SaveSection(const std::string& path, const std::string& section) const {
  SaveTxFileSection(Setup, FileVersion, path, section);
}

bool progtxclass::ApplyBitRate(uint32_t bitRate, int32_t outputCode,
                               const std::array<uint32_t, 4>& premodFilterFreqKhz) {
  const TxBitRateSettings s = TxSettingsForBitRate(bitRate, outputCode, premodFilterFreqKhz);
  const bool changed =
      s.FmDeviation != Setup.FmDeviation || s.PreModFilterSelected != Setup.PreModFilterSelected;
  Setup.FmDeviation = s.FmDeviation;
  Setup.PreModFilterSelected = s.PreModFilterSelected;
  return changed;
}
