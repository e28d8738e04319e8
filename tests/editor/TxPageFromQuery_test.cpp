// The transmitter page after a query: which of the unit's answers reach the record.
#include "editor/TxPageFromQuery.h"

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

TEST(TxPageFromQuery, BeforeAnyQueryTheRecordKeepsEverythingTheOperatorSet) {
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

TEST(TxPageFromQuery, ACompleteQueryPutsTheUnitsStateIntoTheRecord) {
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

TEST(TxPageFromQuery, TheUnitsStateIsLeftOutWhenNotWantedOrWhenTheQueryFailed) {
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

TEST(TxPageFromQuery, AFrequencyOutsideTheUnitsRangeBecomesItsSelectedOne) {
  progqueryclass q = Answered(2200, 2400);
  q.Results.FreqSelectedMhz = 22503;  // 100 kHz steps
  TxSetupData r{1500.0, 0, 0, 0};
  TakeQueryIntoRecord(r, q, true, false);
  EXPECT_NEAR(r.FreqMhz, 2250.3, 1e-9);

  r.FreqMhz = 2400.5;  // the top of the range is in it
  TakeQueryIntoRecord(r, q, true, false);
  EXPECT_NEAR(r.FreqMhz, 2400.5, 1e-9);
}

TEST(TxPageFromQuery, TheDebugMenuGivesTheBenchAttenuationRange) {
  progqueryclass q = Answered(2200, 2400);
  TxSetupData r;
  const TxPageChoices c = TakeQueryIntoRecord(r, q, true, true);
  EXPECT_EQ(q.IResults.MaxDb, 4u);
  EXPECT_EQ(q.IResults.NumAttenSteps, 16u);
  ASSERT_EQ(c.attenNames.size(), 16u);
  EXPECT_EQ(c.attenNames.front(), "20");
  EXPECT_EQ(c.attenNames.back(), "-55");
}
