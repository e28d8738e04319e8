#include "simulator/SimSetupData.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "simulator/Qm48SimulatorUnit.h"

namespace {

// The generator's state is program-wide and every construction draws 16383 numbers, so
// tests that need the values of a program's first construction restart the generator
// as at program start.
std::unique_ptr<progsimulatorclass> FirstConstruction() {
  RuntimeSrand(1);
  return std::make_unique<progsimulatorclass>();
}

TEST(RuntimeRandTest, FollowsTheRuntimeSequenceFromSeedOne) {
  RuntimeSrand(1);
  EXPECT_EQ(RuntimeRand(), 346);
  EXPECT_EQ(RuntimeRand(), 130);
  EXPECT_EQ(RuntimeRand(), 10982);
  EXPECT_EQ(RuntimeRand(), 1090);
  RuntimeSrand(1);
  for (int i = 0; i < 100000; ++i) {
    int r = RuntimeRand();
    ASSERT_GE(r, 0);
    ASSERT_LE(r, 32767);
  }
}

TEST(SimSetupDataTest, FirstConstructionGivesTheDocumentedSetup) {
  auto sim = FirstConstruction();
  const SimSetupData& s = sim->Setup;
  EXPECT_EQ(s.Words[0].SimValue, 346);
  EXPECT_EQ(s.Words[1].SimValue, 130);
  EXPECT_EQ(s.Words[2].SimValue, 10982);

  EXPECT_EQ(s.BitOrder, 0);
  EXPECT_EQ(s.SubframeMode, 0);
  EXPECT_EQ(s.SubframeDirection, 0);
  EXPECT_EQ(s.PatternLeads, 1);
  EXPECT_TRUE(s.TrackDecom);
  EXPECT_EQ(s.SimBitRate, 1024000u);
  EXPECT_EQ(s.SimOutputCode, 0);
  EXPECT_EQ(s.SfIdWordNum, 3);
  EXPECT_EQ(s.SfIdStartBit, 5);
  EXPECT_EQ(s.CommonWordLength, 16);
  EXPECT_EQ(s.WordsPerMinorFrame, 256);
  EXPECT_EQ(s.NumSubframes, 64);
  EXPECT_EQ(s.FsPatternRadix, 2);
  EXPECT_STREQ(s.FrameSyncPattern, "FE6B2840");
  EXPECT_EQ(s.FrameSyncLength, 32);
  EXPECT_EQ(s.FirstSubFrameNum, 0);
  EXPECT_FALSE(s.FacEnable);
  EXPECT_FALSE(s.ExtClockEnable);
  EXPECT_EQ(s.Convolution, 0);
  EXPECT_FALSE(s.SwapG1G2);
  EXPECT_FALSE(s.InvertG1);
  EXPECT_FALSE(s.DiffEncodingEnable);
  EXPECT_EQ(s.CommonWordValue, 1);

  for (int i = 0; i < kNumDynamicWords; ++i) {
    EXPECT_EQ(s.DynamicWords[i].SimDynamicWordNumber, 4 + i);
    EXPECT_EQ(s.DynamicWords[i].SimDynamicWordInterval, 0);
    EXPECT_EQ(s.DynamicWords[i].SimDynamicWordWave, i + 1);
  }
  EXPECT_STREQ(kWaveNames[s.DynamicWords[0].SimDynamicWordWave], "SINE");
  EXPECT_STREQ(kWaveNames[s.DynamicWords[4].SimDynamicWordWave], "RAMPUP");
  for (int i = 0; i < kNumUniqueWords; ++i) {
    EXPECT_EQ(s.UniqueWords[i].SimUniqueWordStartFrame, 0);
    EXPECT_EQ(s.UniqueWords[i].SimUniqueWordStartFrameInterval, 0);
    EXPECT_EQ(s.UniqueWords[i].SimUniqueWordStartWord, 9 + i);
    EXPECT_EQ(s.UniqueWords[i].SimUniqueWordWordInterval, 0);
    EXPECT_EQ(s.UniqueWords[i].SimUniqueWordValue, 0xBEEF);
  }
  for (const SimWord& w : s.Words) {
    EXPECT_EQ(w.SimWordLen, 16);
    EXPECT_LE(w.SimValue, 32767);  // the generator yields 15 bits
  }

  EXPECT_EQ(sim->FileVersion, 2);
  EXPECT_FALSE(sim->DoCrc16);
  EXPECT_FALSE(sim->DoCttit);
  EXPECT_EQ(sim->CrcWdNum, -1);
  EXPECT_EQ(sim->TxBuffer.Fill(), 0u);
  for (const std::string& name : sim->UserDefDynWordFn) EXPECT_TRUE(name.empty());
  for (const UserWaveTable& w : sim->UserWaves) {
    EXPECT_EQ(w.NumWords, 0);
    EXPECT_EQ(w.DefaultValue, 0);
    EXPECT_STREQ(w.Name, "");
    for (uint16_t sample : w.Samples) EXPECT_EQ(sample, 0);
  }
}

TEST(SimSetupDataTest, LaterConstructionsContinueTheSequence) {
  RuntimeSrand(1);
  for (int i = 0; i < kMaxWordsPerMinorFrame; ++i) RuntimeRand();
  int next = RuntimeRand();
  auto first = FirstConstruction();
  auto second = std::make_unique<progsimulatorclass>();
  EXPECT_EQ(second->Setup.Words[0].SimValue, next);
  EXPECT_NE(first->Setup.Words[0].SimValue, second->Setup.Words[0].SimValue);
}

TEST(SimSetupDataTest, SetDefaultsRestoresAnEditedRecordAndItsWaveTables) {
  auto sim = FirstConstruction();
  SimSetupData& s = sim->Setup;
  s.SfIdWordNum = 40;
  std::memset(s.FrameSyncPattern, 'A', kMaxFrameSyncPatternChars);
  s.CommonWordLength = 12;
  s.Words[16382] = {3, 7};
  s.DynamicWords[2] = {100, 5, 8};
  sim->UserWaves[3].NumWords = 10;
  sim->UserWaves[3].Samples[9] = 99;
  sim->UserWaves[3].DefaultValue = 7;
  std::strcpy(sim->UserWaves[3].Name, "saw");

  UserWaveTables scratch{};
  scratch[0].NumWords = 5;
  SetDefaults(s, scratch);
  // The object's own tables are untouched: validation resets with scratch tables.
  EXPECT_EQ(sim->UserWaves[3].NumWords, 10);
  EXPECT_EQ(scratch[0].NumWords, 0);

  EXPECT_EQ(s.SfIdWordNum, 3);
  EXPECT_STREQ(s.FrameSyncPattern, "FE6B2840");
  EXPECT_EQ(s.Words[16382].SimWordLen, 16);
  EXPECT_EQ(s.DynamicWords[2].SimDynamicWordNumber, 6);
  EXPECT_EQ(s.DynamicWords[2].SimDynamicWordWave, 3);

  SetDefaults(s, sim->UserWaves);
  EXPECT_EQ(sim->UserWaves[3].NumWords, 0);
  EXPECT_EQ(sim->UserWaves[3].Samples[9], 0);
  EXPECT_EQ(sim->UserWaves[3].DefaultValue, 0);
  EXPECT_STREQ(sim->UserWaves[3].Name, "");
}

}  // namespace
