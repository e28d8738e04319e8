#include "simulator/BitRateSynthesis.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "link/CommandText.h"

namespace {

SimClockSetting Clock(uint32_t bitRate, int32_t outputCode = 0, int32_t convolution = 0) {
  SimSetupData setup;  // member defaults: 1024000 bps, NRZL, no convolution
  setup.SimBitRate = bitRate;
  setup.SimOutputCode = outputCode;
  setup.Convolution = convolution;
  return GetSimClockRatePrescaleNcoRate(setup);
}

constexpr int32_t kBiol = 3;

TEST(BitRateSynthesisTest, DocumentedExamples) {
  SimClockSetting c = Clock(1024000);
  EXPECT_EQ(c.Prescale, 0);
  EXPECT_EQ(c.ClockRate, 1024000u);
  EXPECT_EQ(ClockRateCommand(c.ClockRate), "000F A000 K");  // 1024000 = 0x000FA000

  c = Clock(1024000, kBiol);
  EXPECT_EQ(c.Prescale, 0);
  EXPECT_EQ(c.ClockRate, 2048000u);

  c = Clock(20000);
  EXPECT_EQ(c.Prescale, 1);
  EXPECT_EQ(c.ClockRate, 320000u);
  EXPECT_EQ(ClockRateCommand(c.ClockRate), "0004 E200 K");

  c = Clock(10);
  EXPECT_EQ(c.Prescale, 3);
  EXPECT_EQ(c.ClockRate, 40960u);
  EXPECT_EQ(ClockRateCommand(c.ClockRate), "0000 A000 K");

  c = Clock(20000000, kBiol, 2);  // 120000000 is limited
  EXPECT_EQ(c.Prescale, 0);
  EXPECT_EQ(c.ClockRate, 33000000u);
}

TEST(BitRateSynthesisTest, RangeBoundariesAfterTheFactors) {
  struct Row {
    uint32_t bitRate;
    int32_t code, convolution;
    int prescale;
    uint32_t clockRate;
  };
  const Row rows[] = {{63, 0, 0, 3, 63u << 12},          {64, 0, 0, 2, 64u << 8},
                      {16383, 0, 0, 2, 16383u << 8},     {16384, 0, 0, 1, 16384u << 4},
                      {262143, 0, 0, 1, 262143u << 4},   {262144, 0, 0, 0, 262144u},
                      {32, kBiol, 0, 2, 64u << 8},       {21, 0, 2, 3, 63u << 12},
                      {22, 0, 2, 2, 66u << 8},           {8192, 0, 1, 1, 16384u << 4},
                      {131072, 13, 0, 0, 262144u},       {33000000, 0, 0, 0, 33000000u},
                      {16500001, kBiol, 0, 0, 33000000u}};
  for (const Row& row : rows) {
    SimClockSetting c = Clock(row.bitRate, row.code, row.convolution);
    EXPECT_EQ(c.Prescale, row.prescale) << row.bitRate;
    EXPECT_EQ(c.ClockRate, row.clockRate) << row.bitRate;
  }
}

TEST(BitRateSynthesisTest, ClockValueImpliesTheLineRateOverTheWholeRange) {
  std::mt19937 rng(5);
  std::uniform_int_distribution<uint32_t> rates(10, 33000000);
  for (int i = 0; i < 20000; ++i) {
    const uint32_t bitRate = i < 2 ? (i == 0 ? 10u : 33000000u) : rates(rng);
    const int32_t code = static_cast<int32_t>(rng() % 19);
    const int32_t convolution = static_cast<int32_t>(rng() % 3);
    SimSetupData setup;
    setup.SimBitRate = bitRate;
    setup.SimOutputCode = code;
    setup.Convolution = convolution;
    // Two line bits per data bit except for the NRZ codes; convolution adds 2x or 3x.
    const bool nrz = code <= 2 || code == 10 || code == 14 || code == 15;
    const uint64_t factor = (nrz ? 1 : 2) * (convolution == 1 ? 2 : convolution == 2 ? 3 : 1);
    const uint64_t line = std::min<uint64_t>(uint64_t{bitRate} * factor, 33000000u);
    ASSERT_EQ(SimLineRate(setup), line) << bitRate << " code " << code;
    SimClockSetting c = GetSimClockRatePrescaleNcoRate(setup);
    ASSERT_GE(c.Prescale, 0);
    ASSERT_LE(c.Prescale, 3);
    const int shift = 4 * c.Prescale;
    // No bits lost: the clock value is exactly the line rate shifted by the prescale.
    ASSERT_EQ(uint64_t{c.ClockRate}, line << shift) << bitRate;
    // The prescale code names the range the line rate lies in.
    const uint64_t bottom[] = {262144, 16384, 64, 0};
    const uint64_t top[] = {33000000, 262143, 16383, 63};
    ASSERT_GE(line, bottom[c.Prescale]) << bitRate;
    ASSERT_LE(line, top[c.Prescale]) << bitRate;
  }
}

TEST(BitRateSynthesisTest, UncheckedRatesDoNotWrap) {
  EXPECT_EQ(Clock(0).ClockRate, 0u);
  EXPECT_EQ(Clock(0).Prescale, 3);
  SimClockSetting c = Clock(0xFFFFFFFFu, kBiol, 2);
  EXPECT_EQ(c.ClockRate, 33000000u);
  EXPECT_EQ(c.Prescale, 0);
  c = Clock(0x80000000u, kBiol);  // twice this wraps to 0 in 32 bits
  EXPECT_EQ(c.ClockRate, 33000000u);
  // Convolution values other than 1 and 2 add no factor.
  EXPECT_EQ(Clock(1000000, 0, 3).ClockRate, 1000000u);
  EXPECT_EQ(Clock(1000000, 0, -1).ClockRate, 1000000u);
}

}  // namespace
