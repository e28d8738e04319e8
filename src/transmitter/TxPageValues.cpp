#include "transmitter/TxPageValues.h"

#include <algorithm>
#include <cmath>

#include "support/NumberText.h"
#include "support/ValuePrompts.h"

double SnapFreq(double freqMhz) {
  if (!std::isfinite(freqMhz)) return 0.0;
  const double whole = std::trunc(freqMhz);
  const double fraction = freqMhz - whole;
  // Hundredths rounded to nearest, an exact half down.
  double hundredths = std::ceil(fraction * 100.0 - 0.5);
  const double tens = std::trunc(hundredths / 10.0) * 10.0;
  const double last = hundredths - tens;
  hundredths = tens + (last >= 5.0 ? 5.0 : 0.0);
  return whole + hundredths * 0.01;
}

std::string FreqMhzText(double freqMhz) {
  return FloatText(freqMhz, 1, 6);
}

double PageFreqMhz(double freqMhz, const TxUnitLimits& limits) {
  if (limits.FreqLimitsKnown)
    freqMhz = ClampToRange(limits.MinFreqMhz, limits.MaxFreqMhz + 0.5, freqMhz);
  return SnapFreq(freqMhz);
}

bool ReadFreqText(const std::string& text, const TxUnitLimits& limits, double& freqMhz) {
  double typed = 0.0;
  if (text.empty() || !TextToDouble(text, typed) || !std::isfinite(typed)) return false;
  freqMhz = PageFreqMhz(typed, limits);
  return true;
}

int DeviationPosition(int32_t fmDeviation) {
  return std::clamp<int32_t>(fmDeviation, 0, kTxMaxDeviationKhz);
}

std::vector<std::string> AttenuationStepNames(uint32_t maxDb, uint32_t numSteps) {
  std::vector<std::string> names;
  const int64_t top = 5 * static_cast<int64_t>(maxDb);
  const int64_t bottom = top - 5 * (static_cast<int64_t>(numSteps) - 1);
  for (int64_t db = top; db >= bottom && names.size() < kMaxAttenuationStepNames; db -= 5)
    names.push_back(FloatText(static_cast<double>(db), 0, 8));
  return names;
}

int ChoiceIndex(int32_t recordIndex, size_t count) {
  return recordIndex >= 0 && static_cast<size_t>(recordIndex) < count ? recordIndex : -1;
}
