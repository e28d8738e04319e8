#include "simulator/SetupDump.h"

#include <gtest/gtest.h>

#include <memory>

#include "simulator/SimSetupData.h"

namespace {

std::unique_ptr<SimSetupData> DefaultSetup() {
  auto setup = std::make_unique<SimSetupData>();
  auto waves = std::make_unique<UserWaveTables>();
  SetDefaults(*setup, *waves);
  return setup;
}

TEST(SetupDump, DefaultSetupLines) {
  auto s = DefaultSetup();
  s->Words[0].SimValue = 0x1A2B;
  s->Words[1].SimWordLen = 9;
  s->Words[1].SimValue = 5;
  auto lines = SetupDumpLines(*s);
  ASSERT_EQ(lines.size(), 20u + 1 + 5 + 1 + 7 + 1 + 256 + 1);
  const std::vector<std::string> head = {
      "The Setup Data Used is as follow:",
      "BitOrder              MSB FIRST",
      "SubframeMode          NONE",
      "SubframeDirection     UP",
      "PatternLeads          LEADS",
      "TrackDecom            YES",
      "SimBitRate            1024000",
      "SimOutputCode         NRZL",
      "SubFrameIdWord        3",
      "SubFrameIdStartBit Lsb5",
      "CommonWordLength      16",
      "WordsPerFrame         256",
      "NumSubframes          64",
      "FirstFrame            0",
      "FrmSyncPatRadix       HEX",
      "FrmSyncPat            FE6B2840",
      "FrmSyncPatLen         32",
      "bFACEnable            NO",
      "bExtClockEnable       NO",
      "Convolution           NONE",
      "Dynamic Word Info...",
  };
  for (size_t i = 0; i < head.size(); ++i) {
    EXPECT_EQ(lines[i].text, head[i]);
    EXPECT_EQ(lines[i].tag, 0);
  }
  EXPECT_EQ(lines[21].text, "     WordNumber     4     WordInterval   0     WaveForm       SINE");
  EXPECT_EQ(lines[25].text, "     WordNumber     8     WordInterval   0     WaveForm       RAMPUP");
  EXPECT_EQ(lines[25].tag, 4);
  EXPECT_EQ(lines[26].text, "Unique Word Info...");
  EXPECT_EQ(lines[27].text,
            "     StartFrame     0     FrameInterval  0     StartWord      9     WordInterval   0"
            "     WordValue      48879");
  EXPECT_EQ(lines[33].tag, 6);
  EXPECT_EQ(lines[34].text, "Frame Word Info...");
  EXPECT_EQ(lines[35].text, "     WordLen  16        Value    0x1A2B");
  EXPECT_EQ(lines[35].tag, 0);
  EXPECT_EQ(lines[36].text, "     WordLen  9        Value    0x0005");
  EXPECT_EQ(lines[290].tag, 255);
  EXPECT_EQ(lines.back().text, "---end setup data---");
  EXPECT_EQ(lines.back().tag, 0);
}

TEST(SetupDump, ConvolutionNamesAndOddValues) {
  auto s = DefaultSetup();
  s->Convolution = 1;
  EXPECT_EQ(SetupDumpLines(*s)[19].text, "Convolution           ONE HALF");
  s->Convolution = 2;
  EXPECT_EQ(SetupDumpLines(*s)[19].text, "Convolution           ONE THIRD");
  s->Convolution = 7;
  s->DynamicWords[0].SimDynamicWordWave = 42;
  s->SimBitRate = 4000000000u;
  auto lines = SetupDumpLines(*s);
  EXPECT_EQ(lines[19].text, "Convolution           7");
  EXPECT_EQ(lines[6].text, "SimBitRate            4000000000");
  EXPECT_EQ(lines[21].text, "     WordNumber     4     WordInterval   0     WaveForm       42");
}

TEST(SetupDump, WordLinesFollowTheFrameSize) {
  auto s = DefaultSetup();
  s->WordsPerMinorFrame = 16383;
  auto lines = SetupDumpLines(*s);
  EXPECT_EQ(lines[11].text, "WordsPerFrame         16383");
  EXPECT_EQ(lines.size(), 36u + 16383);
  s->WordsPerMinorFrame = 40000;  // never beyond the word table
  EXPECT_EQ(SetupDumpLines(*s).size(), 36u + 16383);
  s->WordsPerMinorFrame = -1;
  EXPECT_EQ(SetupDumpLines(*s).size(), 36u);
}

}  // namespace
