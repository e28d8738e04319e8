#include "simulator/MemoryImages.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <memory>
#include <random>

#include "simulator/Qm48SimulatorUnit.h"

namespace {

std::unique_ptr<progsimulatorclass> Fresh() {
  RuntimeSrand(1);
  return std::make_unique<progsimulatorclass>();
}

// address -> value of a table's writes (each address once).
std::map<int64_t, uint16_t> ByAddress(const std::vector<MemoryImageWrite>& writes) {
  std::map<int64_t, uint16_t> out;
  for (const MemoryImageWrite& w : writes) {
    EXPECT_EQ(out.count(w.Address), 0u) << "address written twice: " << w.Address;
    out[w.Address] = w.Value;
  }
  return out;
}

void SetPattern(SimSetupData& s, const char* text, int radix, int length) {
  std::memset(s.FrameSyncPattern, 0, sizeof s.FrameSyncPattern);
  std::strcpy(s.FrameSyncPattern, text);
  s.FsPatternRadix = radix;
  s.FrameSyncLength = length;
}

void AllWords(SimSetupData& s, uint16_t length) {
  s.CommonWordLength = length;
  for (SimWord& w : s.Words) w.SimWordLen = length;
}

void NoDynamicOrUniqueWords(SimSetupData& s) {
  for (SimDynamicWord& d : s.DynamicWords) d.SimDynamicWordWave = kWaveNothing;
  for (SimUniqueWord& u : s.UniqueWords) u.SimUniqueWordStartWord = 0;
}

}  // namespace

// Every table of the default setup, checked against the values worked out for it by hand.
TEST(MemoryImages, DefaultSetupTables) {
  auto sim = Fresh();
  SimSetupData& s = sim->Setup;

  SfIdCounterRange range = SfIdRange(s);
  EXPECT_EQ(range.Low, 0);
  EXPECT_EQ(range.High, 63);
  EXPECT_EQ(range.Last, 63);

  auto frames = ByAddress(BuildFrameAttributes(s));
  ASSERT_EQ(frames.size(), 64u);
  EXPECT_EQ(frames.begin()->first, 32768);
  EXPECT_EQ(frames[32768], 0x7F);  // all seven unique words start in frame 0
  EXPECT_EQ(frames[32831], 0x80);  // the frame that ends the major frame
  for (int64_t a = 32769; a < 32831; ++a) EXPECT_EQ(frames[a], 0) << a;

  BuildWordAttributes(s, sim->WordAttributes);
  auto attr = [&](int wordNumber) { return WordAttribute(s, sim->WordAttributes, wordNumber - 1); };
  EXPECT_EQ(attr(1), 0x1F00);  // frame sync, 16 bits
  EXPECT_EQ(attr(2), 0x1F00);
  EXPECT_EQ(attr(3), 0x2F00);                                                      // subframe ID
  for (int n = 4; n <= 8; ++n) EXPECT_EQ(attr(n), ((n - 1) << 12) | 0x0F00) << n;  // types 3..7
  for (int n = 9; n <= 15; ++n) EXPECT_EQ(attr(n), 0x0F00 | (1 << (n - 9))) << n;  // bits 0..6
  for (int n = 16; n <= 255; ++n) ASSERT_EQ(attr(n), 0x0F00) << n;
  EXPECT_EQ(attr(256), 0x8F00);

  auto sync = BuildFrameSyncWords(s);
  ASSERT_EQ(sync.size(), 2u);
  EXPECT_EQ(sync[0].Address, 9217);
  EXPECT_EQ(sync[0].Value, 0xFE6B);
  EXPECT_EQ(sync[1].Address, 9218);
  EXPECT_EQ(sync[1].Value, 0x2840);

  auto sfid = SfIdValues(s);
  ASSERT_EQ(sfid.size(), 64u);
  for (int c = 0; c < 64; ++c) {
    EXPECT_EQ(sfid[c].Address, 10240 + c);
    EXPECT_EQ(sfid[c].Value, c);  // shift 0: bit 5 holds the top bit of 0..63
  }

  auto unique = UniqueWordValues(s);
  ASSERT_EQ(unique.size(), 7u);
  for (int k = 0; k < 7; ++k) {
    EXPECT_EQ(unique[k].Address, 8192 + k);
    EXPECT_EQ(unique[k].Value, 0xBEEF);
  }

  auto values = WordValues(s);
  ASSERT_EQ(values.size(), 256u);
  EXPECT_EQ(values[0].Address, 1);
  EXPECT_EQ(values[0].Value, 346);
  EXPECT_EQ(values[2].Value, 10982);
  EXPECT_EQ(values[255].Address, 256);
}

