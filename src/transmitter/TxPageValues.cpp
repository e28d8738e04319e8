#include "transmitter/TxPageValues.h"

#include <algorithm>
#include <cmath>

#include "query/Qm48QueryUnit.h"
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

std::vector<std::string> PremodFilterNames(const progqueryclass& query) {
  std::vector<std::string> names;
  for (uint32_t khz : query.Results.PremodFilterFreqKhz) names.push_back(FloatText(khz, 0, 8));
  return names;
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

TxPageChoices TakeQueryIntoRecord(TxSetupData& record, progqueryclass& query, bool takeUnitState,
                                  bool debugMenuShown) {
  if (debugMenuShown) {
    query.IResults.MaxDb = 4;
    query.IResults.NumAttenSteps = 16;
  }
  const QueryResults& q = query.Results;
  const TxUnitLimits limits = query.TxLimits();
  // A Query reply that did not carry every value says nothing reliable about the unit.
  const bool unitState = takeUnitState && query.FreqLimitsReceived && query.LastOutcomes[0].Ok();

  if (limits.FreqLimitsKnown &&
      !InRange(record.FreqMhz, limits.MinFreqMhz, limits.MaxFreqMhz + 0.5))
    record.FreqMhz = q.FreqSelectedMhz * 0.1;
  record.FreqMhz = PageFreqMhz(record.FreqMhz, limits);

  TxPageChoices choices;
  choices.filterNames = PremodFilterNames(query);
  choices.attenNames = AttenuationStepNames(query.IResults.MaxDb, query.IResults.NumAttenSteps);
  if (unitState) {
    record.FmDeviation =
        static_cast<int32_t>(std::min<uint32_t>(q.DeviationSelected, kTxMaxDeviationKhz));
    if (q.PremodSelected < choices.filterNames.size())
      record.PreModFilterSelected = static_cast<int32_t>(q.PremodSelected);
    if (q.AttenuationDb < choices.attenNames.size())
      record.AttenuationIndexDb = static_cast<int32_t>(q.AttenuationDb);
  }
  choices.filterIndex = ChoiceIndex(record.PreModFilterSelected, choices.filterNames.size());
  choices.attenIndex = ChoiceIndex(record.AttenuationIndexDb, choices.attenNames.size());
  return choices;
}
