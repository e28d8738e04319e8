// The decommutation check against streams of the encoder model: garbage in front, bit errors,
// a slipped bit, a lost lock, don't-care digits, every output code and the stream's end.
#include "pcm/Decommutator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

#include "pcm/BitstreamFile.h"
#include "pcm/PcmTestSupport.h"
#include "simulator/SimKit.h"
#include "simulator/SimValidation.h"
#include "support/TempDir.h"

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

TEST_F(DecomTest, EveryOutputCodeRoundTripsFromEitherHalfBit) {
  for (int c = 0; c < kLineCodeCount; ++c) {
    SCOPED_TRACE(kOutputCodeNames[size_t(c)]);
    sim_->Setup.SubframeMode = 2;  // FCC: the last minor frame's pattern complemented
    sim_->Setup.SimOutputCode = c;
    DecomSettings settings;
    settings.Code = static_cast<LineCode>(c);
    BitSequence cells = EncodeLine(settings.Code, Stream(20));
    cells.insert(cells.begin(), 1);  // half a bit of something else first
    const DecomReport report = Decommutate(sim_->Setup, ModelOf(*sim_), cells, settings);
    EXPECT_TRUE(report.Clean());
    EXPECT_EQ(report.Phase, 1);
    EXPECT_EQ(report.Sync.Frames.size(), 18u);
  }
}

TEST_F(DecomTest, BitErrorsShowInTheWordsTheyHitTheCrcAndTheSync) {
  Validate();
  BitSequence bits = Stream(32);
  bits[size_t(kPrefix + 5 * f + 10 * 16 + 3)] ^= 1;  // word 11 of minor frame 5
  bits[size_t(kPrefix + 6 * f + 20 * 16)] ^= 1;      // word 21 of minor frame 6
  bits[size_t(kPrefix + 7 * f + 5)] ^= 1;            // one pattern bit: within the tolerance
  for (int b = 0; b < 8; ++b) bits[size_t(kPrefix + 9 * f + b)] ^= 1;  // pattern gone
  const DecomReport report = Run(bits);
  EXPECT_EQ(report.Sync.Locks, 1);
  EXPECT_EQ(report.Sync.LockLosses, 0);
  EXPECT_EQ(report.Sync.PatternBitErrors, 1);
  EXPECT_EQ(report.Sync.MissedPatterns, 1);
  ASSERT_EQ(frames.size(), 30u);
  EXPECT_TRUE(frames[7].Missed);  // minor frame 9, coasted through and not compared
  EXPECT_EQ(frames[5].SyncErrors, 1);
  EXPECT_EQ(frames[8].MinorFrame, 10);
  // Minor frames 5, 6 and 7 are the fourth to sixth after the lock; sync words are words too.
  ASSERT_EQ(report.WordsDiffering, 3);
  std::vector<std::pair<int64_t, int>> at;
  for (const DecomWordDifference& d : report.Differences) at.emplace_back(d.Frame, d.Word);
  ASSERT_EQ(at, (std::vector<std::pair<int64_t, int>>{{3, 11}, {4, 21}, {5, 1}}));
  EXPECT_EQ(report.Differences[0].Got ^ report.Differences[0].Expected, 1 << 12);
  EXPECT_EQ(report.CrcErrors, 3);
  // Against a setup whose words all differ, every difference is counted and the first 100 kept.
  const BitSequence sent = Stream(32);
  for (int i = 9; i < 62; ++i) sim_->Setup.Words[size_t(i)].SimValue ^= 1;
  const DecomReport wrong = Run(sent);
  EXPECT_GT(wrong.WordsDiffering, 1000);
  EXPECT_EQ(wrong.Differences.size(), 100u);
}

