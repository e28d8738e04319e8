// The five queries against the virtual unit: the results are the unit's state, and a
// unit that misbehaves never leaves values in the wrong fields or looks like success.
#include <gtest/gtest.h>

#include <string>

#include "common/ScriptedOperator.h"
#include "common/VirtualUnitOnPty.h"
#include "link/Qm48SendDataUnit.h"
#include "query/Qm48QueryUnit.h"

namespace {

QueryOptions Quick(int timeoutMs = 300) {
  QueryOptions options;
  options.replyTimeoutMs = timeoutMs;
  return options;
}

UnitLimits OddLimits() {
  UnitLimits limits;
  limits.minFreqMhz = 1435;
  limits.maxFreqMhz = 1540;
  limits.premodFilterKhz = {110, 320, 640, 1280};
  limits.firmwareVersion = 0x0207;
  limits.maxDb = 17;
  limits.numAttenSteps = 12;
  limits.patternType = 1;
  limits.inputModulationSource = 1;
  return limits;
}

// What a transmitter and a small simulator load leave in the unit.
const TransmitBuffer& LoadStream() {
  static const TransmitBuffer buffer = [] {
    TransmitBuffer b;
    for (const char* c :
         {"0 R", "2 N", "Hpcm test", "9000 0000 T", "0002 0001 T", "0008 0002 T", "0001 86A0 K",
          "57E9 0 G", "015E 1 G", "0002 2 G", "0004 3 G", "S", "1 R"})
      b.AppendCommand(c);
    return b;
  }();
  return buffer;
}

class QuerySender : public ::testing::Test {
 protected:
  ScriptedOperator op;
  ScopedOperator scope{op};
  progqueryclass query;
};

TEST_F(QuerySender, ResultsAreWhatTheUnitHolds) {
  VirtualUnitOptions options;
  options.limits = OddLimits();
  VirtualUnitOnPty link(options);
  ASSERT_TRUE(link.Ready());
  // The command replies left in the reply line must not be read as query values.
  ASSERT_TRUE(SendBuffer(link.Link(), "LOADING", LoadStream()).Ok());
  SendOutcome out = query.RunQueries(link.Link(), Quick());
  ASSERT_EQ(out.result, SendResult::Done) << SendOutcomeText(out);

  const UnitLimits l = OddLimits();
  const QueryResults& q = query.Results;
  EXPECT_EQ(q.FormatNumber, 2u);
  EXPECT_EQ(q.MinFreqMhz, l.minFreqMhz);
  EXPECT_EQ(q.MaxFreqMhz, l.maxFreqMhz);
  EXPECT_EQ(q.PremodFilterFreqKhz, l.premodFilterKhz);
  EXPECT_EQ(q.FreqSelectedMhz, 0x57E9u);
  EXPECT_EQ(q.DeviationSelected, 0x15Eu);
  EXPECT_EQ(q.PremodSelected, 2u);
  EXPECT_EQ(q.AttenuationDb, 4u);
  EXPECT_EQ(q.PatternType, l.patternType);
  EXPECT_EQ(q.InputModulationSource, l.inputModulationSource);

  const WQueryResults& w = query.WResults;
  EXPECT_EQ(w.FreqSelected100khz, 0x57E9u);
  EXPECT_EQ(w.Deviation, 0x15Eu);
  EXPECT_EQ(w.PremodFilter, 2u);
  EXPECT_EQ(w.ClockRateMsb, 1u);
  EXPECT_EQ(w.ClockRateLsb, 0x86A0u);
  EXPECT_EQ(w.ControlReg, (std::array<uint32_t, 3>{0x9000, 2, 8}));
  EXPECT_EQ(FormatNameText(w), "pcm test");

  EXPECT_EQ(query.IResults.FirmwareVersion, l.firmwareVersion);
  EXPECT_EQ(query.IResults.MaxDb, l.maxDb);
  EXPECT_EQ(query.IResults.NumAttenSteps, l.numAttenSteps);

  TxUnitLimits tx = query.TxLimits();
  EXPECT_TRUE(tx.FreqLimitsKnown);
  EXPECT_TRUE(tx.AttenStepsKnown);
  EXPECT_EQ(tx.MinFreqMhz, l.minFreqMhz);
  EXPECT_EQ(tx.NumAttenSteps, l.numAttenSteps);

  std::vector<std::string> captions;
  for (const auto& p : op.Progresses()) captions.push_back(p.request.caption);
  EXPECT_EQ(captions, (std::vector<std::string>{"LOADING", "LOADING QUERY INFO",
                                                "LOADING W-QUERY INFO", "LOADING I-QUERY INFO",
                                                "LOADING I-QUERY INFO", "LOADING I-QUERY INFO"}));
  const auto commands = link.Unit().Commands();
  EXPECT_EQ(std::vector<std::string>(commands.end() - 5, commands.end()),
            (std::vector<std::string>{"Q", "W", "0FI", "0BI", "0CI"}));
}

TEST_F(QuerySender, WithoutAPortNothingChangesAndNoLimitIsKnown) {
  query.Results.MaxFreqMhz = 7;
  UnitLink unconnected;
  SendOutcome out = query.RunQueries(unconnected, Quick());
  EXPECT_EQ(out.result, SendResult::NoPort);
  EXPECT_EQ(query.Results.MaxFreqMhz, 7u);
  EXPECT_FALSE(query.TxLimits().FreqLimitsKnown);
  EXPECT_FALSE(query.TxLimits().AttenStepsKnown);
}

TEST_F(QuerySender, SilentUnitTimesOutEveryQueryAndTheFirstIsReported) {
  VirtualUnitOnPty link("silent");
  ASSERT_TRUE(link.Ready());
  SendOutcome out = query.RunQueries(link.Link(), Quick(100));
  EXPECT_EQ(out.result, SendResult::TimedOut);
  EXPECT_EQ(out.commandText, "Q");
  for (const SendOutcome& each : query.LastOutcomes) EXPECT_EQ(each.result, SendResult::TimedOut);
  EXPECT_EQ(link.Unit().CommandCount(), 5u);  // every query still ran
  EXPECT_FALSE(query.TxLimits().FreqLimitsKnown);
}

TEST_F(QuerySender, UnitFallingSilentKeepsWhatItAnswered) {
  VirtualUnitOnPty link("silent-after=2");
  ASSERT_TRUE(link.Ready());
  SendOutcome out = query.RunQueries(link.Link(), Quick(100));
  EXPECT_EQ(out.result, SendResult::TimedOut);
  EXPECT_EQ(out.commandText, "0FI");
  EXPECT_EQ(query.Results.MaxFreqMhz, UnitLimits{}.maxFreqMhz);
  EXPECT_TRUE(query.TxLimits().FreqLimitsKnown);
  EXPECT_FALSE(query.TxLimits().AttenStepsKnown);
  EXPECT_EQ(query.IResults.NumAttenSteps, 0u);
}

TEST_F(QuerySender, VanishingPortEndsWithDisconnected) {
  VirtualUnitOnPty link("vanish-after=1");
  ASSERT_TRUE(link.Ready());
  SendOutcome out = query.RunQueries(link.Link(), Quick(5000));
  EXPECT_EQ(out.result, SendResult::Disconnected) << SendOutcomeText(out);
  EXPECT_EQ(out.commandText, "W");
  EXPECT_TRUE(query.LastOutcomes[0].Ok());
}

TEST_F(QuerySender, CancelEndsEachQueryWithoutWaitingForItsReply) {
  VirtualUnitOnPty link("silent");
  ASSERT_TRUE(link.Ready());
  op.CancelProgressAfterPolls(3);
  SendOutcome out = query.RunQueries(link.Link(), Quick(20000));
  EXPECT_EQ(out.result, SendResult::Cancelled);
  EXPECT_EQ(op.Progresses().size(), 5u);
}

TEST_F(QuerySender, GarbageAndEchoedRepliesAreReportedAsUnreadable) {
  for (const char* fault : {"garbage", "echo"}) {
    SCOPED_TRACE(fault);
    VirtualUnitOnPty link(fault);
    ASSERT_TRUE(link.Ready());
    progqueryclass fresh;
    SendOutcome out = fresh.RunQueries(link.Link(), Quick());
    EXPECT_EQ(out.result, SendResult::InvalidReply);
    EXPECT_EQ(fresh.LastOutcomes[0].result, SendResult::InvalidReply);
    EXPECT_EQ(out.commandText, "Q");
    if (std::string(fault) == "echo") {
      // "Q" ran into the first value; the values after it keep their places.
      EXPECT_EQ(fresh.Results.FormatNumber, 0u);
      EXPECT_EQ(fresh.Results.MinFreqMhz, UnitLimits{}.minFreqMhz);
      EXPECT_EQ(fresh.Results.MaxFreqMhz, UnitLimits{}.maxFreqMhz);
    }
  }
}

TEST_F(QuerySender, StrayCarriageReturnsAndSlowRepliesStillGiveEveryValue) {
  for (const char* fault : {"double-cr", "stray-cr", "slow=40"}) {
    SCOPED_TRACE(fault);
    VirtualUnitOnPty link(fault);
    ASSERT_TRUE(link.Ready());
    progqueryclass fresh;
    SendOutcome out = fresh.RunQueries(link.Link(), Quick(1000));
    EXPECT_EQ(out.result, SendResult::Done) << SendOutcomeText(out);
    EXPECT_EQ(fresh.Results.MaxFreqMhz, UnitLimits{}.maxFreqMhz);
    EXPECT_EQ(fresh.IResults.NumAttenSteps, UnitLimits{}.numAttenSteps);
    EXPECT_EQ(fresh.IResults.FirmwareVersion, UnitLimits{}.firmwareVersion);
  }
}

TEST(NextQueryCommand, AnyLetterFromGToZEndsACommand) {
  const std::string text = "0FIHQ0A";
  uint32_t index = 0;
  auto data = reinterpret_cast<const uint8_t*>(text.data());
  const uint32_t fill = static_cast<uint32_t>(text.size());
  EXPECT_EQ(NextQueryCommand(data, fill, index), "0FI");
  EXPECT_EQ(NextQueryCommand(data, fill, index), "H");
  EXPECT_EQ(NextQueryCommand(data, fill, index), "Q");
  EXPECT_EQ(NextQueryCommand(data, fill, index), "0A");
  EXPECT_EQ(NextQueryCommand(data, fill, index), "");
  const std::string noLetter(600, '1');
  index = 0;
  EXPECT_EQ(NextQueryCommand(reinterpret_cast<const uint8_t*>(noLetter.data()), 600, index).size(),
            512u);
}

}  // namespace
