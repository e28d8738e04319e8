// The transmitter load: four register writes built from the record.
#include "link/CommandText.h"
#include "support/ProgramLog.h"
#include "transmitter/Qm48TransmitterUnit.h"
#include "transmitter/TxFrequency.h"

namespace {
bool DetailOn() {
  return gDebugLogging.load(std::memory_order_relaxed);
}
}  // namespace

void progtxclass::RegisterWrite(TxRegister reg, uint32_t value) {
  const std::string text = TransmitterWriteCommand(value, reg);
  TxBuffer.AppendCommand(text);
  if (DetailOn()) LogDetail(kTxFields[reg].WriteLabel + text, static_cast<int>(value));
}

// Negative integer fields go out as their 32-bit pattern, as the unit always received
// them; the limits keep them from arising in a load that follows LimitToUnit.
void progtxclass::SetFreqString() {
  RegisterWrite(kTxFreqRegister, FreqToSteps(Setup.FreqMhz));
}

void progtxclass::SetDeviationString() {
  RegisterWrite(kTxDeviationRegister, static_cast<uint32_t>(Setup.FmDeviation));
}

void progtxclass::SetPremodString() {
  RegisterWrite(kTxPremodRegister, static_cast<uint32_t>(Setup.PreModFilterSelected));
}

void progtxclass::SetAttenuationString() {
  RegisterWrite(kTxAttenRegister, static_cast<uint32_t>(Setup.AttenuationIndexDb));
}

void progtxclass::Prep232TxSetupData() {
  TxBuffer.ClearTxBuffer();
  const bool detail = DetailOn();
  if (detail) {
    LogDetail(std::string(42, '-'), 0);
    LogDetail("TRANSMITTER Prep232TxSetupData Routine START", 0);
  }
  auto label = [detail](TxRegister reg) {
    if (detail) LogDetail(kTxFields[reg].WriterName, 0);
  };
  label(kTxFreqRegister);
  SetFreqString();
  label(kTxDeviationRegister);
  SetDeviationString();
  label(kTxPremodRegister);
  SetPremodString();
  label(kTxAttenRegister);
  SetAttenuationString();
  if (detail) {
    LogDetail("TRANSMITTER Prep232TxSetupData Routine END", 0);
    LogDetail(std::string(44, '-'), 0);
  }
}
