// The encoder's memory images against values worked out by hand, and the sync pattern text
// they are made from.
#include "simulator/MemoryImages.h"

#include <gtest/gtest.h>

#include <tuple>

#include "simulator/SimKit.h"
#include "simulator/SyncPatternText.h"

// A counter whose last value is its first restarts the record at 0 and runs 0..255.
TEST(MemoryImages, CounterRange) {
  // Frames, first value, direction (1: down); the range.
  const std::tuple<int32_t, int32_t, int32_t, int64_t, int64_t> cases[] = {
      {64, 0, 0, 0, 63},                             // the default
      {1, 1, 0, 0, 255},                             // one minor frame
      {64, 0, 1, 0, 63},                             // downward from 0: last = N - first - 1
      {3, 1, 1, 0, 255},                             // downward from 1 over 3 reaches 1 again
      {3, 0, 1, 0, 2},                               // ... and the reset record counts 0..2
      {-5, 0, 0, -6, 0},                             // no frames counts downward through negatives
      {2000000000, 0, 0, 0, kMaxCounterValues - 1},  // cut to what the tables hold
  };
  for (const auto& [frames, first, direction, low, high] : cases) {
    SimSetupData s;
    std::tie(s.NumSubframes, s.FirstSubFrameNum, s.SubframeDirection) =
        std::tie(frames, first, direction);
    const SfIdCounterRange r = SfIdRange(s);
    EXPECT_EQ(std::tie(r.Low, r.High, s.FirstSubFrameNum), std::make_tuple(low, high, 0)) << frames;
  }
  SimSetupData s;
  s.NumSubframes = INT32_MIN;
  const SfIdCounterRange r = SfIdRange(s);
  EXPECT_LE(r.High - r.Low + 1, kMaxCounterValues);
}

TEST(MemoryImages, FrameAttributesMarkUniqueWordsFromTheirStartFrame) {
  SimSetupData s;
  s.NumSubframes = 10;
  s.UniqueWords[2] = {2, 3, 20, 0, 1};   // list index 0: bit 0 in frames 2, 5, 8
  s.UniqueWords[5] = {9, 0, 21, 0, 2};   // list index 1: bit 1, frame 9 only
  s.UniqueWords[6] = {10, 1, 22, 0, 3};  // starts outside the major frame
  EXPECT_EQ(Values(BuildFrameAttributes(s)),
            (std::vector<uint16_t>{0, 0, 1, 0, 0, 1, 0, 0, 1, 0x82}));
  // The seven slots' values: the active ones first, then zeros.
  EXPECT_EQ(Values(UniqueWordValues(s)), (std::vector<uint16_t>{1, 2, 3, 0, 0, 0, 0}));

  // One minor frame counting from 1: the frame offset f0 = 1 is taken before the reset, so
  // with the counter then running 0..255, frames -1..254 are written at 32768 + f + 1
  // (frame -1 lies before the unique word's start).
  NoDynamicOrUniqueWords(s);
  s.UniqueWords[0] = {0, 7, 10, 0, 1};  // start frame 0 (+1), every 7 frames (1 here)
  Apply(s, "NumSubframes=1 FirstSubFrameNum=1");
  const auto writes = BuildFrameAttributes(s);
  EXPECT_EQ(s.FirstSubFrameNum, 0);
  ASSERT_EQ(writes.size(), 256u);
  EXPECT_EQ(std::tie(writes.front().Address, writes.front().Value), std::make_tuple(32768, 0));
  for (size_t i = 1; i < 255; ++i) ASSERT_EQ(writes[i].Value, 0x01) << i;
  EXPECT_EQ(std::tie(writes.back().Address, writes.back().Value), std::make_tuple(33023, 0x81));
}

