// The simulator record: each wave's value for a counter value, worked out by hand, the wave
// tables the load writes, and the setup dump line by line.
#include "simulator/WaveWords.h"

#include <gtest/gtest.h>

#include "simulator/SetupDump.h"
#include "simulator/SimKit.h"

namespace {

const UserWaveTable kNoUserWave{};

TEST(WaveValue, WorkedValues) {
  UserWaveTable user;
  user.NumWords = 10;
  user.DefaultValue = 7;
  for (int i = 0; i < kUserWaveMaxWords; ++i) user.Samples[i] = static_cast<uint16_t>(1000 + i);
  // Per wave, word length and counter range (low, high): counter values and their values.
  using Values = std::vector<std::pair<int64_t, int32_t>>;
  const std::tuple<int32_t, int32_t, int64_t, int64_t, Values> cases[] = {
      // 16 bits over 64 frames; the sine's A = 32767.9: the peak truncates to full scale.
      {kWaveSquare, 16, 0, 63, {{31, 16384}, {32, 49152}}},
      {kWaveTriangle, 16, 0, 63, {{5, 2047 * 5}, {32, 65504}, {40, 2047 * 24}}},
      {kWaveRampUp, 16, 0, 63, {{1, 1040}, {32, 33288}, {63, 65535}}},
      {kWaveRampDown, 16, 0, 63, {{0, 65535}, {62, 1040}, {63, 0}}},
      {kWaveSine, 16, 0, 63, {{0, 32767}, {16, 65535}, {48, 0}}},
      {kWaveCosine, 16, 0, 63, {{0, 65535}, {32, 0}, {48, 32767}}},
      {kWaveNothing, 16, 0, 63, {{5, 0}}},
      // Short words: the triangle climbs by half steps (t = 0.5 over 64 frames).
      {kWaveTriangle, 8, 0, 63, {{3, 1}, {31, 15}, {32, 31}, {63, 16}}},
      {kWaveTriangle, 8, 0, 7, {{3, 2}, {4, 5}}},  // step 0.785
      // Ramps round exact halves down: r = 0.5 and 1.5.
      {kWaveRampUp, 1, 0, 2, {{1, 0}}},
      {kWaveRampDown, 1, 0, 2, {{1, 0}}},
      {kWaveRampUp, 2, 0, 2, {{1, 1}}},
      {kWaveRampDown, 2, 0, 2, {{1, 1}}},
      // The user wave's samples from the low counter value, then its default.
      {kWaveUserDef, 16, 0, 63, {{9, 1009}, {10, 7}}},
      {kWaveUserDef, 16, 1, 64, {{1, 1000}}},
      // A single counter value has no half to divide by; lengths above 16 count as 16.
      {kWaveTriangle, 16, 5, 5, {{5, 0}}},
      {kWaveUserDef, 16, 5, 5, {{4, 1000}}},
      {kWaveSquare, 40, 0, 63, {{40, 49152}}},
  };
  for (const auto& [wave, length, low, high, values] : cases)
    for (const auto& [counter, value] : values)
      EXPECT_EQ(WaveValue(wave, length, user, low, high, counter), value)
          << "wave " << wave << " length " << length << " c " << counter;
  user.NumWords = 5000;  // never past the table
  EXPECT_EQ(WaveValue(kWaveUserDef, 16, user, 0, 1999, 1999), 1000 + 1023);
  RuntimeSrand(1);  // RANDOM draws just above mid-scale
  EXPECT_EQ(WaveValue(kWaveRandom, 16, kNoUserWave, 0, 63, 0), 32767 + 346 / 6);
  EXPECT_EQ(WaveValue(kWaveRandom, 16, kNoUserWave, 0, 63, 1), 32767 + 130 / 6);
  EXPECT_EQ(WaveValue(kWaveRandom, 8, kNoUserWave, 0, 63, 2), (32767 + 10982 / 6) >> 8);
}

// The five default waves, each table 1024 words above the last; one minor frame runs over
// the default counter range 0..255.
TEST(WaveWords, DefaultTablesRandomDrawsAndWordLengths) {
  auto sim = Fresh();
  SimSetupData& s = sim->Setup;
  const std::vector<WaveWordWrite> writes = BuildWaveWords(s, sim->UserWaves, 0, 63);
  ASSERT_EQ(writes.size(), 5u * 64u);
  for (size_t i = 0; i < writes.size(); ++i)
    EXPECT_EQ(writes[i].Address, 11264 + 1024 * static_cast<int64_t>(i / 64) + (i % 64));
  EXPECT_EQ(WaveWordCommand(writes[0]), "7FFF 2C00 M");    // SINE at c = 0
  EXPECT_EQ(WaveWordCommand(writes[319]), "FFFF 3C3F M");  // RAMPUP at c = 63
  TransmitBuffer buffer;
  AppendWaveWords(buffer, s, sim->UserWaves, 0, 63);
  EXPECT_EQ(SplitCommands(buffer).back(), "FFFF 3C3F M");
  EXPECT_EQ(SplitCommands(buffer).size(), writes.size());
  const auto wide = BuildWaveWords(s, sim->UserWaves, 0, 255);
  ASSERT_EQ(wide.size(), 5u * 256u);
  EXPECT_EQ(wide[64].Value, 65535);                   // SINE peaks a quarter in
  EXPECT_EQ(wide[3 * 256 + 128].Value, 511u * 128u);  // TRIANGLE: q = 65535 / 128

  // The word length comes from the carrying word: trunc(127.9) at the 8-bit SINE's peak.
  s.Words[3].SimWordLen = 8;
  EXPECT_EQ(BuildWaveWords(s, sim->UserWaves, 0, 63)[16].Value, 255);
  s.Words[16382].SimWordLen = 5;
  s.Words[9].SimWordLen = 20;  // longer than the unit's words: 16 bits
  // Word numbers are signed 16-bit numbers (65540 is word 4); outside the frame: 16 bits.
  for (const auto& [word, length] :
       {std::pair{4, 8}, {0, 16}, {-1, 16}, {65540, 8}, {16384, 16}, {16383, 5}, {10, 16}}) {
    s.DynamicWords[0].SimDynamicWordNumber = word;
    EXPECT_EQ(DynamicWordLength(s, ActiveDynamicWords(s).at(0).WordNumber), length) << word;
  }

  // RANDOM words draw in list order, then counter order.
  sim = Fresh();
  for (SimDynamicWord& word : sim->Setup.DynamicWords) word.SimDynamicWordWave = kWaveRandom;
  RuntimeSrand(1);
  const std::vector<WaveWordWrite> random = BuildWaveWords(sim->Setup, sim->UserWaves, 0, 63);
  ASSERT_EQ(random.size(), 5u * 64u);
  RuntimeSrand(1);
  for (const WaveWordWrite& w : random) EXPECT_EQ(w.Value, 32767 + RuntimeRand() / 6);
}

TEST(SetupDump, DefaultsAndEditsLineByLine) {
  // Edits, line, its text (nullptr: any) and tag.
  const std::tuple<const char*, size_t, const char*, int> cases[] = {
      {"", 9, "SubFrameIdStartBit Lsb5", 0},
      {"", 19, "Convolution           NONE", 0},
      {"", 21, "     WordNumber     4     WordInterval   0     WaveForm       SINE", 0},
      {"", 25, "     WordNumber     8     WordInterval   0     WaveForm       RAMPUP", 4},
      {"", 27,
       "     StartFrame     0     FrameInterval  0     StartWord      9     WordInterval   0"
       "     WordValue      48879",
       0},
      {"", 290, nullptr, 255},
      {"", 291, "---end setup data---", 0},
      {"Word2Len=9 Word2Value=2603", 36, "     WordLen  9        Value    0x0A2B", 1},
      {"Convolution=1", 19, "Convolution           ONE HALF", 0},
      {"Convolution=2", 19, "Convolution           ONE THIRD", 0},
      {"Convolution=7", 19, "Convolution           7", 0},
      {"SimBitRate=4000000000", 6, "SimBitRate            4000000000", 0},
      {"Wave1=42", 21, "     WordNumber     4     WordInterval   0     WaveForm       42", 0},
      // The word lines follow the frame size, never beyond the word table.
      {"WordsPerMinorFrame=16383", 36 + 16382, "---end setup data---", 0},
      {"WordsPerMinorFrame=40000", 36 + 16382, "---end setup data---", 0},
      {"WordsPerMinorFrame=-1", 35, "---end setup data---", 0},
  };
  for (const auto& [edits, line, expected, tag] : cases) {
    SCOPED_TRACE(::testing::Message() << edits << " " << line);
    auto sim = std::make_unique<progsimulatorclass>();  // the defaults
    Apply(sim->Setup, edits);
    const auto lines = SetupDumpLines(sim->Setup);
    ASSERT_LT(line, lines.size());
    const std::string text = expected == nullptr ? lines[line].text : expected;
    EXPECT_EQ(std::tie(lines[line].text, lines[line].tag), std::tie(text, tag));
    EXPECT_TRUE(text != "---end setup data---" || lines.size() == line + 1);
  }
}

}  // namespace
