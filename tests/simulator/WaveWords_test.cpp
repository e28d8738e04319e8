#include "simulator/WaveWords.h"

#include <gtest/gtest.h>

#include <memory>

#include "link/CommandText.h"

namespace {

const UserWaveTable kNoUserWave{};

int32_t Wave16(int32_t wave, int64_t c) {
  return WaveValue(wave, 16, kNoUserWave, 0, 63, c);
}

TEST(WaveValueTest, SixteenBitWavesOverSixtyFourFrames) {
  for (int c = 0; c < 64; ++c) {
    EXPECT_EQ(Wave16(kWaveSquare, c), c < 32 ? 16384 : 49152) << c;
    EXPECT_EQ(Wave16(kWaveTriangle, c), c < 32 ? 2047 * c : 2047 * (64 - c)) << c;
  }
  EXPECT_EQ(Wave16(kWaveTriangle, 32), 65504);

  const int rampC[] = {0, 1, 31, 32, 62, 63};
  const int rampUp[] = {0, 1040, 32247, 33288, 64495, 65535};  // round(c * 65535 / 63)
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(Wave16(kWaveRampUp, rampC[i]), rampUp[i]) << rampC[i];
    EXPECT_EQ(Wave16(kWaveRampDown, rampC[i]), rampUp[5 - i]) << rampC[i];
  }

  // A = 32767.9: the peak truncates to full scale, the trough to 0.
  EXPECT_EQ(Wave16(kWaveSine, 0), 32767);
  EXPECT_EQ(Wave16(kWaveSine, 16), 65535);
  EXPECT_EQ(Wave16(kWaveSine, 32), 32767);
  EXPECT_EQ(Wave16(kWaveSine, 48), 0);
  EXPECT_EQ(Wave16(kWaveCosine, 0), 65535);
  EXPECT_EQ(Wave16(kWaveCosine, 16), 32767);
  EXPECT_EQ(Wave16(kWaveCosine, 32), 0);
  EXPECT_EQ(Wave16(kWaveCosine, 48), 32767);
  EXPECT_EQ(Wave16(kWaveNothing, 5), 0);
}

TEST(WaveValueTest, ShortWordTriangleUsesHalfSteps) {
  // 8-bit word, 64 frames: t = 0.5, so 0, 0, 1, 1, ... 15 at 31, 31 at 32, down to 16.
  for (int c = 0; c < 64; ++c) {
    const int expected = c < 32 ? c / 2 : (95 - c) / 2;
    EXPECT_EQ(WaveValue(kWaveTriangle, 8, kNoUserWave, 0, 63, c), expected) << c;
  }
  EXPECT_EQ(WaveValue(kWaveTriangle, 8, kNoUserWave, 0, 63, 31), 15);
  EXPECT_EQ(WaveValue(kWaveTriangle, 8, kNoUserWave, 0, 63, 32), 31);
  EXPECT_EQ(WaveValue(kWaveTriangle, 8, kNoUserWave, 0, 63, 63), 16);
  // Eight frames: the angular step 0.785 is used itself.
  EXPECT_EQ(WaveValue(kWaveTriangle, 8, kNoUserWave, 0, 7, 3), 2);
  EXPECT_EQ(WaveValue(kWaveTriangle, 8, kNoUserWave, 0, 7, 4), 5);
}

TEST(WaveValueTest, RampsRoundExactHalvesDown) {
  // One-bit word over three frames: r = 0.5.
  EXPECT_EQ(WaveValue(kWaveRampUp, 1, kNoUserWave, 0, 2, 1), 0);
  EXPECT_EQ(WaveValue(kWaveRampDown, 1, kNoUserWave, 0, 2, 1), 0);
  // Two-bit word over three frames: r = 1.5.
  EXPECT_EQ(WaveValue(kWaveRampUp, 2, kNoUserWave, 0, 2, 1), 1);
  EXPECT_EQ(WaveValue(kWaveRampDown, 2, kNoUserWave, 0, 2, 1), 1);
}

TEST(WaveValueTest, RandomDrawsJustAboveMidScale) {
  RuntimeSrand(1);  // the generator is program-wide: start it as a fresh program would
  EXPECT_EQ(WaveValue(kWaveRandom, 16, kNoUserWave, 0, 63, 0), 32767 + 346 / 6);
  EXPECT_EQ(WaveValue(kWaveRandom, 16, kNoUserWave, 0, 63, 1), 32767 + 130 / 6);
  EXPECT_EQ(WaveValue(kWaveRandom, 8, kNoUserWave, 0, 63, 2), (32767 + 10982 / 6) >> 8);
  for (int i = 0; i < 10000; ++i) {
    const int32_t v = WaveValue(kWaveRandom, 16, kNoUserWave, 0, 63, 0);
    ASSERT_GE(v, 32767);
    ASSERT_LE(v, 38228);
  }
}

