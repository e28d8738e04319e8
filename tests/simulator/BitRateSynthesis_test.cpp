// The simulator's clock value and prescale code for a bit rate, output code and convolution.
#include "simulator/BitRateSynthesis.h"

#include <gtest/gtest.h>

namespace {

constexpr int32_t kBiol = 3;

TEST(BitRateSynthesis, WorkedExamplesAndRangeBoundaries) {
  const struct {
    uint32_t bitRate;
    int32_t code, convolution;
    int prescale;
    uint32_t clockRate;
  } rows[] = {
      {1024000, 0, 0, 0, 1024000u},
      {1024000, kBiol, 0, 0, 2048000u},
      {20000, 0, 0, 1, 320000u},
      {10, 0, 0, 3, 40960u},
      {20000000, kBiol, 2, 0, 33000000u},
      {63, 0, 0, 3, 63u << 12},
      {64, 0, 0, 2, 64u << 8},
      {16383, 0, 0, 2, 16383u << 8},
      {16384, 0, 0, 1, 16384u << 4},
      {262143, 0, 0, 1, 262143u << 4},
      {262144, 0, 0, 0, 262144u},
      {32, kBiol, 0, 2, 64u << 8},
      {21, 0, 2, 3, 63u << 12},
      {22, 0, 2, 2, 66u << 8},
      {8192, 0, 1, 1, 16384u << 4},
      {131072, 13, 0, 0, 262144u},
      {33000000, 0, 0, 0, 33000000u},
      {16500001, kBiol, 0, 0, 33000000u},
      // Unchecked rates do not wrap; convolution values other than 1 and 2 add no factor.
      {0, 0, 0, 3, 0u},
      {0xFFFFFFFFu, kBiol, 2, 0, 33000000u},
      {0x80000000u, kBiol, 0, 0, 33000000u},
      {1000000, 0, 3, 0, 1000000u},
      {1000000, 0, -1, 0, 1000000u},
  };
  for (const auto& row : rows) {
    SimSetupData setup;
    setup.SimBitRate = row.bitRate;
    setup.SimOutputCode = row.code;
    setup.Convolution = row.convolution;
    const SimClockSetting c = GetSimClockRatePrescaleNcoRate(setup);
    EXPECT_EQ(c.Prescale, row.prescale) << row.bitRate;
    EXPECT_EQ(c.ClockRate, row.clockRate) << row.bitRate;
  }
}

// Two line bits a data bit except for the NRZ codes; convolution adds 2x or 3x.
TEST(BitRateSynthesis, LineRateOfEveryCode) {
  for (int32_t code = 0; code <= 18; ++code) {
    for (int32_t convolution : {0, 1, 2}) {
      SimSetupData setup;
      setup.SimBitRate = 1000;
      setup.SimOutputCode = code;
      setup.Convolution = convolution;
      const bool nrz = code <= 2 || code == 10 || code == 14 || code == 15;
      EXPECT_EQ(SimLineRate(setup), (nrz ? 1000u : 2000u) * (convolution + 1))
          << code << " " << convolution;
    }
  }
}

}  // namespace
