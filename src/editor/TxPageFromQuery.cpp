#include "editor/TxPageFromQuery.h"

#include <algorithm>

#include "query/Qm48QueryUnit.h"
#include "support/NumberText.h"
#include "support/ValuePrompts.h"
#include "transmitter/TxPageValues.h"

std::vector<std::string> PremodFilterNames(const progqueryclass& query) {
  std::vector<std::string> names;
  for (uint32_t khz : query.Results.PremodFilterFreqKhz) names.push_back(FloatText(khz, 0, 8));
  return names;
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
