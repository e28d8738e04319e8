// Line codes and their decoding: hand-worked cells for every code, the randomizers, and
// streams read back from either half bit, inverted, joined late or damaged.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>

#include "pcm/LineDecoding.h"
#include "pcm/PcmTestSupport.h"

namespace {

BitSequence Bits(const std::string& text) {
  BitSequence bits;
  for (char c : text)
    if (c == '0' || c == '1') bits.push_back(c == '1');
  return bits;
}

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
  for (const auto& c : cases)
    EXPECT_EQ(EncodeLine(c.code, Bits("1011 0010")), Bits(c.cells)) << static_cast<int>(c.code);
  EXPECT_TRUE(EncodeLine(LineCode::MDmM, {}).empty());
  // 0110 0: the run "11" has even length, so its last 1 goes out without a transition; M-DM
  // puts it back, plain delay modulation reads a 0.
  const BitSequence line = EncodeLine(LineCode::MDmM, Bits("01100"));
  EXPECT_EQ(line, Bits("00 01 11 11 00"));
  EXPECT_EQ(DecodeLine(LineCode::MDmM, line, 0), Bits("01100"));
  EXPECT_EQ(DecodeLine(LineCode::DmM, line, 0), Bits("01000"));
}

TEST(LineCodesTest, RandomizersAreMaximalLengthAndResynchronize) {
  // y(n) = y(n-14) ^ y(n-15) from all ones with zero input: y(14), y(28), y(29) are 1.
  EXPECT_EQ(Randomize(BitSequence(30, 0), RandomizerOf(LineCode::Rnrz15)),
            Bits("00000000000000 1 0000000000000 11"));
  EXPECT_EQ(EncodeLine(LineCode::Rnrz15, BitSequence(15, 0)),
            EncodeLine(LineCode::NrzL, Bits("000000000000001")));
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

// Read back from the first cell or half a bit late; differential codes ignore polarity and
// may read only the first bit wrong.
TEST(LineCodesTest, EveryCodeReadsBackWhatWasSent) {
  BitSequence bits = RandomBits(4003, 7);
  bits[4000] = bits[4002] = 0;  // a last 0 tells the modified delay codes' last bit
  bits[4001] = 1;
  const std::set<LineCode> differential = {LineCode::NrzM,     LineCode::NrzS, LineCode::BiPhaseM,
                                           LineCode::BiPhaseS, LineCode::DmM,  LineCode::DmS};
  for (int c = 0; c < kLineCodeCount; ++c) {
    SCOPED_TRACE(c);
    const LineCode code = static_cast<LineCode>(c);
    BitSequence line = EncodeLine(code, bits);
    ASSERT_EQ(line.size(), 2 * bits.size());
    int64_t violations = -1;
    ASSERT_EQ(DecodeLine(code, line, 0, &violations), bits);
    EXPECT_EQ(violations, 0);
    if (differential.count(code) != 0) {
      for (uint8_t& cell : line) cell ^= 1;
      const BitSequence inverted = DecodeLine(code, line, 0);
      EXPECT_TRUE(std::equal(bits.begin() + 1, bits.end(), inverted.begin() + 1));
    }
    line.insert(line.begin(), 1);
    const BitSequence late = DecodeLine(code, line, 1);
    ASSERT_EQ(late.size(), bits.size());
    EXPECT_TRUE(std::equal(bits.begin() + 1, bits.end(), late.begin() + 1));
  }
}

// A wrong code or half-bit phase shows in the rules the cells break.
TEST(LineCodesTest, CodeViolationsAndCompleteBits) {
  const BitSequence bits = RandomBits(1000, 5);
  const auto violations = [](LineCode code, const BitSequence& cells, int phase) {
    int64_t count = -1;
    DecodeLine(code, cells, phase, &count);
    return count;
  };
  BitSequence line = EncodeLine(LineCode::BiPhaseL, bits);
  line[401] ^= 1;
  EXPECT_EQ(violations(LineCode::BiPhaseL, line, 0), 1);
  EXPECT_EQ(violations(LineCode::NrzL, line, 0), 999);  // bi-phase read as NRZ, but the damaged bit
  line = EncodeLine(LineCode::NrzL, bits);
  EXPECT_EQ(violations(LineCode::BiPhaseL, line, 0), 1000);
  EXPECT_GT(violations(LineCode::NrzL, line, 1), 400);  // half a bit off: wherever the bits change
  EXPECT_EQ(violations(LineCode::Rz, EncodeLine(LineCode::InvRz, bits), 0), 1000);
  // Bi-phase-M cells 10 | 11 | 00 | 00: bit 3 starts low after a low cell.
  const BitSequence cells = Bits("10110000");
  EXPECT_EQ(CodeViolations(LineCode::BiPhaseM, cells, 0, 0, 4), 1);
  EXPECT_EQ(CodeViolations(LineCode::BiPhaseM, cells, 0, 3, 4), 1);
  EXPECT_EQ(CodeViolations(LineCode::BiPhaseM, cells, 0, 0, 3), 0);
  EXPECT_EQ(CodeViolations(LineCode::BiPhaseL, cells, 0, 0, 99), 3);
  const struct {
    LineCode code;
    int64_t cells;
    int phase;
    int64_t bits;
  } cases[] = {
      {LineCode::NrzL, 10, 0, 5}, {LineCode::NrzL, 10, 1, 4},  {LineCode::BiPhaseM, 9, 0, 4},
      {LineCode::MDmM, 10, 0, 4}, {LineCode::MDmS, 10, 1, 3},  {LineCode::MDmM, 1, 0, 0},
      {LineCode::DmM, 10, 0, 5},  {LineCode::Rnrz15, 0, 0, 0}, {LineCode::MDmS, 2, 0, 0}};
  for (const auto& c : cases)
    EXPECT_EQ(CompleteBits(c.code, c.cells, c.phase), c.bits) << static_cast<int>(c.code);
}

}  // namespace