TEST(MemoryImages, WordAttributeMarking) {
  auto sim = Fresh();
  SimSetupData& s = sim->Setup;
  NoDynamicOrUniqueWords(s);
  // The SFID word is also dynamic word 0's start: type 2 wins. Word 7 of length 0 keeps its
  // four low bits of length - 1.
  Apply(s, "WordsPerMinorFrame=20 NumSubframes=8 SfIdWordNum=2 Word7Len=0");
  // A unique word that starts outside the major frame takes no mask bit: the next one that
  // starts inside it takes the next bit.
  s.UniqueWords[0] = {3, 0, 5, 6, 2};        // bit 0: words 5, 11, 17
  s.UniqueWords[1] = {8, 0, 12, 0, 1};       // outside
  s.UniqueWords[2] = {0, 0, 70000, 1, 3};    // bit 1: start word 70000 is 4464 in 16 bits
  s.UniqueWords[3] = {0, 0, 12, 0, 4};       // bit 2: word 12
  s.DynamicWords[0] = {2, 4, kWaveSine};     // every 4 words from word 2
  s.DynamicWords[1] = {3, -2, kWaveCosine};  // negative interval: the start word only
  s.DynamicWords[2] = {-1, 5, kWaveSquare};  // indexes -2, 3, 8, ...
  s.DynamicWords[3] = {20, 0, kWaveRandom};  // the last word
  BuildWordAttributes(s, sim->WordAttributes);
  auto at = [&](int n) { return WordAttribute(s, sim->WordAttributes, n - 1); };
  for (int n : {5, 11, 17}) EXPECT_EQ(at(n) & 0x7F, 1) << n;
  EXPECT_EQ(at(12) & 0x7F, 4);
  // Types by word 1..20: the 32-bit pattern's words win over dynamic words, dynamic words
  // 0 and 2 meet in word 14 and their types are ORed (3 | 5).
  const int types[] = {1, 2, 4, 5, 0, 3, 0, 0, 5, 3, 0, 0, 0, 7, 0, 0, 0, 3, 5, 6};
  for (int n = 1; n <= 20; ++n) EXPECT_EQ((at(n) >> 12) & 7, types[n - 1]) << n;
  EXPECT_EQ(at(20) & 0x8000, 0x8000);
  EXPECT_EQ(at(7) & 0x0F00, 0x0F00);
}

// A simulator with the pattern and every word of wordLength bits.
std::unique_ptr<progsimulatorclass> SyncSetup(const char* pattern, int length, int leads,
                                              int lsbFirst, int wordLength, int words) {
  auto sim = Fresh();
  SimSetupData& s = sim->Setup;
  SetPattern(s, pattern, 2, length);
  std::tie(s.PatternLeads, s.BitOrder, s.WordsPerMinorFrame, s.CommonWordLength) =
      std::tie(leads, lsbFirst, words, wordLength);
  for (SimWord& w : s.Words) w.SimWordLen = static_cast<uint16_t>(wordLength);
  return sim;
}

