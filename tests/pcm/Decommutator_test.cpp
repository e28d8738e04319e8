// The decommutation check against streams of the encoder model: garbage in front, a pattern
// no synchroniser can find, a lost lock, tiny frames with a wide slip window.
#include "pcm/Decommutator.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "pcm/PcmTestSupport.h"
#include "simulator/SimKit.h"
#include "simulator/SimValidation.h"

namespace {

constexpr int64_t kPrefix = 37;

// 64 words of 16 bits, 16 minor frames, sync "FE6B2840" leading, subframe ID in word 3,
// five waves, unique words, CRC-16 in the last word.
class DecomTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Apply(sim_->Setup, "WordsPerMinorFrame=64 NumSubframes=16 SfIdStartBit=3");
    for (int i = 0; i < 64; ++i)
      sim_->Setup.Words[size_t(i)].SimValue = static_cast<uint16_t>(0x1357 * (i + 1));
    sim_->DoCrc16 = true;
    sim_->CrcWdNum = 63;
  }
  void Validate() {
    std::string message;
    ASSERT_TRUE(ValidateSimulatorSetup(*sim_, message)) << message;
    f = ModelOf(*sim_).FrameBits();
  }
  // Garbage, then `count` minor frames from the start of a major frame.
  BitSequence Stream(int64_t count) const {
    BitSequence bits = RandomBits(kPrefix, 99);
    const BitSequence frameBits = ModelOf(*sim_).Bits(count);
    bits.insert(bits.end(), frameBits.begin(), frameBits.end());
    return bits;
  }
  // Decommutated as NRZ-L, the frames kept in `frames`.
  DecomReport Run(const BitSequence& bits) {
    frames.clear();
    return Decommutate(sim_->Setup, ModelOf(*sim_), EncodeLine(LineCode::NrzL, bits), {},
                       [&](const DecomFrame& fr) { frames.push_back(fr); });
  }
  std::unique_ptr<progsimulatorclass> sim_ = std::make_unique<progsimulatorclass>();
  int64_t f = 0;  // bits of a minor frame
  std::vector<DecomFrame> frames;
};

TEST_F(DecomTest, LocksOnTheThirdPatternAndFindsEveryWord) {
  Validate();
  const DecomReport report = Run(Stream(48));
  ASSERT_TRUE(report.Clean()) << report.Error;
  // The search hit and two checks a frame apart: locked at the end of frame 2's pattern.
  EXPECT_EQ(report.Sync.FirstLockBit, kPrefix + 2 * f + 32);
  EXPECT_EQ(report.Sync.Locks, 1);
  ASSERT_EQ(frames.size(), 46u);
  EXPECT_EQ(frames[0].MinorFrame, 2);
  EXPECT_EQ(frames[0].Counter, 2);
  EXPECT_EQ(frames[45].MinorFrame, 15);
  EXPECT_EQ(frames[0].Words[0], 0xFE6B);
  EXPECT_EQ(frames[0].Words[10], 0x1357 * 11 & 0xFFFF);
  EXPECT_EQ(report.WordsCompared, 46 * 63);
  EXPECT_EQ(report.CrcChecked, 46);
  EXPECT_EQ(report.CrcErrors, 0);
  const DecomReport noise = Run(RandomBits(100000, 1));
  EXPECT_FALSE(noise.Locked());
  EXPECT_FALSE(noise.Clean());
  // A CRC word shorter than 16 bits carries the CRC's low bits.
  sim_->Setup.Words[63].SimWordLen = 12;
  Validate();
  const DecomReport shortCrc = Run(Stream(48));
  EXPECT_EQ(shortCrc.CrcChecked, 46);
  EXPECT_EQ(shortCrc.CrcErrors, 0);
}

TEST_F(DecomTest, RefusesAPatternNoSynchronizerCanFind) {
  const struct {
    const char* pattern;
    int length, sfIdWord;
    const char* error;
  } cases[] = {
      {"FE6B2840", 0, 3, "the setup has no frame sync pattern"},
      {"XXXXXXXX", 32, 3, "every digit of the frame sync pattern is a don't-care"},
      {"FE6B2840ABCD", 48, 2, "word 2 lies among the frame sync words but carries something else"},
  };
  for (const auto& c : cases) {
    SetPattern(sim_->Setup, c.pattern, 2, c.length);
    sim_->Setup.SfIdWordNum = c.sfIdWord;
    sim_->Setup.SubframeMode = 1;  // SFID
    EXPECT_EQ(Run(Stream(8)).Error, c.error);
  }
}

TEST_F(DecomTest, ALostLockIsFoundAgainAndTheMajorFrameRealigned) {
  Validate();
  BitSequence bits = Stream(40);
  const BitSequence noise = RandomBits(size_t(5 * f + 123), 5);
  // Minor frames 12..16 replaced by noise a little longer than them.
  bits.erase(bits.begin() + kPrefix + 12 * f, bits.begin() + kPrefix + 17 * f);
  bits.insert(bits.begin() + kPrefix + 12 * f, noise.begin(), noise.end());
  const DecomReport report = Run(bits);
  EXPECT_EQ(report.Sync.Locks, 2);
  EXPECT_EQ(report.Sync.LockLosses, 1);
  EXPECT_EQ(report.Sync.MissedPatterns, 3);  // the third in a row loses the lock
  EXPECT_EQ(report.WordsDiffering + report.CrcErrors, 0);
  // After the noise: minor frame 17 starts the search, 19 completes the lock.
  const auto relocked = std::find_if(frames.begin(), frames.end(), [&](const DecomFrame& fr) {
    return fr.StartBit > kPrefix + 12 * f;
  });
  ASSERT_NE(relocked, frames.end());
  EXPECT_EQ(relocked->MinorFrame, 19 % 16);
  EXPECT_EQ(frames.back().MinorFrame, 39 % 16);
  // Three patterns missed in a row lose the lock, two do not.
  for (int missed : {2, 3}) {
    bits = Stream(40);
    for (int64_t k = 20; k < 20 + missed; ++k)
      for (int b = 0; b < 8; ++b) bits[size_t(kPrefix + k * f + b)] ^= 1;
    const SyncResult sync = Run(bits).Sync;
    EXPECT_EQ(std::pair(sync.LockLosses, sync.MissedPatterns), std::pair(missed - 2, missed));
  }
}

// A slip window as wide as the frame would let the grid step backwards for ever.
TEST(FrameSynchronizerTest, TinyFramesWithAWideSlipWindowEndInOrder) {
  SynchronizerSettings settings;
  settings.FrameBits = 3;
  settings.Pattern = {1, 1, 1, 0};
  settings.SlipWindow = 3;
  settings.LockErrors = 0;
  const SyncResult result = Synchronize(RandomBits(5000, 17), settings);
  EXPECT_GT(result.Locks, 0);
  for (size_t i = 1; i < result.Frames.size(); ++i)
    ASSERT_GT(result.Frames[i].Start, result.Frames[i - 1].Start) << i;
}

}  // namespace
