#pragma once
// The transmitter's limits as the unit reported them in its last query. A limit counts
// only when the unit actually answered with it: without a port, with a silent unit or a
// reply that did not carry the value, the record keeps what the operator set.
#include <cstdint>

#include "transmitter/TxSetupData.h"

struct TxUnitLimits {
  bool FreqLimitsKnown = false;  // the Query reply gave both frequency limits
  uint32_t MinFreqMhz = 0;
  uint32_t MaxFreqMhz = 0;
  bool AttenStepsKnown = false;  // the I-Query for the attenuation steps was answered
  uint32_t NumAttenSteps = 0;
};

// Frequency into [MinFreqMhz, MaxFreqMhz + 0.5] (bounds in either order), deviation into
// 0..999, filter into 0..3, attenuation index into 0..NumAttenSteps. A limit the unit did
// not report leaves its field alone (the attenuation index is then only kept within the
// range a setup file may hold) and writes a warning to the log.
void LimitTxToUnit(TxSetupData& record, const TxUnitLimits& unit);