TEST(MemoryImages, CounterRange) {
  auto sim = Fresh();
  SimSetupData& s = sim->Setup;
  // One minor frame: last equals first, so the record restarts at 0 and runs 0..255.
  s.NumSubframes = 1;
  s.FirstSubFrameNum = 1;
  SfIdCounterRange r = SfIdRange(s);
  EXPECT_EQ(s.FirstSubFrameNum, 0);
  EXPECT_EQ(r.Low, 0);
  EXPECT_EQ(r.High, 255);
  EXPECT_EQ(r.Last, 255);

  // Downward from 0 over 64 frames: last = N - first - 1.
  s.SubframeDirection = 1;
  s.NumSubframes = 64;
  r = SfIdRange(s);
  EXPECT_EQ(r.Low, 0);
  EXPECT_EQ(r.High, 63);
  // Downward from 1 over 3 frames reaches its first value again: the reset bounds use 0.
  s.FirstSubFrameNum = 1;
  s.NumSubframes = 3;
  r = SfIdRange(s);
  EXPECT_EQ(s.FirstSubFrameNum, 0);
  EXPECT_EQ(r.Low, 0);
  EXPECT_EQ(r.High, 255);
  // A second call on the reset record sees a different counter (0..2).
  r = SfIdRange(s);
  EXPECT_EQ(r.Low, 0);
  EXPECT_EQ(r.High, 2);

  // No frames at all counts downward through negative values.
  s.SubframeDirection = 0;
  s.NumSubframes = -5;
  r = SfIdRange(s);
  EXPECT_EQ(r.Low, -6);
  EXPECT_EQ(r.High, 0);

  // A huge modulus is cut to what the unit's tables can hold.
  s.NumSubframes = 2000000000;
  r = SfIdRange(s);
  EXPECT_EQ(r.Low, 0);
  EXPECT_EQ(r.High - r.Low + 1, kMaxCounterValues);
  s.NumSubframes = INT32_MIN;
  r = SfIdRange(s);
  EXPECT_LE(r.High - r.Low + 1, kMaxCounterValues);
}

TEST(MemoryImages, FrameAttributesTakeTheFrameOffsetBeforeTheReset) {
  auto sim = Fresh();
  SimSetupData& s = sim->Setup;
  NoDynamicOrUniqueWords(s);
  s.UniqueWords[0].SimUniqueWordStartWord = 10;
  s.UniqueWords[0].SimUniqueWordStartFrame = 0;          // +1 with a counter from 1
  s.UniqueWords[0].SimUniqueWordStartFrameInterval = 7;  // 1 with one minor frame
  s.NumSubframes = 1;
  s.FirstSubFrameNum = 1;
  // f0 = 1 from before the reset; the counter then runs 0..255, so frames -1..254 are
  // written at 32768 + f + 1 and the major frame ends at 255 - 1.
  auto writes = BuildFrameAttributes(s);
  EXPECT_EQ(s.FirstSubFrameNum, 0);
  ASSERT_EQ(writes.size(), 256u);
  EXPECT_EQ(writes.front().Address, 32768);
  EXPECT_EQ(writes.front().Value, 0);  // frame -1 lies before the unique word's start
  for (size_t i = 1; i < 255; ++i) ASSERT_EQ(writes[i].Value, 0x01) << i;
  EXPECT_EQ(writes.back().Address, 33023);
  EXPECT_EQ(writes.back().Value, 0x81);
}

