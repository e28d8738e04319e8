#include "pcm/EncoderModel.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <span>

#include "pcm/Crc16.h"

namespace {

constexpr int32_t kLeads = 1;
constexpr int32_t kTrails = 0;
constexpr int32_t kHex = 2;
constexpr int32_t kFcc = 2;
constexpr int32_t kDown = 1;

// 8 words of 8 bits, 4 minor frames: sync "EB90" leading, subframe ID in word 3 with its
// top bit on bit 7, a square wave in word 4, unique word 0xAB in word 6 on frames 1 and 3.
std::unique_ptr<SimSetupData> SmallSetup() {
  auto setup = std::make_unique<SimSetupData>();
  setup->CommonWordLength = 8;
  setup->WordsPerMinorFrame = 8;
  for (int i = 0; i < 8; ++i) setup->Words[size_t(i)] = {8, static_cast<uint16_t>(0x11 + i)};
  setup->FsPatternRadix = kHex;
  std::strcpy(setup->FrameSyncPattern, "EB90");
  setup->FrameSyncLength = 16;
  setup->PatternLeads = kLeads;
  setup->SubframeMode = kFcc;
  setup->NumSubframes = 4;
  setup->FirstSubFrameNum = 0;
  setup->SfIdWordNum = 3;
  setup->SfIdStartBit = 7;
  setup->DynamicWords[0] = {4, 0, kWaveSquare};
  setup->UniqueWords[0] = {1, 2, 6, 0, 0xAB};
  return setup;
}

BitSequence MsbBits(const std::vector<uint8_t>& bytes) {
  BitSequence bits;
  for (uint8_t byte : bytes)
    for (int j = 7; j >= 0; --j) bits.push_back((byte >> j) & 1);
  return bits;
}

// The frames written out by hand from the setup above.
std::vector<uint8_t> ExpectedFrame(int c, bool withCrc) {
  const bool last = c == 3;
  std::vector<uint8_t> bytes = {
      static_cast<uint8_t>(last ? 0x14 : 0xEB),  // FCC: the last frame's sync complemented
      static_cast<uint8_t>(last ? 0x6F : 0x90),
      static_cast<uint8_t>(c << 6),            // counter top bit (bit 1 of 0..3) on bit 7
      static_cast<uint8_t>(c < 2 ? 64 : 192),  // square wave of an 8-bit word
      0x15,
      static_cast<uint8_t>(c % 2 == 1 ? 0xAB : 0x16),
      0x17,
      0x18};
  if (withCrc) bytes[7] = CrcOfBytes(CrcKind::Ccitt, std::span(bytes.data(), 7)) & 0xFF;
  return bytes;
}

TEST(EncoderModelTest, SmallSetupBitForBit) {
  const auto setup = SmallSetup();
  const UserWaveTables waves{};
  const EncoderModel model(*setup, waves, {false, true, 7});
  ASSERT_EQ(model.MinorFramesPerMajorFrame(), 4);
  BitSequence expected;
  for (int c = 0; c < 4; ++c) {
    const BitSequence frame = MsbBits(ExpectedFrame(c, true));
    expected.insert(expected.end(), frame.begin(), frame.end());
  }
  EXPECT_EQ(model.Bits(4), expected);
  // The fifth minor frame starts the next major frame.
  const BitSequence five = model.Bits(5);
  EXPECT_TRUE(std::equal(five.begin() + 256, five.end(), expected.begin()));

  const EncodedMinorFrame last = model.MinorFrame(3);
  EXPECT_TRUE(last.EndsMajorFrame);
  EXPECT_FALSE(model.MinorFrame(2).EndsMajorFrame);
  EXPECT_EQ(last.Words[0].Role, EncoderWordRole::FrameSync);
  EXPECT_EQ(last.Words[2].Role, EncoderWordRole::SubframeId);
  EXPECT_EQ(last.Words[3].Role, EncoderWordRole::Dynamic);
  EXPECT_EQ(last.Words[5].Role, EncoderWordRole::Unique);
  EXPECT_EQ(model.MinorFrame(2).Words[5].Role, EncoderWordRole::Data);
  EXPECT_EQ(last.Words[7].Role, EncoderWordRole::Crc);
}

TEST(EncoderModelTest, LsbFirstReversesEveryWord) {
  auto setup = SmallSetup();
  const UserWaveTables waves{};
  const BitSequence msb = EncoderModel(*setup, waves, {}).Bits(4);
  setup->BitOrder = 1;
  const BitSequence lsb = EncoderModel(*setup, waves, {}).Bits(4);
  ASSERT_EQ(lsb.size(), msb.size());
  for (size_t w = 0; w < msb.size(); w += 8) {
    for (size_t j = 0; j < 8; ++j) ASSERT_EQ(lsb[w + j], msb[w + 7 - j]) << "bit " << w + j;
  }
}

TEST(EncoderModelTest, DefaultSetupFramesStartWithSyncAndCountTheSubframeId) {
  auto setup = std::make_unique<SimSetupData>();
  UserWaveTables waves{};
  SetDefaults(*setup, waves);
  const EncoderModel model(*setup, waves, {});
  ASSERT_EQ(model.MinorFramesPerMajorFrame(), 64);
  const BitSequence sync = MsbBits({0xFE, 0x6B, 0x28, 0x40});
  const BitSequence bits = model.Bits(65);
  const size_t frameBits = 256 * 16;
  ASSERT_EQ(bits.size(), 65 * frameBits);
  for (size_t f = 0; f < 65; ++f) {
    ASSERT_TRUE(std::equal(sync.begin(), sync.end(), bits.begin() + f * frameBits)) << f;
    // Word 3 holds the counter with its top bit on bit 5: the counter itself for 0..63.
    const EncodedMinorFrame frame = model.MinorFrame(int64_t(f));
    EXPECT_EQ(frame.Words[2].Value, f % 64) << f;
    EXPECT_EQ(frame.EndsMajorFrame, f % 64 == 63) << f;
  }
  // Outside "FCC" the last frame keeps its sync as it is.
  EXPECT_EQ(model.MinorFrame(63).Words[0].Value, 0xFE6B);
}

TEST(EncoderModelTest, CountsDownFromTheTopAndTrailingSyncEndsTheFrame) {
  auto setup = SmallSetup();
  setup->SubframeDirection = kDown;
  setup->PatternLeads = kTrails;
  setup->SubframeMode = 0;
  const UserWaveTables waves{};
  const EncoderModel model(*setup, waves, {});
  for (int f = 0; f < 4; ++f) {
    const EncodedMinorFrame frame = model.MinorFrame(f);
    EXPECT_EQ(frame.Counter, 3 - f);
    EXPECT_EQ(frame.Words[2].Value, (3 - f) << 6);
    EXPECT_EQ(frame.EndsMajorFrame, f == 3);
    EXPECT_EQ(frame.Words[6].Value, 0xEB);
    EXPECT_EQ(frame.Words[7].Value, 0x90);
    EXPECT_EQ(frame.Words[0].Role, EncoderWordRole::Data);
  }
}

TEST(EncoderModelTest, CrcWordCarriesCrc16OfThePrecedingBits) {
  auto setup = SmallSetup();
  setup->BitOrder = 1;  // LSB first: the wire order is each byte's bit 0 first, as CRC-16 reads
  const UserWaveTables waves{};
  const EncoderModel model(*setup, waves, {true, false, 7});
  for (int c = 0; c < 4; ++c) {
    std::vector<uint8_t> bytes = ExpectedFrame(c, false);
    const uint16_t crc = CrcOfBytes(CrcKind::Crc16, std::span(bytes.data(), 7));
    EXPECT_EQ(model.MinorFrame(c).Words[7].Value, crc & 0xFF) << c;
  }
}

// The encoder cannot tell pattern bits from fill in its sync words, so "FCC" inverts them
// whole; a synchroniser checks only the pattern bits.
TEST(EncoderModelTest, FccComplementsTheWholeSyncWords) {
  auto setup = SmallSetup();
  std::strcpy(setup->FrameSyncPattern, "EB9");  // 12 bits: word 2 holds 4 pattern bits
  setup->FrameSyncLength = 12;
  const UserWaveTables waves{};
  EncodedMinorFrame last = EncoderModel(*setup, waves, {}).MinorFrame(3);
  EXPECT_EQ(last.Words[0].Value, 0x14);
  EXPECT_EQ(last.Words[1].Value, 0x6F);  // 1001 0000 complemented, fill included
  EXPECT_EQ(EncoderModel(*setup, waves, {}).MinorFrame(2).Words[1].Value, 0x90);

  setup->PatternLeads = kTrails;  // the pattern's first 4 bits end word 7, fill before them
  last = EncoderModel(*setup, waves, {}).MinorFrame(3);
  EXPECT_EQ(last.Words[6].Value, 0xF1);  // 0000 1110 complemented
  EXPECT_EQ(last.Words[7].Value, 0x46);  // 1011 1001 complemented

  setup->BitOrder = 1;  // LSB first: the same inversion, whatever the bit order
  const EncoderModel lsb(*setup, waves, {});
  EXPECT_EQ(lsb.MinorFrame(3).Words[6].Value ^ lsb.MinorFrame(2).Words[6].Value, 0xFF);
  EXPECT_EQ(lsb.MinorFrame(3).Words[7].Value ^ lsb.MinorFrame(2).Words[7].Value, 0xFF);
}

// A counter that runs down from 1 over one minor frame: the load's counter range is -1..1,
// its frame start register wraps to 0x7FFF (start 4095, counting up, FCC and FAC bits) and
// its tables below counter 0 land in the tables beneath them. The unit then counts through
// all 4096 values of its 12-bit counter without meeting an end mark; the prediction must
// do the same. Values worked out by hand from the memory the load writes.
TEST(EncoderModelTest, FollowsTheLoadWhereTheCounterRangeLeavesTheTables) {
  auto setup = std::make_unique<SimSetupData>();
  setup->SubframeMode = 3;  // URC
  setup->SubframeDirection = kDown;
  setup->FirstSubFrameNum = 1;
  setup->NumSubframes = 1;
  setup->CommonWordLength = 9;
  setup->WordsPerMinorFrame = 26;
  for (int i = 0; i < 26; ++i) setup->Words[size_t(i)] = {9, static_cast<uint16_t>(0x40 + i)};
  setup->FsPatternRadix = kHex;
  std::strcpy(setup->FrameSyncPattern, "FAF320FAF320FAF");  // 60 bits in words 1..7
  setup->FrameSyncLength = 60;
  setup->PatternLeads = kLeads;
  setup->SfIdWordNum = 9;
  setup->SfIdStartBit = 8;
  for (SimDynamicWord& d : setup->DynamicWords) d.SimDynamicWordWave = kWaveNothing;
  setup->DynamicWords[2] = {12, 0, kWaveUserDef};
  for (SimUniqueWord& u : setup->UniqueWords) u.SimUniqueWordStartWord = 0;
  setup->UniqueWords[0] = {0, 0, 14, 5, 0x1AB};  // words 14, 19 and 24
  UserWaveTables waves{};
  waves[2].NumWords = 3;
  waves[2].Samples[0] = 0x1A1;
  waves[2].Samples[1] = 0x1A2;
  waves[2].Samples[2] = 0x1A3;
  waves[2].DefaultValue = 0x1A7;

  const EncoderModel model(*setup, waves, {});
  ASSERT_EQ(model.MinorFramesPerMajorFrame(), 4096);
  EXPECT_TRUE(model.FccMode());
  // SFID values (shift 8) went to 10239..10241 for c = -1..1, the wave's samples for c = -1..1
  // to 11263..11265; the unit reads 10240 + c and 11264 + c.
  struct Row {
    int64_t index, counter;
    uint16_t sfId, wave;
    bool unique;
  };
  const Row rows[] = {
      {0, 4095, 0, 0, false},         // 14335 and 15359: nothing written
      {1, 0, 0, 0x1A2, false},        // the sample of c = 0 is the second
      {2, 1, 0x100, 0x1A3, true},     // the unique word's frame: attribute 32769
      {3, 2, 0, 0, false},            //
      {1024, 1023, 0x1A1, 0, false},  // 11263: the sample written for c = -1
      {1025, 1024, 0x1A2, 0, false},  // 11264: the wave table's own c = 0
      {4095, 4094, 0, 0, false},      //
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.index);
    const EncodedMinorFrame frame = model.MinorFrame(row.index);
    EXPECT_EQ(frame.Counter, row.counter);
    EXPECT_FALSE(frame.EndsMajorFrame);
    EXPECT_EQ(frame.Words[0].Value, 0x1F5);  // 1 1111 0101: the pattern, never complemented
    EXPECT_EQ(frame.Words[8].Value, row.sfId);
    EXPECT_EQ(frame.Words[11].Value, row.wave);
    for (size_t w : {13, 18, 23}) EXPECT_EQ(frame.Words[w].Value, row.unique ? 0x1AB : 0x40 + w);
    EXPECT_EQ(frame.Words[14].Value, 0x4E);
  }
}

TEST(EncoderModelTest, LineFollowsTheOutputCode) {
  auto setup = SmallSetup();
  setup->SimOutputCode = static_cast<int32_t>(LineCode::BiPhaseL);
  const UserWaveTables waves{};
  const EncoderModel model(*setup, waves, {});
  EXPECT_EQ(model.Line(2), EncodeLine(LineCode::BiPhaseL, model.Bits(2)));
}

}  // namespace
