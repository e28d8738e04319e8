#include "simulator/BitRateSynthesis.h"

namespace {

// The NRZ-type codes send one line bit per data bit; every other code needs two.
bool IsSingleRateCode(int32_t outputCode) {
  switch (outputCode) {
    case 0:   // NRZL
    case 1:   // NRZM
    case 2:   // NRZS
    case 10:  // INV_NRZL
    case 14:  // RNRZ11
    case 15:  // RNRZ15
      return true;
    default:
      return false;
  }
}

}  // namespace

uint64_t SimLineRate(const SimSetupData& setup) {
  // 64 bits: an unchecked bit rate times six must not wrap before the limit applies.
  uint64_t rate = setup.SimBitRate;
  if (!IsSingleRateCode(setup.SimOutputCode)) rate *= 2;
  if (setup.Convolution == 1) rate *= 2;
  if (setup.Convolution == 2) rate *= 3;
  if (rate > kMaxSimLineRate) rate = kMaxSimLineRate;
  return rate;
}

SimClockSetting GetSimClockRatePrescaleNcoRate(const SimSetupData& setup) {
  const uint32_t rate = static_cast<uint32_t>(SimLineRate(setup));
  if (rate < 64) return {rate << 12, 3};
  if (rate < 16384) return {rate << 8, 2};
  if (rate < 262144) return {rate << 4, 1};
  return {rate, 0};
}
