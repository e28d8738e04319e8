#pragma once
// What the transmitter page shows and how it turns the operator's input and the unit's
// answers into the transmitter record: the frequency on a 0.05 MHz grid within the unit's
// range, the filter and attenuation choices the unit reported.
#include <cstdint>
#include <string>
#include <vector>

#include "transmitter/TxSetupData.h"
#include "transmitter/TxUnitLimits.h"

// Snapped down to a multiple of 0.05 MHz: 2250.37 gives 2250.35, 2250.34 gives 2250.30.
double SnapFreq(double freqMhz);
// The frequency as the page's edit shows it: one decimal, at most 6 characters.
std::string FreqMhzText(double freqMhz);
// Limited to [MinFreqMhz, MaxFreqMhz + 0.5] when the unit reported its range, then snapped.
double PageFreqMhz(double freqMhz, const TxUnitLimits& limits);
// The typed frequency as the page keeps it; false, freqMhz unchanged, when the text is
// empty or not a number.
bool ReadFreqText(const std::string& text, const TxUnitLimits& limits, double& freqMhz);
// The deviation as the scroll bar holds it: 0..999.
int DeviationPosition(int32_t fmDeviation);

// The attenuation steps in dB, highest first: 5 x maxDb down in steps of 5, numSteps of
// them, at most 48. Index i stands for 5 x (maxDb - i) dB.
std::vector<std::string> AttenuationStepNames(uint32_t maxDb, uint32_t numSteps);
constexpr size_t kMaxAttenuationStepNames = 48;

// The selections that show the record in the given lists (-1 where the record's entry is
// not in the list).
int ChoiceIndex(int32_t recordIndex, size_t count);
