#pragma once
// The transmitter object: the transmitter setup record, its file section, its limits and
// the four register writes a transmitter load sends.
#include <array>
#include <cstdint>
#include <string>

#include "link/TransmitBuffer.h"
#include "transmitter/TxSetupData.h"
#include "transmitter/TxUnitLimits.h"

class progtxclass {
 public:
  // Empties TxBuffer and appends the frequency, deviation, filter and attenuation
  // writes, in that order.
  void Prep232TxSetupData();
  // The register writes: each appends one command and, with detail logging on, logs it.
  void SetFreqString();
  void SetDeviationString();
  void SetPremodString();
  void SetAttenuationString();

  // Limits the record to what the unit reported (see TxUnitLimits).
  void LimitToUnit(const TxUnitLimits& unit);

  // False, with nothing changed, when the section has no readable "FileVersion".
  bool LoadSection(const std::string& path, const std::string& section);
  void SaveSection(const std::string& path, const std::string& section) const;

  // Takes the deviation and premodulation filter a bit rate and output code need, given
  // the unit's four filter corner frequencies (kHz). True when either changed: the caller
  // then limits the record to the unit and loads the transmitter.
  bool ApplyBitRate(uint32_t bitRate, int32_t outputCode,
                    const std::array<uint32_t, 4>& premodFilterFreqKhz);

  int32_t FileVersion = 1;  // written to setup files, never changed
  TxSetupData Setup;
  TransmitBuffer TxBuffer{4096};

 private:
  void RegisterWrite(TxRegister reg, uint32_t value);
};
