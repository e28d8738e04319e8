// Query replies parsed by hand, the query page's rows, the queries against the virtual unit.
#include <gtest/gtest.h>

#include <string>

#include "common/ScriptedOperator.h"
#include "common/VirtualUnitOnPty.h"
#include "link/Qm48SendDataUnit.h"
#include "query/Qm48QueryUnit.h"
#include "query/QueryDisplayRows.h"
#include "query/QueryReplyParsers.h"
#include "support/Signals.h"

namespace {

std::string Text(const std::vector<uint32_t>& values) {
  std::string text;
  for (uint32_t v : values) text += (text.empty() ? "" : " ") + std::to_string(v);
  return text;
}
std::string Values(const QueryResults& r) {
  const auto& f = r.PremodFilterFreqKhz;
  return Text({r.FormatNumber, r.MinFreqMhz, r.MaxFreqMhz, f[0], f[1], f[2], f[3],
               r.CurrentFormatLoaded, r.FreqSelectedMhz, r.DeviationSelected, r.PremodSelected,
               r.AttenuationDb, r.PatternType, r.InputModulationSource});
}
std::string Values(const WQueryResults& w) {
  return Text({w.FreqSelected100khz, w.Deviation, w.PremodFilter, w.ClockRateMsb, w.ClockRateLsb,
               w.ControlReg[0], w.ControlReg[1], w.ControlReg[2]});
}

TEST(QueryReplyParsers, ReplyLinesAndTheValuesParsed) {
  // Reply line, values stored, tokens taken, the fields after (over fields all 7).
  const std::tuple<std::string, int, int, const char*> cases[] = {
      {"0003 0960 0BB8 0064 012C 0258 03E8 0001 5DC0 015E 0002 0004 0000 0001 ", 14, 14,
       "3 2400 3000 100 300 600 1000 1 24000 350 2 4 0 1"},  // the minimum comes first
      {"0003 0960 0BB8 0064 012C 0258 03E8 0001 5DC0 015E 0002 0004 0000 0001", 13, 13,
       "3 2400 3000 100 300 600 1000 1 24000 350 2 4 0 7"},  // no space: the last is not read
      {"0001 0002 0003  0004 ", 3, 3, "1 2 3 7 7 7 7 7 7 7 7 7 7 7"},  // a double space ends it
      {"0001 12G4 0003 ", 2, 3, "1 7 3 7 7 7 7 7 7 7 7 7 7 7"},  // a non-hex token keeps its place
      {"FFFFFFFFFFFF 0002 ", 2, 2, "4294967295 2 7 7 7 7 7 7 7 7 7 7 7 7"},  // saturates
  };
  for (const auto& [reply, stored, taken, fields] : cases) {
    QueryResults r{7, 7, 7, {7, 7, 7, 7}, 7, 7, 7, 7, 7, 7, 7};
    const ReplyParse p = ParseQueryReply(reply, r);
    EXPECT_EQ(std::pair(p.valuesStored, p.tokensTaken), std::pair(stored, taken)) << reply;
    EXPECT_EQ(Values(r), fields) << reply;
    EXPECT_EQ(p.Complete(kQueryValueCount), stored == kQueryValueCount);
  }
  std::string extra = "0001 ";
  for (int n = 0; n < 40; ++n) extra += "0002 ";
  QueryResults r;
  EXPECT_EQ(ParseQueryReply(extra, r).tokensTaken, kQueryValueCount);  // extra tokens ignored

  WQueryResults w;
  EXPECT_TRUE(ParseWQueryReply("57E9 015E 0002 0001 86A0 0000 0001 9000 4142 4344 4546 4748 ", w)
                  .Complete(kWQueryValueCount));
  EXPECT_EQ(Values(w), "22505 350 2 1 34464 0 1 36864");
  EXPECT_EQ(FormatNameText(w), "ABCDEFGH");
  // The name is built only from all twelve tokens.
  ParseWQueryReply("0001 0002 0003 0004 0005 0006 0007 0008 6162 6364 6566 ", w);
  EXPECT_EQ(w.FormatNameCode[2], 0x6566u);
  EXPECT_EQ(FormatNameText(w), "ABCDEFGH");

  IQueryResults i;
  EXPECT_TRUE(ParseIQueryReply("13 ", 1, i).Complete(1));
  ParseIQueryReply("0102 ", 0, i);
  ParseIQueryReply("14 99 ", 2, i);
  EXPECT_EQ(Text({i.FirmwareVersion, i.MaxDb, i.NumAttenSteps}), "258 19 20");
  EXPECT_EQ(ParseIQueryReply("15 ", 7, i).valuesStored, 0);  // no such item: nothing stored
  EXPECT_FALSE(ParseIQueryReply("15 ", -1, i).Complete(1));
  EXPECT_EQ(i.MaxDb, 19u);

  ScriptedOperator op;  // an empty reply is reported with the error signal
  ScopedOperator scope(op);
  EXPECT_EQ(ParseQueryReply("", r).valuesStored + ParseWQueryReply("", w).valuesStored +
                ParseIQueryReply("", 1, i).valuesStored +
                ParseQueryReply(std::string("\0 0001 ", 7), r).valuesStored,  // a NUL ends it
            0);
  EXPECT_EQ(op.CountPlayed(ErrorTones()), 4);
}

TEST(QueryDisplayRows, ValuesInTheUnitsAnOperatorReads) {
  QueryResults q{.FormatNumber = 3,
                 .MaxFreqMhz = 2400,
                 .PremodFilterFreqKhz = {100, 300, 600, 1000},
                 .FreqSelectedMhz = 22503,
                 .AttenuationDb = 3,
                 .PatternType = 2,
                 .InputModulationSource = 1};
  WQueryResults w;
  ParseWQueryReply("57E9 015E 0002 0001 86A0 0000 0001 FFFF 4142 4344 4546 4748 ", w);
  const IQueryResults i{.MaxDb = 19};
  std::string shown;
  for (const auto& row : QueryGridRows(q, w, i)) shown += row.value + "|";
  q.AttenuationDb = 21;  // beyond the maximum: a negative figure, not a wrapped one
  for (const auto& row : {QueryGridRows(q, w, i)[11], QueryGridRows({}, {}, {})[12]})
    shown += row.value + "|";
  for (const auto& row : WQueryGridRows(w)) shown += row.value + "|";
  EXPECT_EQ(shown,
            "3|2400.5|0.0|100|300|600|1000|ABCDEFGH|2250.3|0|0|80|15 Bit PRN|External|-10|PCM|"
            "22505|350|2|1|34464|0|1|65535|16706|17220|17734|18248|ABCDEFGH|");
}

class QuerySender : public ::testing::Test {
 protected:
  ScriptedOperator op;
  ScopedOperator scope{op};
  progqueryclass query;
};

TEST_F(QuerySender, ResultsAreWhatTheUnitHolds) {
  VirtualUnitOptions options;
  // Frequencies, filters, firmware, top attenuation, steps, PRN pattern, external input.
  options.limits = {1435, 1540, {110, 320, 640, 1280}, 0x0207, 17, 12, 1, 1};
  VirtualUnitOnPty link(options);
  ASSERT_TRUE(link.Ready());
  // A transmitter and a small simulator load: their replies must not be read as values.
  TransmitBuffer load;
  for (const char* c : {"0 R", "2 N", "Hpcm test", "9000 0000 T", "0002 0001 T", "0008 0002 T",
                        "0001 86A0 K", "57E9 0 G", "015E 1 G", "0002 2 G", "0004 3 G", "S", "1 R"})
    load.AppendCommand(c);
  ASSERT_TRUE(SendBuffer(link.Link(), "LOADING", load).Ok());
  const SendOutcome out = query.RunQueries(link.Link(), {300});
  ASSERT_EQ(out.result, SendResult::Done) << SendOutcomeText(out);
  EXPECT_EQ(Values(query.Results), "2 1435 1540 110 320 640 1280 1 22505 350 2 4 1 1");
  EXPECT_EQ(Values(query.WResults), "22505 350 2 1 34464 36864 2 8");
  EXPECT_EQ(FormatNameText(query.WResults), "pcm test");
  const IQueryResults& i = query.IResults;
  EXPECT_EQ(Text({i.FirmwareVersion, i.MaxDb, i.NumAttenSteps}), "519 17 12");
  const TxUnitLimits tx = query.TxLimits();
  EXPECT_TRUE(tx.FreqLimitsKnown && tx.AttenStepsKnown);
  EXPECT_EQ(Text({tx.MinFreqMhz, tx.MaxFreqMhz, tx.NumAttenSteps}), "1435 1540 12");
  const auto commands = link.Unit().Commands();
  EXPECT_EQ(std::vector<std::string>(commands.end() - 5, commands.end()),
            (std::vector<std::string>{"Q", "W", "0FI", "0BI", "0CI"}));
  EXPECT_EQ(op.Progresses().size(), 6u);  // the load and each query
}

// A unit that misbehaves never leaves values in the wrong fields or looks like success.
TEST_F(QuerySender, FaultsOfTheUnitAndTheLine) {
  const UnitLimits unit;
  const struct {
    const char* fault;
    int timeoutMs;
    SendResult result;
    const char* failedCommand;
    bool freqKnown, stepsKnown;
    size_t commands;  // the unit received
  } cases[] = {
      {"silent-after=2", 100, SendResult::TimedOut, "0FI", true, false, 5},
      {"vanish-after=1", 5000, SendResult::Disconnected, "W", true, false, 2},
      {"echo", 300, SendResult::InvalidReply, "Q", true, false, 5},  // "Q" ran into a value
      {"stray-cr", 1000, SendResult::Done, "", true, true, 5},       // a lone CR is no reply
      // Q stops after the minimum frequency: unreadable, and no frequency limit is known.
      {"short-reply=2", 300, SendResult::InvalidReply, "Q", false, true, 5},
      {"second-writer", 300, SendResult::InvalidReply, "Q", false, false, 5},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.fault);
    VirtualUnitOnPty link(c.fault);
    ASSERT_TRUE(link.Ready());
    progqueryclass q;
    const SendOutcome out = q.RunQueries(link.Link(), {c.timeoutMs});
    EXPECT_EQ(out.result, c.result) << SendOutcomeText(out);
    EXPECT_EQ(out.commandText, c.result == SendResult::Done ? out.commandText : c.failedCommand);
    EXPECT_EQ(q.TxLimits().FreqLimitsKnown, c.freqKnown);
    EXPECT_EQ(q.TxLimits().AttenStepsKnown, c.stepsKnown);
    EXPECT_TRUE(!c.freqKnown || q.Results.MaxFreqMhz == unit.maxFreqMhz);
    EXPECT_EQ(q.IResults.NumAttenSteps, c.stepsKnown ? unit.numAttenSteps : 0u);
    EXPECT_TRUE(!c.stepsKnown || q.IResults.FirmwareVersion == unit.firmwareVersion);
    EXPECT_EQ(link.Unit().CommandCount(), c.commands);
    if (std::string(c.fault) == "echo") {  // "Q" ran into the first value, the rest in place
      EXPECT_EQ(Text({q.Results.FormatNumber, q.Results.MinFreqMhz, q.Results.MaxFreqMhz}),
                "0 " + std::to_string(unit.minFreqMhz) + " " + std::to_string(unit.maxFreqMhz));
    }
  }

  query.Results.MaxFreqMhz = 7;  // without a port nothing changes and no limit is known
  UnitLink unconnected;
  EXPECT_EQ(query.RunQueries(unconnected, {300}).result, SendResult::NoPort);
  EXPECT_EQ(query.Results.MaxFreqMhz, 7u);
  EXPECT_FALSE(query.TxLimits().FreqLimitsKnown);

  VirtualUnitOnPty silent("silent");  // Cancel ends each query without waiting for its reply
  op.ClearRecords();
  op.CancelProgressAfterPolls(3);
  EXPECT_EQ(query.RunQueries(silent.Link(), {20000}).result, SendResult::Cancelled);
  EXPECT_EQ(op.Progresses().size(), 5u);
}

}  // namespace