TEST(MemoryImages, UniqueWordFrameRepeatStartsOnlyAtItsStartFrame) {
  auto sim = Fresh();
  SimSetupData& s = sim->Setup;
  NoDynamicOrUniqueWords(s);
  s.NumSubframes = 10;
  s.UniqueWords[2].SimUniqueWordStartWord = 20;  // list index 0: bit 0
  s.UniqueWords[2].SimUniqueWordStartFrame = 2;
  s.UniqueWords[2].SimUniqueWordStartFrameInterval = 3;
  s.UniqueWords[5].SimUniqueWordStartWord = 21;  // list index 1: bit 1, frame 9 only
  s.UniqueWords[5].SimUniqueWordStartFrame = 9;
  s.UniqueWords[6].SimUniqueWordStartWord = 22;  // starts outside the major frame
  s.UniqueWords[6].SimUniqueWordStartFrame = 10;
  s.UniqueWords[6].SimUniqueWordStartFrameInterval = 1;
  auto writes = BuildFrameAttributes(s);
  ASSERT_EQ(writes.size(), 10u);
  const uint16_t expected[10] = {0, 0, 1, 0, 0, 1, 0, 0, 1, 0x82};
  for (int f = 0; f < 10; ++f) EXPECT_EQ(writes[f].Value, expected[f]) << f;
  // The values of the seven slots: the active ones first, then zeros.
  auto values = UniqueWordValues(s);
  EXPECT_EQ(values[0].Value, 0xBEEF);
  EXPECT_EQ(values[2].Value, 0xBEEF);
  EXPECT_EQ(values[3].Value, 0);
}

TEST(MemoryImages, WordAttributeMarking) {
  auto sim = Fresh();
  SimSetupData& s = sim->Setup;
  NoDynamicOrUniqueWords(s);
  s.WordsPerMinorFrame = 20;
  s.NumSubframes = 8;
  // Unique word 0 starts outside the major frame: it takes no bit and the next one that
  // starts inside it doubles the mask bit to bit 1.
  s.UniqueWords[0] = {8, 0, 12, 0, 1};
  s.UniqueWords[1] = {3, 0, 0 + 5, 6, 2};  // words 5, 11, 17
  s.UniqueWords[2] = {0, 0, 70000, 1, 3};  // start word 70000 is 4464 as a 16-bit number
  // Dynamic word 0 repeats every 4 words from word 2; dynamic word 1 has a negative
  // interval (start word only); dynamic word 2 starts before the frame.
  s.DynamicWords[0] = {2, 4, kWaveSine};
  s.DynamicWords[1] = {3, -2, kWaveCosine};
  s.DynamicWords[2] = {-1, 5, kWaveSquare};  // indexes -2, 3, 8, ...
  s.DynamicWords[3] = {20, 0, kWaveRandom};  // the last word
  s.SfIdWordNum = 2;                         // also dynamic word 0's start: type 2 wins
  BuildWordAttributes(s, sim->WordAttributes);
  auto mask = [&](int n) { return WordAttribute(s, sim->WordAttributes, n - 1) & 0x7F; };
  auto type = [&](int n) { return (WordAttribute(s, sim->WordAttributes, n - 1) >> 12) & 7; };
  for (int n : {5, 11, 17}) EXPECT_EQ(mask(n), 2) << n;
  EXPECT_EQ(mask(12), 0);
  EXPECT_EQ(type(2), 2);
  EXPECT_EQ(type(6), 3);
  EXPECT_EQ(type(10), 3);
  EXPECT_EQ(type(18), 3);
  EXPECT_EQ(type(3), 4);
  EXPECT_EQ(type(4), 5);
  EXPECT_EQ(type(9), 5);
  EXPECT_EQ(type(14), 7);  // dynamic words 0 and 2 meet: their types are ORed (3 | 5)
  EXPECT_EQ(type(19), 5);
  EXPECT_EQ(type(20), 6);
  EXPECT_EQ(type(1), 1);  // the 32-bit pattern's words win over dynamic words
  EXPECT_EQ(type(7), 0);
  EXPECT_EQ(WordAttribute(s, sim->WordAttributes, 19) & 0x8000, 0x8000);
  // Word length 0 keeps its four low bits of length - 1.
  s.Words[6].SimWordLen = 0;
  BuildWordAttributes(s, sim->WordAttributes);
  EXPECT_EQ(WordAttribute(s, sim->WordAttributes, 6) & 0x0F00, 0x0F00);
}