TEST(MemoryImages, FrameSyncWords) {
  // Pattern, its length, leading, LSB first, word length, words; the sync words written.
  using Writes = std::vector<std::pair<int64_t, uint16_t>>;
  const std::tuple<const char*, int, int, int, int, int, Writes> cases[] = {
      {"FE6B2840", 32, 1, 0, 16, 256, {{9217, 0xFE6B}, {9218, 0x2840}}},
      // Each 16-bit chunk is reversed and then placed from bit 0 upward: the same words.
      {"FE6B2840", 32, 1, 1, 16, 256, {{9217, 0xFE6B}, {9218, 0x2840}}},
      // Trailing 17 bits (1 1010 1011 1100 1111): the first bit, least significant, in the
      // word before the last; LSB first, the chunk reversed and its leftover bit shifted out.
      {"1ABCF", 17, 0, 0, 16, 256, {{9216 + 255, 0x0001}, {9216 + 256, 0xABCF}}},
      {"1ABCF", 17, 0, 1, 16, 256, {{9216 + 255, 0x8000}, {9216 + 256, 0x6AF3}}},
      {"1ABCD", 17, 1, 0, 16, 256, {{9217, 0xD5E6}, {9218, 0x8000}}},
      {"1ABCD", 17, 1, 1, 16, 256, {{9217, 0xD5E6}, {9218, 0x0000}}},  // loses its last bit
      // 15 bits in 8-bit chunks: the last reversed chunk (X0011110) keeps only its last
      // character, then seven zeros.
      {"7ABC", 15, 1, 1, 8, 256, {{9217, 0x00F5}, {9218, 0x0000}}},
      {"FFFFFFFFFFFFFFFF", 64, 1, 0, 2, 256, {}},  // 32 words of 2 bits: more than 22
      {"FE6B2840", 32, 0, 0, 16, 1, {}},           // trailing, in a frame too short for it
      {"FE6B2840", 32, 0, 0, 16, 2, {{9217, 0xFE6B}, {9218, 0x2840}}},
      {"FE6B2840", 32, 1, 0, 16, 1025, {{9217, 0xFE6B}, {9218, 0x2840}}},
      {"FE6B2840", 32, 0, 0, 16, 1025, {{9216 + 1024 % 1024, 0xFE6B}, {9217, 0x2840}}},
  };
  for (const auto& [pattern, length, leads, lsbFirst, wordLength, words, expected] : cases) {
    SCOPED_TRACE(::testing::Message()
                 << pattern << " leads " << leads << " lsb " << lsbFirst << " words " << words);
    auto sim = SyncSetup(pattern, length, leads, lsbFirst, wordLength, words);
    Writes sync;
    for (const MemoryImageWrite& w : BuildFrameSyncWords(sim->Setup))
      sync.push_back({w.Address, w.Value});
    EXPECT_EQ(sync, expected);
    EXPECT_EQ(FrameSyncWordCount(sim->Setup), static_cast<int>(expected.size()));
  }
  // 22 words of 3 bits reach 64 bits: exactly 22.
  EXPECT_EQ(BuildFrameSyncWords(SyncSetup("FFFFFFFFFFFFFFFF", 64, 1, 0, 3, 256)->Setup).size(),
            22u);
  // A trailing pattern marks the last words as sync words, the last with the end mark.
  auto sim = SyncSetup("1ABCF", 17, 0, 0, 16, 256);
  BuildWordAttributes(sim->Setup, sim->WordAttributes);
  auto at = [&](int i) { return WordAttribute(sim->Setup, sim->WordAttributes, i); };
  EXPECT_EQ(std::make_tuple(at(254) >> 12, at(255), at(0) >> 12), std::make_tuple(1, 0x9F00, 0));
}

TEST(MemoryImages, SubframeIdShift) {
  SimSetupData s;
  s.SfIdStartBit = 7;  // 64 frames need 6 bits: shift 2
  EXPECT_EQ(SfIdValues(s)[63].Value, 63 << 2);
  Apply(s, "NumSubframes=1024 FirstSubFrameNum=1 SfIdStartBit=15");  // 1..1024 need 11 bits
  const auto sfid = SfIdValues(s);
  ASSERT_EQ(sfid.size(), 1024u);
  EXPECT_EQ(sfid.front().Address, 10241);
  EXPECT_EQ(std::tie(sfid.back().Address, sfid.back().Value),
            std::make_tuple(10240 + 1024, (1024 << 5) & 0xFFFF));
  // A start bit below the counter's width gives shift 0; 32 and more moves everything out.
  s.SfIdStartBit = 2;
  EXPECT_EQ(SfIdValues(s).back().Value, 1024);
  s.SfIdStartBit = 40;
  for (const MemoryImageWrite& w : SfIdValues(s)) ASSERT_EQ(w.Value, 0);
  EXPECT_EQ(SfIdShift(30, 1), 30);
  EXPECT_EQ(SfIdShift(INT32_MAX, 0), static_cast<int64_t>(INT32_MAX) + 1);
  EXPECT_EQ(std::make_tuple(SignificantBits(0), SignificantBits(63), SignificantBits(-1)),
            std::make_tuple(0, 6, 32));
}

std::string Zeros(int n) {
  return std::string(n, '0');
}