TEST(WaveValueTest, UserWaveUsesItsSamplesThenTheDefault) {
  UserWaveTable user;
  user.NumWords = 10;
  user.DefaultValue = 7;
  for (int i = 0; i < kUserWaveMaxWords; ++i) user.Samples[i] = static_cast<uint16_t>(1000 + i);
  for (int c = 0; c < 64; ++c)
    EXPECT_EQ(WaveValue(kWaveUserDef, 16, user, 0, 63, c), c < 10 ? 1000 + c : 7) << c;
  // The step counts from the low counter value, and never runs past the table.
  EXPECT_EQ(WaveValue(kWaveUserDef, 16, user, 1, 64, 1), 1000);
  user.NumWords = 5000;
  EXPECT_EQ(WaveValue(kWaveUserDef, 16, user, 0, 1999, 1999), 1000 + 1023);
}

TEST(WaveValueTest, DegenerateRangesAndLengthsStayDefined) {
  UserWaveTable user;
  user.NumWords = 3;
  for (int32_t wave = -1; wave <= 9; ++wave) {
    for (int length : {0, 1, 15, 16, 17, 40}) {
      // A single counter value: no half to divide by.
      WaveValue(wave, length, user, 5, 5, 5);
      WaveValue(wave, length, user, -3, 0, -3);
    }
  }
  EXPECT_EQ(WaveValue(kWaveTriangle, 16, kNoUserWave, 5, 5, 5), 0);
  EXPECT_EQ(WaveValue(kWaveUserDef, 16, user, 5, 5, 4), user.Samples[0]);
  // Lengths above 16 count as 16.
  EXPECT_EQ(WaveValue(kWaveSquare, 40, kNoUserWave, 0, 63, 40), 49152);
}

TEST(WaveValueTest, WavesStayInsideTheWordsBits) {
  struct Range {
    int64_t low, high;
  };
  const Range ranges[] = {{0, 63}, {1, 64}, {0, 255}, {0, 1023}, {1, 1024}, {1, 62}, {0, 2}};
  RuntimeSrand(1);
  for (int length = 1; length <= 16; ++length) {
    const int32_t full = (1 << length) - 1;
    for (const Range& r : ranges) {
      for (int32_t wave : {kWaveSine, kWaveCosine, kWaveSquare, kWaveRampUp, kWaveRampDown,
                           kWaveRandom, kWaveTriangle}) {
        // The short-word triangle climbs by half steps whatever the word length.
        if (wave == kWaveTriangle && length < 16) continue;
        for (int64_t c = r.low; c <= r.high; ++c) {
          const int32_t v = WaveValue(wave, length, kNoUserWave, r.low, r.high, c);
          ASSERT_GE(v, 0) << "wave " << wave << " length " << length << " c " << c;
          ASSERT_LE(v, full) << "wave " << wave << " length " << length << " c " << c;
        }
      }
    }
  }
}

class WaveWordsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RuntimeSrand(1);
    SetDefaults(*setup_, *waves_);
  }
  std::unique_ptr<SimSetupData> setup_ = std::make_unique<SimSetupData>();
  std::unique_ptr<UserWaveTables> waves_ = std::make_unique<UserWaveTables>();
};

TEST_F(WaveWordsTest, DefaultSetupWritesFiveTablesOfSixtyFourValues) {
  std::vector<WaveWordWrite> writes = BuildWaveWords(*setup_, *waves_, 0, 63);
  ASSERT_EQ(writes.size(), 5u * 64u);
  for (size_t i = 0; i < writes.size(); ++i)
    EXPECT_EQ(writes[i].Address, 11264 + 1024 * static_cast<int64_t>(i / 64) + (i % 64));
  EXPECT_EQ(writes[0].Value, 32767);         // SINE at c = 0
  EXPECT_EQ(writes[64].Value, 65535);        // COSINE at c = 0
  EXPECT_EQ(writes[128 + 32].Value, 49152);  // SQUARE at c = 32
  EXPECT_EQ(writes[192 + 32].Value, 65504);  // TRIANGLE at c = 32
  EXPECT_EQ(writes[256 + 63].Value, 65535);  // RAMPUP at c = 63
  EXPECT_EQ(WaveWordCommand(writes[0]), "7FFF 2C00 M");
  EXPECT_EQ(WaveWordCommand(writes[319]), "FFFF 3C3F M");

  TransmitBuffer buffer;
  AppendWaveWords(buffer, *setup_, *waves_, 0, 63);
  std::vector<std::string> commands = SplitCommands(buffer);
  ASSERT_EQ(commands.size(), writes.size());
  for (size_t i = 0; i < writes.size(); ++i) EXPECT_EQ(commands[i], WaveWordCommand(writes[i]));
}