TEST(MemoryImages, TrailingSeventeenBitPattern) {
  auto sim = Fresh();
  SimSetupData& s = sim->Setup;
  s.PatternLeads = 0;
  SetPattern(s, "1ABCF", 2, 17);  // 1 1010 1011 1100 1111
  auto sync = BuildFrameSyncWords(s);
  ASSERT_EQ(sync.size(), 2u);
  EXPECT_EQ(sync[0].Address, 9216 + 255);
  EXPECT_EQ(sync[0].Value, 0x0001);  // the first bit, least significant
  EXPECT_EQ(sync[1].Address, 9216 + 256);
  EXPECT_EQ(sync[1].Value, 0xABCF);  // the last 16 bits
  BuildWordAttributes(s, sim->WordAttributes);
  EXPECT_EQ(WordAttribute(s, sim->WordAttributes, 254) >> 12, 1);
  EXPECT_EQ(WordAttribute(s, sim->WordAttributes, 255), 0x9F00);
  EXPECT_EQ(WordAttribute(s, sim->WordAttributes, 0) >> 12, 0);

  // The same with LSB-first words: the chunk is reversed and its leftover bit shifted out,
  // so the last word holds bits 0..14 and the word before it bit 15, at the top.
  s.BitOrder = 1;
  sync = BuildFrameSyncWords(s);
  ASSERT_EQ(sync.size(), 2u);
  EXPECT_EQ(sync[0].Value, 0x8000);
  EXPECT_EQ(sync[1].Value, 0x6AF3);
}

TEST(MemoryImages, LsbFirstPatternOfWholeWordsKeepsItsWords) {
  auto sim = Fresh();
  SimSetupData& s = sim->Setup;
  s.BitOrder = 1;
  // Each 16-bit chunk is reversed and then placed from bit 0 upward: the words come out as
  // with MSB-first words.
  auto sync = BuildFrameSyncWords(s);
  ASSERT_EQ(sync.size(), 2u);
  EXPECT_EQ(sync[0].Value, 0xFE6B);
  EXPECT_EQ(sync[1].Value, 0x2840);
  // A 17-bit leading pattern loses its last bit to the leftover shift.
  SetPattern(s, "1ABCD", 2, 17);
  sync = BuildFrameSyncWords(s);
  ASSERT_EQ(sync.size(), 2u);
  EXPECT_EQ(sync[0].Value, 0xD5E6);
  EXPECT_EQ(sync[1].Value, 0x0000);
  s.BitOrder = 0;
  sync = BuildFrameSyncWords(s);
  EXPECT_EQ(sync[0].Value, 0xD5E6);
  EXPECT_EQ(sync[1].Value, 0x8000);
}

TEST(MemoryImages, PatternsWithoutSyncWords) {
  auto sim = Fresh();
  SimSetupData& s = sim->Setup;
  // 64 bits in 2-bit words need 32 words: more than 22, so no sync words at all.
  AllWords(s, 2);
  SetPattern(s, "FFFFFFFFFFFFFFFF", 2, 64);
  EXPECT_EQ(FrameSyncWordCount(s), 0);
  EXPECT_TRUE(BuildFrameSyncWords(s).empty());
  BuildWordAttributes(s, sim->WordAttributes);
  for (int i = 0; i < 256; ++i) ASSERT_NE(WordAttribute(s, sim->WordAttributes, i) >> 12 & 7, 1);
  // 22 words of 3 bits reach 64: exactly 22.
  AllWords(s, 3);
  EXPECT_EQ(FrameSyncWordCount(s), 22);
  EXPECT_EQ(BuildFrameSyncWords(s).size(), 22u);

  // A trailing pattern in a frame too short for it gets no sync words.
  AllWords(s, 16);
  SetPattern(s, "FE6B2840", 2, 32);
  s.PatternLeads = 0;
  s.WordsPerMinorFrame = 1;
  EXPECT_EQ(FrameSyncWordCount(s), 0);
  EXPECT_TRUE(BuildFrameSyncWords(s).empty());
  s.WordsPerMinorFrame = 2;
  EXPECT_EQ(FrameSyncWordCount(s), 2);
  auto sync = BuildFrameSyncWords(s);
  ASSERT_EQ(sync.size(), 2u);
  EXPECT_EQ(sync[0].Address, 9217);
  EXPECT_EQ(sync[1].Address, 9218);

  // Word number 1024 and above wrap in the sync area.
  s.WordsPerMinorFrame = 1025;
  sync = BuildFrameSyncWords(s);
  EXPECT_EQ(sync[0].Address, 9216 + 1024 % 1024);
  EXPECT_EQ(sync[1].Address, 9216 + 1025 % 1024);
}

