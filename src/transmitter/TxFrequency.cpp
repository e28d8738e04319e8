#include "transmitter/TxFrequency.h"

#include <algorithm>
#include <cmath>

namespace {
// Far above the error of one multiplication (a few 1e-12 at 30000 steps), far below any
// frequency an operator can set (9 decimals of MHz in a file are 1e-8 steps).
constexpr double kStepTolerance = 1e-6;
}  // namespace

uint32_t FreqToSteps(double freqMhz) {
  double steps = freqMhz * 10.0;
  if (std::isnan(steps)) return 0;
  steps = std::clamp(steps, -2147483647.0, 4294967295.0);
  const double nearest = std::round(steps);
  steps = std::fabs(steps - nearest) <= kStepTolerance ? nearest : std::floor(steps);
  return static_cast<uint32_t>(static_cast<int64_t>(steps));
}
