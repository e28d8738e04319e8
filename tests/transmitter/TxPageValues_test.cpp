#include "transmitter/TxPageValues.h"

#include <gtest/gtest.h>

#include "query/Qm48QueryUnit.h"

namespace {

// A query object as a complete Query reply leaves it.
progqueryclass Answered(uint32_t minMhz, uint32_t maxMhz) {
  progqueryclass q;
  q.Results.MinFreqMhz = minMhz;
  q.Results.MaxFreqMhz = maxMhz;
  q.FreqLimitsReceived = true;
  q.Results.PremodFilterFreqKhz = {100, 300, 600, 1000};
  q.IResults.MaxDb = 19;
  q.IResults.NumAttenSteps = 20;
  q.AttenStepsReceived = true;
  return q;
}

}  // namespace

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

TEST(TxPageValues, BeforeAnyQueryTheRecordKeepsEverythingTheOperatorSet) {
  progqueryclass q;  // nothing received yet
  TxSetupData r{2250.37, 300, 2, 5};
  const TxPageChoices c = TakeQueryIntoRecord(r, q, true, false);
  EXPECT_NEAR(r.FreqMhz, 2250.35, 1e-9);
  EXPECT_EQ(r.FmDeviation, 300);
  EXPECT_EQ(r.PreModFilterSelected, 2);
  EXPECT_EQ(r.AttenuationIndexDb, 5);
  EXPECT_EQ(c.filterNames, (std::vector<std::string>{"0", "0", "0", "0"}));
  EXPECT_EQ(c.filterIndex, 2);
  EXPECT_TRUE(c.attenNames.empty());
  EXPECT_EQ(c.attenIndex, -1);
}

TEST(TxPageValues, ACompleteQueryPutsTheUnitsStateIntoTheRecord) {
  progqueryclass q = Answered(2200, 2400);
  q.Results.DeviationSelected = 250;
  q.Results.PremodSelected = 3;
  q.Results.AttenuationDb = 4;
  TxSetupData r{2300.0, 700, 1, 0};
  const TxPageChoices c = TakeQueryIntoRecord(r, q, true, false);
  EXPECT_EQ(r.FmDeviation, 250);
  EXPECT_EQ(r.PreModFilterSelected, 3);
  EXPECT_EQ(r.AttenuationIndexDb, 4);
  EXPECT_EQ(c.filterNames, (std::vector<std::string>{"100", "300", "600", "1000"}));
  EXPECT_EQ(c.filterIndex, 3);
  ASSERT_EQ(c.attenNames.size(), 20u);
  EXPECT_EQ(c.attenIndex, 4);
  EXPECT_EQ(c.attenNames[4], "75");

  // Indexes the lists do not have leave the record's own choice.
  q.Results.PremodSelected = 7;
  q.Results.AttenuationDb = 20;
  q.Results.DeviationSelected = 5000;
  TakeQueryIntoRecord(r, q, true, false);
  EXPECT_EQ(r.PreModFilterSelected, 3);
  EXPECT_EQ(r.AttenuationIndexDb, 4);
  EXPECT_EQ(r.FmDeviation, 999);
}

TEST(TxPageValues, TheUnitsStateIsLeftOutWhenNotWantedOrWhenTheQueryFailed) {
  progqueryclass q = Answered(2200, 2400);
  q.Results.DeviationSelected = 250;
  TxSetupData r{2300.0, 700, 1, 2};
  TakeQueryIntoRecord(r, q, false, false);
  EXPECT_EQ(r.FmDeviation, 700);

  q.LastOutcomes[0].result = SendResult::TimedOut;
  TakeQueryIntoRecord(r, q, true, false);
  EXPECT_EQ(r.FmDeviation, 700);
  EXPECT_EQ(r.PreModFilterSelected, 1);
  EXPECT_EQ(r.AttenuationIndexDb, 2);
}

TEST(TxPageValues, AFrequencyOutsideTheUnitsRangeBecomesItsSelectedOne) {
  progqueryclass q = Answered(2200, 2400);
  q.Results.FreqSelectedMhz = 22503;  // 100 kHz steps
  TxSetupData r{1500.0, 0, 0, 0};
  TakeQueryIntoRecord(r, q, true, false);
  EXPECT_NEAR(r.FreqMhz, 2250.3, 1e-9);

  r.FreqMhz = 2400.5;  // the top of the range is in it
  TakeQueryIntoRecord(r, q, true, false);
  EXPECT_NEAR(r.FreqMhz, 2400.5, 1e-9);
}

TEST(TxPageValues, TheDebugMenuGivesTheBenchAttenuationRange) {
  progqueryclass q = Answered(2200, 2400);
  TxSetupData r;
  const TxPageChoices c = TakeQueryIntoRecord(r, q, true, true);
  EXPECT_EQ(q.IResults.MaxDb, 4u);
  EXPECT_EQ(q.IResults.NumAttenSteps, 16u);
  ASSERT_EQ(c.attenNames.size(), 16u);
  EXPECT_EQ(c.attenNames.front(), "20");
  EXPECT_EQ(c.attenNames.back(), "-55");
}
