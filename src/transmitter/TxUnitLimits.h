#pragma once
// The transmitter record bound by the limits the unit reported.
#include "link/UnitReportedLimits.h"
#include "transmitter/TxSetupData.h"

// Frequency into [MinFreqMhz, MaxFreqMhz + 0.5] (bounds in either order), deviation into
// 0..999, filter into 0..3, attenuation index into 0..NumAttenSteps. A limit the unit did
// not report leaves its field alone (the attenuation index is then only kept within the
// range a setup file may hold) and writes a warning to the log.
void LimitTxToUnit(TxSetupData& record, const TxUnitLimits& unit);
