#include "transmitter/TxUnitLimits.h"

#include <algorithm>
#include <cmath>

#include "support/NumberText.h"
#include "support/ProgramLog.h"
#include "support/ValuePrompts.h"

namespace {
int32_t Limited(double low, double high, int32_t value) {
  return static_cast<int32_t>(ClampToRange(low, high, value));
}
}  // namespace

void LimitTxToUnit(TxSetupData& record, const TxUnitLimits& unit) {
  if (unit.FreqLimitsKnown) {
    const double low = unit.MinFreqMhz;
    const double high = unit.MaxFreqMhz + 0.5;
    record.FreqMhz =
        std::isnan(record.FreqMhz) ? std::min(low, high) : ClampToRange(low, high, record.FreqMhz);
  } else {
    LogInfo("TRANSMITTER FREQUENCY LIMITS NOT REPORTED BY THE UNIT, FREQUENCY KEPT AT " +
                FloatText(record.FreqMhz, 1, 10) + " MHz",
            0, false);
  }
  record.FmDeviation = Limited(0, kTxMaxDeviationKhz, record.FmDeviation);
  record.PreModFilterSelected = Limited(0, kTxMaxPremodFilter, record.PreModFilterSelected);
  if (unit.AttenStepsKnown) {
    record.AttenuationIndexDb = Limited(0, unit.NumAttenSteps, record.AttenuationIndexDb);
  } else {
    record.AttenuationIndexDb = Limited(0, kTxMaxFiledAttenIndex, record.AttenuationIndexDb);
    LogInfo("TRANSMITTER ATTENUATION STEPS NOT REPORTED BY THE UNIT, ATTENUATION INDEX KEPT AT " +
                std::to_string(record.AttenuationIndexDb),
            0, false);
  }
}