TEST(MemoryImages, SubframeIdShift) {
  auto sim = Fresh();
  SimSetupData& s = sim->Setup;
  s.SfIdStartBit = 7;  // 64 frames need 6 bits: shift 2
  auto sfid = SfIdValues(s);
  EXPECT_EQ(sfid[63].Value, 63 << 2);
  s.NumSubframes = 1024;
  s.FirstSubFrameNum = 1;  // 1..1024: the top value needs 11 bits
  s.SfIdStartBit = 15;
  sfid = SfIdValues(s);
  ASSERT_EQ(sfid.size(), 1024u);
  EXPECT_EQ(sfid.front().Address, 10241);
  EXPECT_EQ(sfid.back().Address, 10240 + 1024);
  EXPECT_EQ(sfid.back().Value, (1024 << 5) & 0xFFFF);
  // A start bit below the counter's width gives shift 0; 32 and more moves everything out.
  s.SfIdStartBit = 2;
  EXPECT_EQ(SfIdValues(s).back().Value, 1024);
  s.SfIdStartBit = 40;
  for (const MemoryImageWrite& w : SfIdValues(s)) ASSERT_EQ(w.Value, 0);
  EXPECT_EQ(SfIdShift(30, 1), 30);
  EXPECT_EQ(SfIdShift(INT32_MAX, 0), static_cast<int64_t>(INT32_MAX) + 1);
  EXPECT_EQ(SignificantBits(0), 0);
  EXPECT_EQ(SignificantBits(63), 6);
  EXPECT_EQ(SignificantBits(-1), 32);
}

// Records no file or editor would make: every table is built without reading or writing
// outside the record's tables (the sanitizers watch) and without endless loops.
TEST(MemoryImages, HostileRecordsStayInsideTheTables) {
  std::mt19937 rng(4);
  const int32_t extremes[] = {
      INT32_MIN, INT32_MIN + 1, -70000, -32769, -32768, -1,    0,     1,     2,     63,
      64,        1023,          1024,   16383,  16384,  32767, 32768, 65535, 65536, INT32_MAX};
  auto pick = [&]() -> int32_t {
    if (rng() % 2) return extremes[rng() % std::size(extremes)];
    return static_cast<int32_t>(rng());
  };
  auto sim = Fresh();
  for (int round = 0; round < 60; ++round) {
    SimSetupData& s = sim->Setup;
    s.WordsPerMinorFrame = pick();
    s.NumSubframes = round % 3 == 0 ? pick() : static_cast<int32_t>(rng() % 2000);
    s.FirstSubFrameNum = pick();
    s.SubframeDirection = pick();
    s.PatternLeads = pick();
    s.BitOrder = pick();
    s.SfIdWordNum = pick();
    s.SfIdStartBit = pick();
    s.CommonWordLength = pick();
    s.FrameSyncLength = pick();
    s.FsPatternRadix = pick();
    for (SimDynamicWord& d : s.DynamicWords) d = {pick(), pick(), pick()};
    for (SimUniqueWord& u : s.UniqueWords)
      u = {pick(), pick(), pick(), pick(), static_cast<uint16_t>(rng())};
    for (int i = 0; i < 40; ++i)
      s.Words[rng() % s.Words.size()].SimWordLen = static_cast<uint16_t>(rng());
    SCOPED_TRACE(round);
    auto frames = BuildFrameAttributes(s);
    EXPECT_LE(static_cast<int64_t>(frames.size()), kMaxCounterValues);
    BuildWordAttributes(s, sim->WordAttributes);
    for (int i = 0; i < FrameWordCount(s); ++i) WordAttribute(s, sim->WordAttributes, i);
    EXPECT_LE(FrameSyncWordCount(s), 22);
    EXPECT_LE(BuildFrameSyncWords(s).size(), 22u);
    EXPECT_LE(static_cast<int64_t>(SfIdValues(s).size()), kMaxCounterValues);
    EXPECT_EQ(UniqueWordValues(s).size(), 7u);
    EXPECT_LE(WordValues(s).size(), 16383u);
  }
}
