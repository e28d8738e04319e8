// The encoder model against frames written out by hand: sync, counter, waves, unique words,
// CRC words and bit order.
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

}  // namespace
