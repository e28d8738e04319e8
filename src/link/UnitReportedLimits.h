#pragma once
// What the unit reported of its transmitter's limits in its last query. The query fills it,
// the transmitter is bound by it; it lives here, below both, so neither needs the other.
// A limit counts only when the unit actually answered with it: without a port, with a
// silent unit or a reply that did not carry the value, the record keeps what the operator
// set.
#include <cstdint>

struct TxUnitLimits {
  bool FreqLimitsKnown = false;  // the Query reply gave both frequency limits
  uint32_t MinFreqMhz = 0;
  uint32_t MaxFreqMhz = 0;
  bool AttenStepsKnown = false;  // the I-Query for the attenuation steps was answered
  uint32_t NumAttenSteps = 0;
};
