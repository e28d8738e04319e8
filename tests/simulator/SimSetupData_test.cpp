// The simulator record: the runtime generator its word values come from, its defaults,
// and the setup dump of edited records line by line.
#include "simulator/SimSetupData.h"

#include <gtest/gtest.h>

#include "simulator/SetupDump.h"
#include "simulator/SimKit.h"

namespace {

TEST(SimSetupData, GeneratorAndDefaults) {
  RuntimeSrand(1);
  for (int expected : {346, 130, 10982, 1090}) EXPECT_EQ(RuntimeRand(), expected);
  // Every construction draws the next 16383 numbers for its word values.
  RuntimeSrand(1);
  for (int i = 0; i < kMaxWordsPerMinorFrame; ++i) RuntimeRand();
  const int next = RuntimeRand();
  auto first = Fresh();
  auto second = std::make_unique<progsimulatorclass>();
  EXPECT_EQ(first->Setup.Words[0].SimValue, 346);
  EXPECT_EQ(second->Setup.Words[0].SimValue, next);

  // SetDefaults restores an edited record, beyond the frame too, and the wave tables it is
  // given, no others.
  SimSetupData& s = first->Setup;
  s.Words[16382] = {3, 7};
  s.DynamicWords[2] = {100, 5, 8};
  first->UserWaves[3].NumWords = 10;
  std::strcpy(first->UserWaves[3].Name, "saw");
  UserWaveTables scratch{};
  scratch[0].NumWords = 5;
  SetDefaults(s, scratch);
  EXPECT_EQ(std::tie(first->UserWaves[3].NumWords, scratch[0].NumWords), std::make_tuple(10, 0));
  EXPECT_EQ(s.Words[16382].SimWordLen, 16);
  EXPECT_EQ(s.DynamicWords[2].SimDynamicWordWave, kWaveSquare);
  SetDefaults(s, first->UserWaves);
  EXPECT_EQ(first->UserWaves[3].NumWords, 0);
  EXPECT_STREQ(first->UserWaves[3].Name, "");
}

TEST(SetupDump, DefaultsAndEditsLineByLine) {
  const struct {
    const char* edits;
    size_t line;
    const char* text;
    int tag;
  } cases[] = {
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
  for (const auto& c : cases) {
    auto setup = std::make_unique<SimSetupData>();
    auto waves = std::make_unique<UserWaveTables>();
    SetDefaults(*setup, *waves);
    Apply(*setup, c.edits);
    const auto lines = SetupDumpLines(*setup);
    ASSERT_LT(c.line, lines.size()) << c.edits << " " << c.line;
    const std::string text = c.text == nullptr ? lines[c.line].text : c.text;
    EXPECT_EQ(lines[c.line].text, text) << c.edits << " " << c.line;
    EXPECT_EQ(lines[c.line].tag, c.tag) << c.edits << " " << c.line;
    EXPECT_TRUE(text != "---end setup data---" || lines.size() == c.line + 1)
        << c.edits << " " << c.line;
  }
}

}  // namespace
