#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "transmitter/Qm48TransmitterUnit.h"
#include "transmitter/TxBitRate.h"
#include "transmitter/TxTestLog.h"

namespace {

TxUnitLimits Reported(uint32_t minMhz, uint32_t maxMhz, uint32_t steps) {
  return TxUnitLimits{true, minMhz, maxMhz, true, steps};
}

int CountContaining(const std::vector<std::string>& messages, const std::string& text) {
  return static_cast<int>(std::count_if(messages.begin(), messages.end(), [&](const auto& m) {
    return m.find(text) != std::string::npos;
  }));
}

TEST(TxUnitLimits, ReportedLimitsBoundTheRecord) {
  progtxclass tx;
  tx.Setup = {3200.0, 1200, 7, 25};
  tx.LimitToUnit(Reported(2400, 3000, 20));
  EXPECT_EQ(tx.Setup.FreqMhz, 3000.5);  // the top step of the highest MHz is allowed
  EXPECT_EQ(tx.Setup.FmDeviation, 999);
  EXPECT_EQ(tx.Setup.PreModFilterSelected, 3);
  EXPECT_EQ(tx.Setup.AttenuationIndexDb, 20);

  tx.Setup = {1435.0, -3, -1, -1};
  tx.LimitToUnit(Reported(3000, 2400, 16));  // bounds in either order: 2400.5..3000
  EXPECT_EQ(tx.Setup.FreqMhz, 2400.5);
  EXPECT_EQ(tx.Setup.FmDeviation, 0);
  EXPECT_EQ(tx.Setup.PreModFilterSelected, 0);
  EXPECT_EQ(tx.Setup.AttenuationIndexDb, 0);

  tx.Setup = {2250.3, 350, 2, 4};
  tx.LimitToUnit(Reported(2200, 2300, 19));
  EXPECT_EQ(tx.Setup.FreqMhz, 2250.3);
  tx.Prep232TxSetupData();
  EXPECT_EQ(SplitCommands(tx.TxBuffer),
            (std::vector<std::string>{"57E7 0 G", "015E 1 G", "0002 2 G", "0004 3 G"}));

  // A unit that reports zeros is taken at its word.
  tx.LimitToUnit(Reported(0, 0, 0));
  EXPECT_EQ(tx.Setup.FreqMhz, 0.5);
  EXPECT_EQ(tx.Setup.AttenuationIndexDb, 0);
}

TEST(TxUnitLimits, UnreportedLimitsKeepTheOperatorsSetting) {
  TestLog log;
  progtxclass tx;
  tx.Setup = {2250.3, 1200, 2, 4};
  tx.LimitToUnit(TxUnitLimits{});  // no port, a silent unit or a failed query
  EXPECT_EQ(tx.Setup.FreqMhz, 2250.3);
  EXPECT_EQ(tx.Setup.FmDeviation, 999);  // fixed limits still apply
  EXPECT_EQ(tx.Setup.AttenuationIndexDb, 4);
  tx.Prep232TxSetupData();
  EXPECT_EQ(SplitCommands(tx.TxBuffer)[0], "57E7 0 G");
  auto messages = log.Messages();
  EXPECT_EQ(CountContaining(messages, "FREQUENCY LIMITS NOT REPORTED"), 1);
  EXPECT_EQ(CountContaining(messages, "FREQUENCY KEPT AT 2250.3 MHz"), 1);
  EXPECT_EQ(CountContaining(messages, "ATTENUATION STEPS NOT REPORTED"), 1);

  // Each limit counts on its own: a Query answered, the step count not.
  tx.Setup = {2250.3, 10, 0, 25};
  tx.LimitToUnit(TxUnitLimits{true, 2400, 3000, false, 99});
  EXPECT_EQ(tx.Setup.FreqMhz, 2400.0);
  EXPECT_EQ(tx.Setup.AttenuationIndexDb, 19);  // only what a setup file may hold
  tx.Setup.AttenuationIndexDb = -1;            // nothing selected
  tx.LimitToUnit(TxUnitLimits{false, 2400, 3000, false, 99});
  EXPECT_EQ(tx.Setup.FreqMhz, 2400.0);
  EXPECT_EQ(tx.Setup.AttenuationIndexDb, 0);
  tx.Setup = {2250.3, 10, 0, 12};
  tx.LimitToUnit(TxUnitLimits{false, 2400, 3000, true, 8});
  EXPECT_EQ(tx.Setup.FreqMhz, 2250.3);
  EXPECT_EQ(tx.Setup.AttenuationIndexDb, 8);

  messages = log.Messages();
  EXPECT_EQ(CountContaining(messages, "FREQUENCY LIMITS NOT REPORTED"), 3);
  EXPECT_EQ(CountContaining(messages, "ATTENUATION STEPS NOT REPORTED"), 3);
}

TEST(TxUnitLimits, NotANumberFrequencyGoesToTheLowerBound) {
  progtxclass tx;
  tx.Setup.FreqMhz = std::numeric_limits<double>::quiet_NaN();
  tx.LimitToUnit(Reported(2400, 3000, 16));
  EXPECT_EQ(tx.Setup.FreqMhz, 2400.0);
  tx.Setup.FreqMhz = std::numeric_limits<double>::quiet_NaN();
  tx.LimitToUnit(Reported(3000, 2400, 16));
  EXPECT_EQ(tx.Setup.FreqMhz, 2400.5);
}

TEST(TxBitRate, DeviationAndFilterFollowTheBitRate) {
  const std::array<uint32_t, 4> filters = {100, 300, 600, 1000};
  TxBitRateSettings s = TxSettingsForBitRate(1000000, 0, filters);  // NRZL
  EXPECT_EQ(s.FmDeviation, 350);
  EXPECT_DOUBLE_EQ(s.FilterBandwidthKhz, 700.0);
  EXPECT_EQ(s.PreModFilterSelected, 3);
  s = TxSettingsForBitRate(1000000, 3, filters);  // BIOL
  EXPECT_EQ(s.FmDeviation, 700);
  EXPECT_DOUBLE_EQ(s.FilterBandwidthKhz, 1400.0);
  EXPECT_EQ(s.PreModFilterSelected, 0);
  for (int32_t code : {4, 5, 11})
    EXPECT_EQ(TxSettingsForBitRate(1000, code, filters).FmDeviation, 1);
  for (int32_t code : {1, 2, 6, 10, 12, 18, -1, 99})
    EXPECT_EQ(TxSettingsForBitRate(2000, code, filters).FmDeviation, 1) << code;

  // Exact halves round down, other fractions to nearest.
  EXPECT_EQ(TxSettingsForBitRate(25000, 0, filters).FmDeviation, 9);   // 8.75
  EXPECT_EQ(TxSettingsForBitRate(30000, 0, filters).FmDeviation, 10);  // 10.5
  EXPECT_EQ(TxSettingsForBitRate(4294967295u, 3, filters).FmDeviation, 3006477);

  // Between the first filters; on a corner; below every filter; unreported filters.
  EXPECT_EQ(TxSettingsForBitRate(200000, 0, filters).PreModFilterSelected, 1);  // 140 kHz
  EXPECT_EQ(TxSettingsForBitRate(428572, 0, filters).PreModFilterSelected, 2);  // 300.0004
  EXPECT_EQ(TxSettingsForBitRate(100000, 0, filters).PreModFilterSelected, 0);  // 70 kHz
  EXPECT_EQ(TxSettingsForBitRate(1000000, 0, {0, 0, 0, 0}).PreModFilterSelected, 0);
  EXPECT_EQ(TxSettingsForBitRate(1000000, 0, {0, 0, 0, 700}).PreModFilterSelected, 3);
}

TEST(TxBitRate, ApplyBitRateTellsWhetherTheRecordChanged) {
  const std::array<uint32_t, 4> filters = {100, 300, 600, 1000};
  progtxclass tx;
  tx.Setup = {2250.5, 0, 0, 4};
  EXPECT_TRUE(tx.ApplyBitRate(1000000, 0, filters));
  EXPECT_EQ(tx.Setup.FmDeviation, 350);
  EXPECT_EQ(tx.Setup.PreModFilterSelected, 3);
  EXPECT_EQ(tx.Setup.FreqMhz, 2250.5);
  EXPECT_EQ(tx.Setup.AttenuationIndexDb, 4);
  EXPECT_FALSE(tx.ApplyBitRate(1000000, 0, filters));
  EXPECT_FALSE(tx.ApplyBitRate(1000001, 1, filters));  // same deviation and filter
  EXPECT_TRUE(tx.ApplyBitRate(1000000, 3, filters));
  EXPECT_EQ(tx.Setup.PreModFilterSelected, 0);
}

}  // namespace
