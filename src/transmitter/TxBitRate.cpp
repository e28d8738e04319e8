#include "transmitter/TxBitRate.h"

#include <algorithm>
#include <cmath>

namespace {
bool IsBiPhase(int32_t outputCode) {
  return outputCode == 3 || outputCode == 4 || outputCode == 5 || outputCode == 11;
}
}  // namespace

TxBitRateSettings TxSettingsForBitRate(uint32_t bitRate, int32_t outputCode,
                                       const std::array<uint32_t, 4>& filterKhz) {
  const double factor = IsBiPhase(outputCode) ? 2 : 1;
  TxBitRateSettings s;
  // Nearest whole kHz, an exact half rounded down.
  s.FmDeviation = static_cast<int32_t>(std::ceil(bitRate * 0.35 * factor * 0.001 - 0.5));
  s.FilterBandwidthKhz = bitRate * 0.7 * factor * 0.001;
  for (size_t i = 0; i < filterKhz.size(); ++i) {
    const double corner = filterKhz[i];
    if (corner <= 0) continue;
    const double upper = i + 1 < filterKhz.size() ? filterKhz[i + 1] : corner;
    if (corner <= s.FilterBandwidthKhz && s.FilterBandwidthKhz <= upper) {
      s.PreModFilterSelected = static_cast<int32_t>(std::min<size_t>(i + 1, 3));
      break;
    }
  }
  return s;
}
