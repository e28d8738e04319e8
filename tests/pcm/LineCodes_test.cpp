// Line codes and their decoding: hand-worked cells for every code and the randomizers.
#include <gtest/gtest.h>

#include <algorithm>

#include "pcm/LineDecoding.h"
#include "pcm/PcmTestSupport.h"

namespace {

// Worked out by hand for 1011 0010, the line starting low with no bit before it; an unknown
// code is sent as NRZ-L.
TEST(LineCodesTest, HandWorkedCellsForEveryCode) {
  const struct {
    LineCode code;
    const char* cells;
  } cases[] = {
      {LineCode::NrzL, "11 00 11 11 00 00 11 00"},
      {LineCode::NrzM, "11 11 00 11 11 11 00 00"},
      {LineCode::NrzS, "00 11 11 11 00 11 11 00"},
      {LineCode::BiPhaseL, "10 01 10 10 01 01 10 01"},
      {LineCode::BiPhaseM, "10 11 01 01 00 11 01 00"},
      {LineCode::BiPhaseS, "11 01 00 11 01 01 00 10"},
      {LineCode::DmM, "01 11 10 01 11 00 01 11"},
      {LineCode::DmS, "00 01 11 00 01 10 00 01"},
      {LineCode::MDmM, "01 11 10 00 00 11 10 00"},
      {LineCode::MDmS, "00 01 11 00 01 11 11 10"},
      {LineCode::InvNrzL, "00 11 00 00 11 11 00 11"},
      {LineCode::InvBiPhaseL, "01 10 01 01 10 10 01 10"},
      {LineCode::Rz, "10 00 10 10 00 00 10 00"},
      {LineCode::InvRz, "01 11 01 01 11 11 01 11"},
      {static_cast<LineCode>(99), "11 00 11 11 00 00 11 00"},
  };
  for (const auto& c : cases) {  // read back from the first cell, and joined half a bit late
    BitSequence cells = BitsOfText(c.cells);
    EXPECT_EQ(EncodeLine(c.code, BitsOfText("1011 0010")), cells) << static_cast<int>(c.code);
    EXPECT_EQ(DecodeLine(c.code, cells, 0), BitsOfText("1011 0010")) << static_cast<int>(c.code);
    cells.insert(cells.begin(), 1);
    EXPECT_EQ(DecodeLine(c.code, cells, 1).size(), 8u) << static_cast<int>(c.code);
  }
  EXPECT_TRUE(EncodeLine(LineCode::MDmM, {}).empty());
  // 0110 0: the run "11" has even length, so its last 1 goes out without a transition; M-DM
  // puts it back, plain delay modulation reads a 0.
  const BitSequence line = EncodeLine(LineCode::MDmM, BitsOfText("01100"));
  EXPECT_EQ(line, BitsOfText("00 01 11 11 00"));
  EXPECT_EQ(DecodeLine(LineCode::MDmM, line, 0), BitsOfText("01100"));
  EXPECT_EQ(DecodeLine(LineCode::DmM, line, 0), BitsOfText("01000"));
}

TEST(LineCodesTest, RandomizersAreMaximalLengthAndResynchronize) {
  // y(n) = y(n-14) ^ y(n-15) from all ones with zero input: y(14), y(28), y(29) are 1.
  EXPECT_EQ(Randomize(BitSequence(30, 0), RandomizerOf(LineCode::Rnrz15)),
            BitsOfText("00000000000000 1 0000000000000 11"));
  EXPECT_EQ(EncodeLine(LineCode::Rnrz15, BitSequence(15, 0)),
            EncodeLine(LineCode::NrzL, BitsOfText("000000000000001")));
  const BitSequence bits = RandomBits(500, 7);
  EXPECT_EQ(Randomize(bits, RandomizerOf(LineCode::NrzL)), bits);
  for (LineCode code :
       {LineCode::Rnrz9, LineCode::Rnrz11, LineCode::Rnrz15, LineCode::Rnrz17, LineCode::Rnrz23}) {
    const RandomizerPolynomial poly = RandomizerOf(code);
    // Period 2^L - 1 with 2^(L-1) ones in it.
    const size_t period = (size_t{1} << poly.Length) - 1;
    const BitSequence out = Randomize(BitSequence(period + 64, 0), poly);
    EXPECT_EQ(std::count(out.begin(), out.begin() + long(period), 1), 1L << (poly.Length - 1));
    EXPECT_TRUE(std::equal(out.begin(), out.begin() + 64, out.begin() + long(period)));
    const BitSequence sent = Randomize(bits, poly);
    EXPECT_EQ(Derandomize(sent, poly), bits);
    // A receiver starting with another register is right after Length bits.
    const BitSequence late = Derandomize(sent, poly, 0x12345);
    EXPECT_TRUE(std::equal(late.begin() + poly.Length, late.end(), bits.begin() + poly.Length));
    // Joined 100 bits late on the line.
    const BitSequence line = EncodeLine(code, bits);
    const BitSequence back = DecodeLine(code, BitSequence(line.begin() + 200, line.end()), 0);
    EXPECT_TRUE(
        std::equal(back.begin() + poly.Length, back.end(), bits.begin() + 100 + poly.Length));
  }
}

}  // namespace
