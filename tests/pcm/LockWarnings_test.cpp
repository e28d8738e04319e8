// Warnings for setups the unit loads but no decommutator can follow (or may follow falsely),
// each worked out by hand from a small frame.
#include "pcm/LockWarnings.h"

#include <gtest/gtest.h>

#include <memory>
#include <utility>

#include "simulator/SimKit.h"
#include "simulator/SimValidation.h"

namespace {

// 16 words of 16 bits, 4 minor frames, "FE6B2840" leading in words 1-2, the SFID counter
// in word 3, no dynamic or unique words; the data values never hold the pattern.
std::unique_ptr<progsimulatorclass> SmallFrame(const std::string& edits) {
  auto sim = std::make_unique<progsimulatorclass>();
  for (int i = 0; i < 16; ++i)
    sim->Setup.Words[size_t(i)] = {16, static_cast<uint16_t>(0x0101 * i)};
  NoDynamicOrUniqueWords(sim->Setup);
  Apply(sim->Setup, "WordsPerMinorFrame=16 NumSubframes=4 SubframeMode=1 SfIdStartBit=1 " + edits);
  return sim;
}

std::string Joined(const std::vector<int>& words) {
  std::string out;
  for (int w : words) out += (out.empty() ? "" : " ") + std::to_string(w);
  return out;
}

TEST(LockWarningsTest, EachKindOnASmallFrame) {
  const std::string twelveBits =
      "the frame sync pattern has 12 bits a decommutator compares, fewer than 16: it may lock "
      "on the same bits in the data";
  const struct {
    const char* what;
    const char* edits;    // to the small frame (SubframeMode 2 is FCC)
    const char* pattern;  // hex, and its length in bits; "": the small frame's
    int length;
    const char* words;   // of the one warning, from 0
    const char* inData;  // where the pattern shows in the fixed words, or
    std::string text;    // the one warning's text ("": no warning)
  } cases[] = {
      {"a frame anyone can lock to", "", "", 0, "", "", ""},
      // Counting down, validation lets word 2 (the second of two sync words) pass.
      {"the SFID word among the sync words", "SubframeDirection=1 SfIdWordNum=2", "", 0, "1", "",
       "word 2, the subframe ID word, lies among the frame sync words: the pattern is broken "
       "there, and no decommutator can lock to it"},
      {"no encoder setting", "SimOutputCode=16", "", 0, "", "",
       "output code RNRZ17: the unit has no encoder setting for it and sends NRZL "
       "(encoder code 0)"},
      {"a 12-bit pattern", "", "EB9", 12, "0", "", twelveBits},
      // 32 digits long, but only FE6 is compared.
      {"a pattern of don't-cares", "", "FE6XXXXX", 32, "0 1", "", twelveBits},
      {"16 compared bits are enough", "", "FE6BXXXX", 32, "", "", ""},
      {"the pattern in the data", "Word10Value=0xFE6B Word11Value=0x2840", "", 0, "9 10",
       "bit 144 (words 10-11)", ""},
      // Word 16 and word 1 of the next frame send FE6B FE6B: bit 15 * 16 = 240.
      {"the pattern across the frame's end", "Word16Value=0xFE6B", "FE6BFE6B", 32, "15",
       "bit 240 (from word 16 into the next minor frame)", ""},
      {"its complement (~FE6B ~2840), with FCC",
       "SubframeMode=2 Word5Value=0x0194 Word6Value=0xD7BF", "", 0, "4 5", "bit 64 (words 5-6)",
       ""},
      {"words the subframe ID counter changes are not fixed", "Word3Value=0xFE6B Word4Value=0x2840",
       "", 0, "", "", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    auto sim = SmallFrame(c.edits);
    if (*c.pattern != '\0') SetPattern(sim->Setup, c.pattern, 2, c.length);
    std::string message;
    ASSERT_TRUE(ValidateSimulatorSetup(*sim, message)) << message;
    const std::vector<LockWarning> got =
        LockWarnings(sim->Setup, sim->UserWaves, {sim->DoCrc16, sim->DoCttit, sim->CrcWdNum});
    std::string text = c.text;
    if (*c.inData != '\0')
      text = "the frame sync pattern also shows in the fixed words at " + std::string(c.inData) +
             " of the minor frame: a decommutator may lock there";
    ASSERT_EQ(got.size(), text.empty() ? 0u : 1u) << (got.empty() ? "" : got[0].Text);
    for (const LockWarning& w : got)
      EXPECT_EQ(std::pair(w.Text, Joined(w.Words)), std::pair(text, std::string(c.words)));
  }
}

// Words from 8192 on share their addresses with the unique word values (8192..8198), the
// common word value (8199), the frame sync table (9216 + n) and the SFID table (10240 + c).
TEST(LockWarningsTest, ALongFrameWritesOverTheUnitsTables) {
  auto sim = SmallFrame("WordsPerMinorFrame=10300 NumSubframes=64 SfIdStartBit=5");
  SimSetupData& s = sim->Setup;
  for (int i = 16; i < 10300; ++i) s.Words[size_t(i)] = {16, 0x0505};
  std::string message;
  ASSERT_TRUE(ValidateSimulatorSetup(*sim, message)) << message;
  const std::vector<LockWarning> got = LockWarnings(s, sim->UserWaves, {});
  ASSERT_GE(got.size(), 2u);
  EXPECT_EQ(got[0].Text,
            "words 8192 to 10300 of this long frame share the unit's memory with its unique "
            "word, subframe ID and frame sync tables, and the load writes the word values last, "
            "over those tables");
  // Words 8192..8198, 9217..9218 (the sync slots of words 1 and 2), 10240..10300 (counter
  // values 0..60), and the sync and SFID words that read those tables.
  std::vector<int> words = {0, 1, 2};
  for (int n = 8192; n <= 8198; ++n) words.push_back(n - 1);
  words.insert(words.end(), {9216, 9217});
  for (int n = 10240; n <= 10300; ++n) words.push_back(n - 1);
  EXPECT_EQ(got[0].Words, words);
  EXPECT_EQ(got[1].Text,
            "word 8199 shares its memory word with the common word value, which the load writes "
            "over it last");
  EXPECT_EQ(got[1].Words, std::vector<int>{8198});
}

}  // namespace
