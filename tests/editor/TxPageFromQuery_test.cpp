// The transmitter page after a query: which of the unit's answers reach the record.
#include "editor/TxPageFromQuery.h"

#include <gtest/gtest.h>

#include "query/Qm48QueryUnit.h"

TEST(TxPageFromQuery, TheUnitsAnswersThatReachTheRecord) {
  progqueryclass q;  // nothing received yet: the record keeps what the operator set
  TxSetupData r{2250.37, 300, 2, 5};
  TxPageChoices c = TakeQueryIntoRecord(r, q, true, false);
  EXPECT_NEAR(r.FreqMhz, 2250.35, 1e-9);
  EXPECT_EQ(std::tuple(r.FmDeviation, r.PreModFilterSelected, r.AttenuationIndexDb, c.filterIndex,
                       c.attenIndex, c.attenNames.size(), c.filterNames[3]),
            std::tuple(300, 2, 5, 2, -1, size_t(0), std::string("0")));

  // A complete query puts the unit's state into the record.
  q.Results.MinFreqMhz = 2200;
  q.Results.MaxFreqMhz = 2400;
  q.Results.PremodFilterFreqKhz = {100, 300, 600, 1000};
  q.Results.FreqSelectedMhz = 22503;  // 100 kHz steps
  q.Results.DeviationSelected = 250;
  q.Results.PremodSelected = 3;
  q.Results.AttenuationDb = 4;
  q.FreqLimitsReceived = q.AttenStepsReceived = true;
  q.IResults.MaxDb = 19;
  q.IResults.NumAttenSteps = 20;
  r = {1500.0, 700, 1, 0};  // a frequency outside the range becomes the selected one
  c = TakeQueryIntoRecord(r, q, true, false);
  EXPECT_EQ(std::tuple(r.FmDeviation, r.PreModFilterSelected, r.AttenuationIndexDb, c.filterIndex,
                       c.attenIndex, c.attenNames.size(), c.attenNames[4]),
            std::tuple(250, 3, 4, 3, 4, size_t(20), std::string("75")));
  EXPECT_NEAR(r.FreqMhz, 2250.3, 1e-9);
  EXPECT_EQ(c.filterNames, (std::vector<std::string>{"100", "300", "600", "1000"}));
  r.FreqMhz = 2400.5;            // the top of the range is in it
  q.Results.PremodSelected = 7;  // indexes the lists do not have leave the record's own
  q.Results.AttenuationDb = 20;
  q.Results.DeviationSelected = 5000;
  TakeQueryIntoRecord(r, q, true, false);
  EXPECT_EQ(std::tuple(r.FreqMhz, r.FmDeviation, r.PreModFilterSelected, r.AttenuationIndexDb),
            std::tuple(2400.5, 999, 3, 4));

  // Left out when not wanted or when the query failed.
  for (bool failed : {false, true}) {
    r = {2300.0, 700, 1, 2};
    q.LastOutcomes[0].result = failed ? SendResult::TimedOut : SendResult::Done;
    TakeQueryIntoRecord(r, q, failed, false);
    EXPECT_EQ(std::tuple(r.FmDeviation, r.PreModFilterSelected, r.AttenuationIndexDb),
              std::tuple(700, 1, 2));
  }
  // The debug menu gives the bench attenuation range.
  q.LastOutcomes[0].result = SendResult::Done;
  c = TakeQueryIntoRecord(r, q, true, true);
  EXPECT_EQ(
      c.attenNames.front() + " " + c.attenNames.back() + " " + std::to_string(c.attenNames.size()),
      "20 -55 16");
}