TEST(SyncPatternTextTest, RenderingsWorkedByHand) {
  const std::string X15F = "X" + std::string(15, 'F'), X21s7 = "X" + std::string(21, '7');
  // Rendered to H(ex), B(inary) or O(ctal): text, its radix, the rendering, read whole.
  const std::tuple<char, std::string, int32_t, std::string, bool> cases[] = {
      {'B', "FE6B2840", kPatternHex, Zeros(32) + "11111110011010110010100001000000", true},
      {'H', "FE6B2840", kPatternHex, "00000000FE6B2840", true},
      {'H', "1X01", kPatternBinary, Zeros(15) + "X", true},
      {'B', "1X01", kPatternBinary, Zeros(60) + "1X01", true},
      {'O', "FAF320", kPatternHex, Zeros(14) + "76571440", true},
      // Hex digit 0 covers bits 63..60; octal digit 0 only bit 63, digit 1 bits 62..60.
      {'O', X15F, kPatternHex, "XX" + std::string(20, '7'), true},
      {'H', X21s7, kPatternOctal, X15F, true},
      {'B', X21s7, kPatternOctal, "X" + std::string(63, '1'), true},
      {'B', "X" + Zeros(63), kPatternBinary, "X" + Zeros(63), true},
      {'H', "X" + Zeros(63), kPatternBinary, "X" + Zeros(15), true},
      // Radix markers count only at the front; inside, "0X" is a zero and a don't-care.
      {'H', "FE0X", kPatternHex, Zeros(12) + "FE0X", true},
      {'B', "10x1", kPatternBinary, Zeros(60) + "10X1", true},
      {'O', "o7x5", kPatternOctal, Zeros(19) + "7X5", true},
      {'B', "0X01", kPatternBinary, Zeros(63) + "1", true},
      // Unreadable digits keep the leading digits of each half.
      {'H', "12G4", kPatternHex, Zeros(14) + "12", false},
      {'H', "1234567G89ABCDEF", kPatternHex, "0123456789ABCDEF", false},
      {'O', "19", kPatternOctal, Zeros(21) + "1", false},
      {'B', "1021", kPatternBinary, Zeros(62) + "10", false},
      {'H', "123456789ABCDEF01", kPatternHex, "123456789ABCDEF0", true},  // first digits kept
      {'H', "FF", 3, Zeros(16), false},  // an unknown radix reads nothing
  };
  for (const auto& [to, text, radix, expected, whole] : cases) {
    bool ok = !whole;
    const std::string rendered = to == 'H'   ? PatternToHexText(text, radix, &ok)
                                 : to == 'B' ? PatternToBinaryText(text, radix, &ok)
                                             : PatternToOctalText(text, radix, &ok);
    EXPECT_EQ(std::tie(rendered, ok), std::tie(expected, whole)) << to << " " << text;
  }
  const ParsedPattern hex = ParsePatternText(X15F, kPatternHex);
  EXPECT_TRUE(hex.Ok);
  EXPECT_EQ(hex.Value, 0x0FFFFFFFFFFFFFFFull);
  for (int k = 0; k < 64; ++k) EXPECT_EQ(hex.DontCare[k], k < 4) << k;
  const std::pair<const char*, const char*> normalised[] = {
      {"0xfe 6b", "FE6B"}, {"0XFE", "FE"}, {"$fe", "FE"}, {"o17", "17"},    {"O17", "17"},
      {" 0x$1F", "1F"},    {"$", "$"},     {"0x", "0X"},  {"FE0X", "FE0X"}, {"1$2o3", "1$2O3"}};
  for (const auto& [text, expected] : normalised) EXPECT_EQ(NormalizePatternText(text), expected);
  EXPECT_EQ(PatternDigitCount(3), 0);
  EXPECT_EQ(PatternToHexText("fe", kPatternHex) + PatternToOctalText("7", kPatternOctal),
            Zeros(14) + "FE" + Zeros(21) + "7");  // no word of whether it read
}