TEST_F(WaveWordsTest, InactiveSlotsAreSkippedAndSlotsKeepTheirOwnUserTables) {
  for (SimDynamicWord& word : setup_->DynamicWords) word.SimDynamicWordWave = kWaveNothing;
  setup_->DynamicWords[1].SimDynamicWordWave = kWaveUserDef;
  (*waves_)[1].NumWords = 2;
  (*waves_)[1].Samples[0] = 0x1111;
  (*waves_)[1].Samples[1] = 0x2222;
  (*waves_)[1].DefaultValue = 0x0042;
  (*waves_)[0].Samples[0] = 0x9999;  // slot 0's table is not used

  std::vector<WaveWordWrite> writes = BuildWaveWords(*setup_, *waves_, 0, 63);
  ASSERT_EQ(writes.size(), 64u);
  EXPECT_EQ(writes[0].Address, 11264);
  EXPECT_EQ(writes[0].Value, 0x1111);
  EXPECT_EQ(writes[1].Value, 0x2222);
  EXPECT_EQ(writes[63].Address, 11264 + 63);
  EXPECT_EQ(writes[63].Value, 0x0042);
}

TEST_F(WaveWordsTest, OneMinorFrameRunsOverTheDefaultCounterRange) {
  std::vector<WaveWordWrite> writes = BuildWaveWords(*setup_, *waves_, 0, 255);
  ASSERT_EQ(writes.size(), 5u * 256u);
  EXPECT_EQ(writes[64].Value, 65535);                   // SINE peaks a quarter in
  EXPECT_EQ(writes[3 * 256 + 128].Value, 511u * 128u);  // TRIANGLE: q = 65535 / 128
  EXPECT_EQ(writes[4 * 256 + 255].Address, 11264 + 4 * 1024 + 255);
}

TEST_F(WaveWordsTest, RandomWordsDrawInListOrderThenCounterOrder) {
  for (SimDynamicWord& word : setup_->DynamicWords) word.SimDynamicWordWave = kWaveRandom;
  RuntimeSrand(1);
  std::vector<int> draws;
  for (int i = 0; i < 5 * 64; ++i) draws.push_back(RuntimeRand());
  RuntimeSrand(1);
  std::vector<WaveWordWrite> writes = BuildWaveWords(*setup_, *waves_, 0, 63);
  ASSERT_EQ(writes.size(), draws.size());
  for (size_t i = 0; i < writes.size(); ++i) EXPECT_EQ(writes[i].Value, 32767 + draws[i] / 6);
}

TEST_F(WaveWordsTest, WordLengthComesFromTheCarryingWord) {
  setup_->Words[3].SimWordLen = 8;  // word 4 carries the SINE
  std::vector<WaveWordWrite> writes = BuildWaveWords(*setup_, *waves_, 0, 63);
  EXPECT_EQ(writes[0].Value, 127);  // trunc(127.9)
  EXPECT_EQ(writes[16].Value, 255);

  EXPECT_EQ(DynamicWordLength(*setup_, 4), 8);
  EXPECT_EQ(DynamicWordLength(*setup_, 0), 16);
  EXPECT_EQ(DynamicWordLength(*setup_, -1), 16);
  setup_->Words[16382].SimWordLen = 5;
  EXPECT_EQ(DynamicWordLength(*setup_, 16383), 5);
  setup_->Words[16382].SimWordLen = 20;
  EXPECT_EQ(DynamicWordLength(*setup_, 16383), 16);

  // Word numbers are taken as signed 16-bit numbers: 65540 is word 4, 16384 is outside.
  setup_->DynamicWords[0].SimDynamicWordNumber = 65540;
  setup_->DynamicWords[1].SimDynamicWordNumber = 16384;
  std::vector<ActiveDynamicWord> active = ActiveDynamicWords(*setup_);
  ASSERT_EQ(active.size(), 5u);
  EXPECT_EQ(active[0].WordNumber, 4);
  EXPECT_EQ(DynamicWordLength(*setup_, active[1].WordNumber), 16);
  writes = BuildWaveWords(*setup_, *waves_, 0, 63);
  EXPECT_EQ(writes[0].Value, 127);
}

}  // namespace
