#include "pcm/LineCodes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>

namespace {

const BitSequence kBits = {1, 0, 1, 1, 0, 0, 1, 0};

std::string Text(const BitSequence& levels) {
  std::string s;
  for (size_t i = 0; i < levels.size(); ++i) {
    if (i > 0 && i % 2 == 0) s += ' ';
    s += levels[i] ? '1' : '0';
  }
  return s;
}

std::string Encoded(LineCode code) {
  return Text(EncodeLine(code, kBits));
}

// Worked out by hand for 1011 0010, the line starting low with no bit before it.
TEST(LineCodesTest, HandWrittenVectorsForEveryCode) {
  EXPECT_EQ(Encoded(LineCode::NrzL), "11 00 11 11 00 00 11 00");
  EXPECT_EQ(Encoded(LineCode::NrzM), "11 11 00 11 11 11 00 00");
  EXPECT_EQ(Encoded(LineCode::NrzS), "00 11 11 11 00 11 11 00");
  EXPECT_EQ(Encoded(LineCode::BiPhaseL), "10 01 10 10 01 01 10 01");
  EXPECT_EQ(Encoded(LineCode::BiPhaseM), "10 11 01 01 00 11 01 00");
  EXPECT_EQ(Encoded(LineCode::BiPhaseS), "11 01 00 11 01 01 00 10");
  EXPECT_EQ(Encoded(LineCode::DmM), "01 11 10 01 11 00 01 11");
  EXPECT_EQ(Encoded(LineCode::DmS), "00 01 11 00 01 10 00 01");
  EXPECT_EQ(Encoded(LineCode::MDmM), "01 11 10 00 00 11 10 00");  // even run 11: no mid
  EXPECT_EQ(Encoded(LineCode::MDmS), "00 01 11 00 01 11 11 10");  // even run 00: no mid
  EXPECT_EQ(Encoded(LineCode::InvNrzL), "00 11 00 00 11 11 00 11");
  EXPECT_EQ(Encoded(LineCode::InvBiPhaseL), "01 10 01 01 10 10 01 10");
  EXPECT_EQ(Encoded(LineCode::Rz), "10 00 10 10 00 00 10 00");
  EXPECT_EQ(Encoded(LineCode::InvRz), "01 11 01 01 11 11 01 11");
}

TEST(LineCodesTest, EveryCodeGivesTwoCellsPerBitAndUnknownCodesSendNrzL) {
  for (int c = 0; c < kLineCodeCount; ++c) {
    EXPECT_EQ(EncodeLine(static_cast<LineCode>(c), kBits).size(), 2 * kBits.size()) << c;
  }
  EXPECT_EQ(Text(EncodeLine(static_cast<LineCode>(99), kBits)), Encoded(LineCode::NrzL));
  EXPECT_TRUE(EncodeLine(LineCode::MDmM, {}).empty());
}

TEST(LineCodesTest, Rnrz15FromAllOnesRegisterWithZeroInput) {
  // y(n) = y(n-14) ^ y(n-15), y(-1..-15) = 1: zeros until y(14) = y(0) ^ y(-1) = 1,
  // then y(28) = y(14) ^ y(13) = 1 and y(29) = y(15) ^ y(14) = 1.
  const BitSequence out = Randomize(BitSequence(30, 0), RandomizerOf(LineCode::Rnrz15));
  std::string expected(30, '0');
  expected[14] = expected[28] = expected[29] = '1';
  std::string got;
  for (uint8_t b : out) got += b ? '1' : '0';
  EXPECT_EQ(got, expected);
  // The line code is the randomized stream sent as NRZ-L.
  const BitSequence line = EncodeLine(LineCode::Rnrz15, BitSequence(30, 0));
  EXPECT_EQ(line[28], 1);
  EXPECT_EQ(line[29], 1);
  EXPECT_EQ(line[0], 0);
}

TEST(LineCodesTest, RandomizersAreMaximalLength) {
  // A primitive polynomial of degree L gives period 2^L - 1 with 2^(L-1) ones per period.
  for (LineCode code :
       {LineCode::Rnrz9, LineCode::Rnrz11, LineCode::Rnrz15, LineCode::Rnrz17, LineCode::Rnrz23}) {
    const RandomizerPolynomial poly = RandomizerOf(code);
    const size_t period = (size_t{1} << poly.Length) - 1;
    const BitSequence out = Randomize(BitSequence(period + 64, 0), poly);
    size_t ones = 0;
    for (size_t i = 0; i < period; ++i) ones += out[i];
    EXPECT_EQ(ones, size_t{1} << (poly.Length - 1)) << poly.Length;
    for (size_t i = 0; i < 64; ++i) ASSERT_EQ(out[i], out[i + period]) << poly.Length;
  }
}

TEST(LineCodesTest, DerandomizerRestoresAndResynchronizes) {
  std::mt19937 rng(7);
  BitSequence bits(500);
  for (uint8_t& b : bits) b = static_cast<uint8_t>(rng() & 1);
  for (LineCode code :
       {LineCode::Rnrz9, LineCode::Rnrz11, LineCode::Rnrz15, LineCode::Rnrz17, LineCode::Rnrz23}) {
    const RandomizerPolynomial poly = RandomizerOf(code);
    const BitSequence sent = Randomize(bits, poly);
    EXPECT_NE(sent, bits);
    EXPECT_EQ(Derandomize(sent, poly), bits);
    // A receiver that starts with another register is right after Length bits.
    const BitSequence late = Derandomize(sent, poly, 0x12345);
    EXPECT_TRUE(std::equal(late.begin() + poly.Length, late.end(), bits.begin() + poly.Length));
  }
  EXPECT_EQ(Randomize(bits, RandomizerOf(LineCode::NrzL)), bits);
}

}  // namespace
