// The encoder model against frames written out by hand: sync, counter, waves, unique words,
// CRC words, bit order, and what the unit does where the load's tables overlap.
#include "pcm/EncoderModel.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <span>

#include "pcm/Crc16.h"
#include "simulator/SimKit.h"

namespace {

// 8 words of 8 bits, 4 minor frames: sync "EB90" leading, "FCC", subframe ID in word 3 with
// its top bit on bit 7, a square wave in word 4, unique word 0xAB in word 6 on frames 1, 3.
std::unique_ptr<SimSetupData> SmallSetup() {
  auto s = std::make_unique<SimSetupData>();
  Apply(*s, "CommonWordLength=8 WordsPerMinorFrame=8 SubframeMode=2 NumSubframes=4 SfIdStartBit=7");
  for (int i = 0; i < 8; ++i) s->Words[size_t(i)] = {8, static_cast<uint16_t>(0x11 + i)};
  SetPattern(*s, "EB90", 2, 16);
  s->DynamicWords[0] = {4, 0, kWaveSquare};
  s->UniqueWords[0] = {1, 2, 6, 0, 0xAB};
  return s;
}

// Minor frame c of the small setup, by hand; the last word the CRC of the 7 before it.
BitSequence Frame(int c, CrcKind crc, bool lsbFirst) {
  uint8_t bytes[8] = {0xEB, 0x90, uint8_t(c << 6), uint8_t(c < 2 ? 64 : 192), 0x15, 0x16, 0x17};
  if (c == 3) std::memcpy(bytes, "\x14\x6F", 2);  // FCC
  if (c % 2 == 1) bytes[5] = 0xAB;
  bytes[7] = CrcOfBytes(crc, std::span(bytes, 7)) & 0xFF;
  BitSequence bits;
  for (uint8_t byte : bytes)
    for (int j = 0; j < 8; ++j) bits.push_back((byte >> (lsbFirst ? j : 7 - j)) & 1);
  return bits;
}

TEST(EncoderModelTest, SmallSetupBitForBitInEitherBitOrder) {
  const std::string_view text = "123456789";
  const std::span<const uint8_t> check(reinterpret_cast<const uint8_t*>(text.data()), text.size());
  EXPECT_EQ(CrcOfBytes(CrcKind::Crc16, check), 0xBB3D);
  EXPECT_EQ(CrcOfBytes(CrcKind::Ccitt, check), 0x29B1);
  EXPECT_EQ(CrcOfBytes(CrcKind::Ccitt, {}), 0xFFFF);
  auto setup = SmallSetup();
  const UserWaveTables waves{};
  for (bool lsb : {false, true}) {
    setup->BitOrder = lsb;
    // CCITT as the unit's CTTIT word; CRC-16 reads each byte's bit 0 first, as LSB-first sends it.
    const EncoderModel model(*setup, waves, {lsb, !lsb, 7});
    ASSERT_EQ(model.MinorFramesPerMajorFrame(), 4);
    BitSequence expected;
    for (int c = 0; c < 5; ++c) {  // the fifth minor frame starts the next major frame
      const BitSequence frame = Frame(c % 4, lsb ? CrcKind::Crc16 : CrcKind::Ccitt, lsb);
      expected.insert(expected.end(), frame.begin(), frame.end());
    }
    EXPECT_EQ(model.Bits(5), expected) << lsb;
  }
  const EncoderModel model(*setup, waves, {false, true, 7});
  const EncodedMinorFrame last = model.MinorFrame(3);
  EXPECT_TRUE(last.EndsMajorFrame && !model.MinorFrame(2).EndsMajorFrame);
  using R = EncoderWordRole;
  const R roles[] = {R::FrameSync, R::FrameSync, R::SubframeId, R::Dynamic,
                     R::Data,      R::Unique,    R::Data,       R::Crc};
  for (size_t w = 0; w < 8; ++w) EXPECT_EQ(last.Words[w].Role, roles[w]) << w;
  EXPECT_EQ(model.MinorFrame(2).Words[5].Role, R::Data);
}

// Counting down, the sync trailing; "FCC" inverts the sync words whole, fill included (the
// encoder cannot tell pattern bits from fill), in either bit order.
TEST(EncoderModelTest, CountsDownTrailsAndComplementsWholeSyncWords) {
  auto setup = SmallSetup();
  Apply(*setup, "SubframeDirection=1 PatternLeads=0");
  SetPattern(*setup, "EB9", 2, 12);  // fill, then the pattern's first 4 bits end word 7
  const UserWaveTables waves{};
  const EncoderModel model(*setup, waves, {});
  for (int f = 0; f < 4; ++f) {
    const EncodedMinorFrame frame = model.MinorFrame(f);
    EXPECT_EQ(frame.Counter, 3 - f);
    EXPECT_EQ(frame.Words[2].Value, (3 - f) << 6);
    EXPECT_EQ(frame.Words[0].Role, EncoderWordRole::Data);
    EXPECT_EQ(frame.Words[6].Value, f == 3 ? 0xF1 : 0x0E);  // 0000 1110
    EXPECT_EQ(frame.Words[7].Value, f == 3 ? 0x46 : 0xB9);  // 1011 1001
  }
  setup->BitOrder = 1;
  const EncoderModel lsb(*setup, waves, {});
  EXPECT_EQ(lsb.MinorFrame(3).Words[6].Value ^ lsb.MinorFrame(2).Words[6].Value, 0xFF);
}

// A counter running down from 1 over one minor frame: the load's counter range is -1..1, its
// frame start register wraps to 0x7FFF (start 4095, counting up, FCC and FAC bits), its tables
// below counter 0 land in those beneath, and the unit counts all 4096 values without an end
// mark. Values worked out by hand from the memory the load writes.
TEST(EncoderModelTest, FollowsTheLoadWhereTheCounterRangeLeavesTheTables) {
  auto s = std::make_unique<SimSetupData>();
  // URC (subframe mode 3) counting down; the 60-bit pattern fills words 1..7.
  Apply(*s,
        "SubframeMode=3 SubframeDirection=1 FirstSubFrameNum=1 NumSubframes=1 SfIdWordNum=9 "
        "SfIdStartBit=8 CommonWordLength=9 WordsPerMinorFrame=26");
  for (int i = 0; i < 26; ++i) s->Words[size_t(i)] = {9, static_cast<uint16_t>(0x40 + i)};
  SetPattern(*s, "FAF320FAF320FAF", 2, 60);
  s->DynamicWords[2] = {12, 0, kWaveUserDef};
  s->UniqueWords[0] = {0, 0, 14, 5, 0x1AB};  // words 14, 19 and 24
  UserWaveTables waves{};
  waves[2].NumWords = 3;
  waves[2].Samples = {0x1A1, 0x1A2, 0x1A3};
  waves[2].DefaultValue = 0x1A7;
  const EncoderModel model(*s, waves, {});
  ASSERT_EQ(model.MinorFramesPerMajorFrame(), 4096);
  EXPECT_TRUE(model.FccMode());
  // SFID values (shift 8) went to 10239..10241 for c = -1..1, the wave's samples to
  // 11263..11265; the unit reads 10240 + c and 11264 + c.
  const struct {
    int64_t index, counter;
    uint16_t sfId, wave;
    bool unique;
  } rows[] = {
      {0, 4095, 0, 0, false},         // 14335 and 15359: nothing written
      {1, 0, 0, 0x1A2, false},        // the sample of c = 0 is the second
      {2, 1, 0x100, 0x1A3, true},     // the unique word's frame: attribute 32769
      {3, 2, 0, 0, false},            //
      {1024, 1023, 0x1A1, 0, false},  // 11263: the sample written for c = -1
      {1025, 1024, 0x1A2, 0, false},  // 11264: the wave table's own c = 0
      {4095, 4094, 0, 0, false},
  };
  for (const auto& row : rows) {
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

}  // namespace