TEST_F(DecomTest, ASlippedBitMovesTheGridAndTheFramesAfterItAreRight) {
  sim_->Setup.SubframeMode = 2;  // FCC: the slip search looks for the complement too
  Validate();
  for (int slip : {-1, 1}) {
    SCOPED_TRACE(slip);
    BitSequence bits = Stream(32);
    const auto at = bits.begin() + kPrefix + 10 * f + 500;  // inside minor frame 10
    if (slip < 0)
      bits.erase(at);
    else
      bits.insert(at, 1);
    const DecomReport report = Run(bits);
    EXPECT_EQ(report.Sync.Locks, 1);
    EXPECT_EQ(report.Sync.Slips, 1);
    ASSERT_EQ(frames.size(), 30u);
    EXPECT_EQ(frames[9].Slip, slip);
    EXPECT_EQ(frames[9].MinorFrame, 11);
    for (const DecomWordDifference& d : report.Differences) EXPECT_EQ(d.Frame, 8);
    EXPECT_GT(report.WordsDiffering, 0);
    EXPECT_EQ(report.CrcErrors, 1);
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

// Don't-care digits are never compared with the pattern, but the word holding them is; a
// major frame larger than what is kept in memory is aligned when joined late.
TEST_F(DecomTest, DontCareDigitsAndLargeMajorFrames) {
  SetPattern(sim_->Setup, "FE6BX840", 2, 32);
  Validate();
  BitSequence bits = Stream(24);
  for (int64_t frame = 0; frame < 24; ++frame)
    for (int b = 16; b < 20; ++b) bits[size_t(kPrefix + frame * f + b)] ^= 1;
  const DecomReport report = Run(bits);
  EXPECT_EQ(report.Sync.PatternBitErrors, 0);
  EXPECT_EQ(report.Sync.Frames.size(), 22u);
  EXPECT_EQ(report.WordsDiffering, 22);
  Apply(sim_->Setup, "WordsPerMinorFrame=4000 NumSubframes=600 SfIdStartBit=9");
  sim_->CrcWdNum = 3999;
  Validate();
  bits = Stream(8);
  bits.erase(bits.begin() + kPrefix, bits.begin() + kPrefix + 3 * f);
  EXPECT_TRUE(Run(bits).Clean());
  ASSERT_EQ(frames.size(), 3u);
  EXPECT_EQ(frames[0].MinorFrame, 5);
  EXPECT_EQ(frames[0].Counter, 5);
}

// A stream ending inside a minor frame, or in a file's padding of low cells, is not judged by its
// end: words not decoded completely are not compared, code violations after them counted apart.
TEST_F(DecomTest, AStreamIsNotJudgedByItsEnd) {
  sim_->DoCrc16 = false;
  sim_->CrcWdNum = -1;
  // An even run of 1s at the end: M-DM leaves out the last one's mid-bit transition.
  sim_->Setup.Words[63].SimValue = 0x0003;
  Validate();
  struct Case {
    const char* what;
    LineCode code;
    bool prefix;     // 37 bits of garbage first: the stream ends 1 bit past a multiple of 4
    int64_t cut;     // bits taken off the end of 20 minor frames
    bool file;       // through a file: padded with low cells to a whole byte
    size_t frames;   // whole minor frames decoded
    int64_t cutOff;  // words not decoded completely
    int64_t tail;    // code violations at the end
  } cases[] = {
      // The last bit needs the one after it.
      {"M-DM-M, every frame whole", LineCode::MDmM, true, 0, false, 18, 1, 0},
      // 6 padding cells, 3 bits of low pairs: the first pair follows the stream's high last
      // cell and has its transition, the two after it break the rule.
      {"Bi-phase-M at a file's padding", LineCode::BiPhaseM, true, 0, true, 18, 0, 2},
      {"NRZ-L cut inside the last frame", LineCode::NrzL, true, 100, true, 17, 0, 0},
      // The last frame looks whole, but its last bits came from cells that may be padding.
      {"NRZ-L whose padding completes the frame", LineCode::NrzL, false, 2, true, 18, 1, 0},
  };
  TempDir dir;
  const std::string path = dir.File("s.bits");
  std::string error;
  BitSequence cells;
  EXPECT_FALSE(ReadBitstreamFile(dir.File("none.bits"), cells, error, 1));
  EXPECT_EQ(error.rfind("cannot open " + dir.File("none.bits"), 0), 0u) << error;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    BitSequence bits = c.prefix ? Stream(20) : ModelOf(*sim_).Bits(20);
    bits.resize(bits.size() - size_t(c.cut));
    cells = EncodeLine(c.code, bits);
    DecomSettings settings;
    settings.Code = c.code;
    if (c.file) {
      const std::vector<uint8_t> bytes = PackCells(cells);
      std::ofstream(path, std::ios::binary) << std::string(bytes.begin(), bytes.end());
      EXPECT_FALSE(ReadBitstreamFile(path, cells, error, bytes.size() - 1));
      EXPECT_EQ(error, path + " holds more than " + std::to_string(bytes.size() - 1) + " bytes");
      ASSERT_TRUE(ReadBitstreamFile(path, cells, error, bytes.size())) << error;
      settings.EndPaddingCells = PossiblePaddingCells(cells);
    }
    const DecomReport report = Decommutate(sim_->Setup, ModelOf(*sim_), cells, settings);
    EXPECT_TRUE(report.Clean()) << report.WordsDiffering << " " << report.CodeViolations;
    EXPECT_EQ(report.Sync.Frames.size(), c.frames);
    EXPECT_EQ(report.WordsCutOff, c.cutOff);
    EXPECT_EQ(report.WordsCompared, int64_t(c.frames) * 64 - c.cutOff);
    EXPECT_EQ(report.TailCodeViolations, c.tail);
    EXPECT_LT(report.TailBits, f);
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
