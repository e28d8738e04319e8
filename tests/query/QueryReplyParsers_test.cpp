// Reply parsing: the worked replies, and replies a faulty line or unit can produce.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "common/ScriptedOperator.h"
#include "query/QueryReplyParsers.h"
#include "support/Signals.h"

namespace {

const std::string kQueryReply =
    "0003 0960 0BB8 0064 012C 0258 03E8 0001 5DC0 015E 0002 0004 0000 0001 ";

TEST(QueryReplyParsers, QueryReplyStoresMinimumBeforeMaximumAndEveryField) {
  QueryResults r;
  ReplyParse p = ParseQueryReply(kQueryReply, r);
  EXPECT_TRUE(p.Complete(kQueryValueCount));
  EXPECT_EQ(r.FormatNumber, 3u);
  EXPECT_EQ(r.MinFreqMhz, 2400u);
  EXPECT_EQ(r.MaxFreqMhz, 3000u);
  EXPECT_EQ(r.PremodFilterFreqKhz, (std::array<uint32_t, 4>{100, 300, 600, 1000}));
  EXPECT_EQ(r.CurrentFormatLoaded, 1u);
  EXPECT_EQ(r.FreqSelectedMhz, 0x5DC0u);
  EXPECT_EQ(r.DeviationSelected, 0x15Eu);
  EXPECT_EQ(r.PremodSelected, 2u);
  EXPECT_EQ(r.AttenuationDb, 4u);
  EXPECT_EQ(r.PatternType, 0u);
  EXPECT_EQ(r.InputModulationSource, 1u);
}

TEST(QueryReplyParsers, ValueWithoutTrailingSpaceIsNotRead) {
  QueryResults r;
  r.InputModulationSource = 77;
  ReplyParse p = ParseQueryReply(kQueryReply.substr(0, kQueryReply.size() - 1), r);
  EXPECT_EQ(p.valuesStored, 13);
  EXPECT_FALSE(p.Complete(kQueryValueCount));
  EXPECT_EQ(r.PatternType, 0u);
  EXPECT_EQ(r.InputModulationSource, 77u);
}

TEST(QueryReplyParsers, DoubleSpaceEndsTheParseKeepingEarlierValues) {
  QueryResults r;
  r.PremodFilterFreqKhz[0] = 9;
  ReplyParse p = ParseQueryReply("0001 0002 0003  0004 ", r);
  EXPECT_EQ(p.valuesStored, 3);
  EXPECT_EQ(r.MaxFreqMhz, 3u);
  EXPECT_EQ(r.PremodFilterFreqKhz[0], 9u);
}

TEST(QueryReplyParsers, NonHexTokenIsSkippedAndLaterTokensKeepTheirPlaces) {
  QueryResults r;
  r.MinFreqMhz = 55;
  ReplyParse p = ParseQueryReply("0001 12G4 0003 ", r);
  EXPECT_EQ(p.tokensTaken, 3);
  EXPECT_EQ(p.valuesStored, 2);
  EXPECT_EQ(r.MinFreqMhz, 55u);
  EXPECT_EQ(r.MaxFreqMhz, 3u);
}

TEST(QueryReplyParsers, EmptyRepliesAreReportedAndStoreNothing) {
  ScriptedOperator op;
  ScopedOperator scope(op);
  QueryResults q;
  q.FormatNumber = 5;
  WQueryResults w;
  IQueryResults i;
  i.MaxDb = 7;
  EXPECT_EQ(ParseQueryReply("", q).valuesStored, 0);
  EXPECT_EQ(ParseWQueryReply("", w).valuesStored, 0);
  EXPECT_EQ(ParseIQueryReply("", 1, i).valuesStored, 0);
  // A NUL ends the received text, so a reply that starts with one is empty.
  EXPECT_EQ(ParseQueryReply(std::string("\0 0001 ", 7), q).valuesStored, 0);
  EXPECT_EQ(q.FormatNumber, 5u);
  EXPECT_EQ(i.MaxDb, 7u);
  EXPECT_EQ(op.CountPlayed(ErrorTones()), 4);
}

TEST(QueryReplyParsers, WReplyBuildsTheFormatNameOnlyFromAllTwelveTokens) {
  WQueryResults w;
  ReplyParse p =
      ParseWQueryReply("57E9 015E 0002 0001 86A0 0000 0001 9000 4142 4344 4546 4748 ", w);
  EXPECT_TRUE(p.Complete(kWQueryValueCount));
  EXPECT_EQ(w.FreqSelected100khz, 22505u);
  EXPECT_EQ(w.ClockRateLsb, 0x86A0u);
  EXPECT_EQ(w.ControlReg[2], 0x9000u);
  EXPECT_EQ(FormatNameText(w), "ABCDEFGH");

  WQueryResults shortReply = w;
  ParseWQueryReply("0001 0002 0003 0004 0005 0006 0007 0008 6162 6364 6566 ", shortReply);
  EXPECT_EQ(shortReply.FormatNameCode[2], 0x6566u);
  EXPECT_EQ(FormatNameText(shortReply), "ABCDEFGH");
}

TEST(QueryReplyParsers, IReplyGoesToTheFieldOfItsIndex) {
  IQueryResults i;
  EXPECT_TRUE(ParseIQueryReply("13 ", 1, i).Complete(1));
  EXPECT_EQ(i.MaxDb, 19u);
  ParseIQueryReply("0102 ", 0, i);
  ParseIQueryReply("14 99 ", 2, i);
  EXPECT_EQ(i.FirmwareVersion, 0x102u);
  EXPECT_EQ(i.NumAttenSteps, 0x14u);
  EXPECT_EQ(ParseIQueryReply("13 ", 7, i).valuesStored, 0);  // no such item: nothing stored
  EXPECT_FALSE(ParseIQueryReply("13 ", -1, i).Complete(1));
  EXPECT_EQ(i.MaxDb, 19u);
}

TEST(QueryReplyParsers, OverlongValuesSaturateAndExtraTokensAreIgnored) {
  QueryResults r;
  std::string reply = "FFFFFFFFFFFF ";
  for (int n = 0; n < 40; ++n) reply += "0001 ";
  ReplyParse p = ParseQueryReply(reply, r);
  EXPECT_EQ(p.tokensTaken, kQueryValueCount);
  EXPECT_EQ(r.FormatNumber, 0xFFFFFFFFu);
  EXPECT_EQ(r.InputModulationSource, 1u);
}

// Random bytes (what a noisy line delivers) never crash a parser and never store more
// values than a reply holds tokens.
TEST(QueryReplyParsers, RandomBytesAreSurvived) {
  ScriptedOperator op;
  ScopedOperator scope(op);
  std::mt19937 gen(1234);
  std::uniform_int_distribution<int> byte(0, 255), length(0, 600);
  for (int round = 0; round < 2000; ++round) {
    std::string reply(static_cast<size_t>(length(gen)), '\0');
    for (char& c : reply)
      c = static_cast<char>(round % 3 == 0 ? " 0123456789ABCDEFG"[byte(gen) % 18] : byte(gen));
    QueryResults q;
    WQueryResults w;
    IQueryResults i;
    ReplyParse pq = ParseQueryReply(reply, q);
    ReplyParse pw = ParseWQueryReply(reply, w);
    ReplyParse pi = ParseIQueryReply(reply, round % 3, i);
    EXPECT_LE(pq.valuesStored, pq.tokensTaken);
    EXPECT_LE(pq.tokensTaken, kQueryValueCount);
    EXPECT_LE(pw.tokensTaken, kWQueryValueCount);
    EXPECT_LE(pi.tokensTaken, 1);
    EXPECT_EQ(w.FormatName[8], '\0');
  }
}

}  // namespace
