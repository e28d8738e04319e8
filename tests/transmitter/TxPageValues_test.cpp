#include "transmitter/TxPageValues.h"

#include <gtest/gtest.h>

TEST(TxPageValues, SnapFreqKeepsTheTensAndSnapsTheLastDigitDownToFiveOrZero) {
  EXPECT_NEAR(SnapFreq(2250.37), 2250.35, 1e-9);
  EXPECT_NEAR(SnapFreq(2250.34), 2250.30, 1e-9);
  EXPECT_NEAR(SnapFreq(2250.35), 2250.35, 1e-9);
  EXPECT_NEAR(SnapFreq(2250.3), 2250.30, 1e-9);  // binary value just below .30
  EXPECT_NEAR(SnapFreq(2250.999), 2251.0, 1e-9);
  EXPECT_NEAR(SnapFreq(2250.005), 2250.0, 1e-9);  // an exact half rounds down
  EXPECT_EQ(SnapFreq(0.0), 0.0);
  EXPECT_EQ(SnapFreq(std::numeric_limits<double>::quiet_NaN()), 0.0);
}

TEST(TxPageValues, TypedFrequencyIsLimitedToTheReportedRangeThenSnapped) {
  TxUnitLimits limits;
  limits.FreqLimitsKnown = true;
  limits.MinFreqMhz = 2200;
  limits.MaxFreqMhz = 2400;
  double f = 1.0;
  ASSERT_TRUE(ReadFreqText("2250.37", limits, f));
  EXPECT_NEAR(f, 2250.35, 1e-9);
  ASSERT_TRUE(ReadFreqText("9999", limits, f));
  EXPECT_NEAR(f, 2400.5, 1e-9);
  ASSERT_TRUE(ReadFreqText("12", limits, f));
  EXPECT_NEAR(f, 2200.0, 1e-9);

  f = 2300.0;
  EXPECT_FALSE(ReadFreqText("22a0", limits, f));
  EXPECT_FALSE(ReadFreqText("", limits, f));
  EXPECT_EQ(f, 2300.0);
  EXPECT_EQ(FreqMhzText(2400.5), "2400.5");
}

TEST(TxPageValues, WithoutReportedLimitsTheFrequencyIsOnlySnapped) {
  double f = 0.0;
  ASSERT_TRUE(ReadFreqText("2250.37", TxUnitLimits{}, f));
  EXPECT_NEAR(f, 2250.35, 1e-9);
  EXPECT_EQ(DeviationPosition(-3), 0);
  EXPECT_EQ(DeviationPosition(1500), 999);
  EXPECT_EQ(DeviationPosition(250), 250);
}

TEST(TxPageValues, AttenuationStepsRunFromTheMaximumDownInStepsOfFive) {
  const auto full = AttenuationStepNames(19, 20);
  ASSERT_EQ(full.size(), 20u);
  EXPECT_EQ(full.front(), "95");
  EXPECT_EQ(full[1], "90");
  EXPECT_EQ(full.back(), "0");

  const auto bench = AttenuationStepNames(4, 16);
  ASSERT_EQ(bench.size(), 16u);
  EXPECT_EQ(bench.front(), "20");
  EXPECT_EQ(bench.back(), "-55");

  EXPECT_TRUE(AttenuationStepNames(0, 0).empty());
  EXPECT_EQ(AttenuationStepNames(0, 1), std::vector<std::string>{"0"});
  EXPECT_EQ(AttenuationStepNames(1000, 100000).size(), kMaxAttenuationStepNames);
}
