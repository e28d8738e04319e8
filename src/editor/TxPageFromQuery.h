#pragma once
// The transmitter page after a query: the unit's answers turned into the page's lists and,
// where wanted, into the transmitter record. It joins the query and the transmitter, so it
// sits above both.
#include <string>
#include <vector>

#include "transmitter/TxSetupData.h"

class progqueryclass;

// The four filter corner frequencies as whole kHz.
std::vector<std::string> PremodFilterNames(const progqueryclass& query);

// The choices the page offers after a query, and the entries it selects (-1: none).
struct TxPageChoices {
  std::vector<std::string> filterNames;
  int filterIndex = -1;
  std::vector<std::string> attenNames;
  int attenIndex = -1;
};

// The page's work after a query. The unit's current deviation, filter and attenuation
// go into the record only when takeUnitState is set and the last Query reply carried every
// value; a frequency outside the unit's reported range is replaced by the unit's selected
// one (reported in 100 kHz steps). With the "Debug" menu entry shown, the unit's
// attenuation range is first set to 4 dB in 16 steps, as the bench firmware has it.
TxPageChoices TakeQueryIntoRecord(TxSetupData& record, progqueryclass& query, bool takeUnitState,
                                  bool debugMenuShown);
