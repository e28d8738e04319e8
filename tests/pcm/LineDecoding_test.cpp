#include "pcm/LineDecoding.h"

#include <gtest/gtest.h>

#include <random>

namespace {

BitSequence RandomBits(size_t count, uint32_t seed) {
  std::mt19937 rng(seed);
  BitSequence bits(count);
  for (uint8_t& b : bits) b = static_cast<uint8_t>(rng() & 1);
  return bits;
}

BitSequence Cells(const std::string& text) {
  BitSequence cells;
  for (char c : text) {
    if (c == '0' || c == '1') cells.push_back(c == '1' ? 1 : 0);
  }
  return cells;
}

}  // namespace

// Every code read back gives the bits sent, from the first cell or from one cell late.
TEST(LineDecodingTest, EveryCodeReadsBackWhatWasSent) {
  // Ending on a 0 lets the last bit of the modified delay codes be told apart.
  BitSequence bits = RandomBits(4000, 7);
  bits.push_back(0);
  bits.push_back(1);
  bits.push_back(0);
  for (int c = 0; c < kLineCodeCount; ++c) {
    const LineCode code = static_cast<LineCode>(c);
    BitSequence line = EncodeLine(code, bits);
    int64_t violations = -1;
    ASSERT_EQ(DecodeLine(code, line, 0, &violations), bits) << c;
    EXPECT_EQ(violations, 0) << c;

    line.insert(line.begin(), 1);  // a receiver that joined half a bit early
    const BitSequence late = DecodeLine(code, line, 1);
    ASSERT_EQ(late.size(), bits.size()) << c;
    // Differential codes may read the first bit wrong: the level before it is unknown.
    EXPECT_TRUE(std::equal(bits.begin() + 1, bits.end(), late.begin() + 1)) << c;
  }
}

// The modified delay codes leave a mid-bit transition out; the decoder must put the 1
// back rather than read the 0 it looks like.
TEST(LineDecodingTest, MillerSquaredRestoresTheSuppressedBit) {
  // 0110 then 0: the run "11" has even length, so its last 1 goes out without transition.
  const BitSequence bits = {0, 1, 1, 0, 0};
  const BitSequence line = EncodeLine(LineCode::MDmM, bits);
  EXPECT_EQ(line, Cells("00 01 11 11 00"));
  EXPECT_EQ(DecodeLine(LineCode::MDmM, line, 0), bits);
  // Plain delay modulation reads the suppressed 1 as a 0.
  EXPECT_EQ(DecodeLine(LineCode::DmM, line, 0), (BitSequence{0, 1, 0, 0, 0}));
}

TEST(LineDecodingTest, DifferentialCodesIgnoreThePolarity) {
  const BitSequence bits = RandomBits(256, 3);
  for (LineCode code : {LineCode::NrzM, LineCode::NrzS, LineCode::BiPhaseM, LineCode::BiPhaseS,
                        LineCode::DmM, LineCode::DmS}) {
    BitSequence line = EncodeLine(code, bits);
    for (uint8_t& cell : line) cell ^= 1;
    const BitSequence back = DecodeLine(code, line, 0);
    EXPECT_TRUE(std::equal(bits.begin() + 1, bits.end(), back.begin() + 1))
        << static_cast<int>(code);
  }
}

// The derandomizer needs no shared start: after the register length it reads right.
TEST(LineDecodingTest, RandomizedNrzRecoversAfterTheRegisterLength) {
  const BitSequence bits = RandomBits(1000, 11);
  for (LineCode code :
       {LineCode::Rnrz9, LineCode::Rnrz11, LineCode::Rnrz15, LineCode::Rnrz17, LineCode::Rnrz23}) {
    const BitSequence line = EncodeLine(code, bits);
    const size_t skip = 2 * 100;  // join the stream 100 bits late
    const BitSequence back =
        DecodeLine(code, BitSequence(line.begin() + static_cast<long>(skip), line.end()), 0);
    const size_t settle = static_cast<size_t>(RandomizerOf(code).Length);
    EXPECT_TRUE(std::equal(back.begin() + static_cast<long>(settle), back.end(),
                           bits.begin() + 100 + static_cast<long>(settle)))
        << static_cast<int>(code);
  }
}

// A receiver tells a wrong code or a wrong half-bit phase by the rules the cells break.
TEST(LineDecodingTest, CodeViolationsShowAWrongCodeOrPhase) {
  const BitSequence bits = RandomBits(1000, 5);
  int64_t violations = 0;
  BitSequence line = EncodeLine(LineCode::BiPhaseL, bits);
  line[401] ^= 1;  // one damaged cell
  DecodeLine(LineCode::BiPhaseL, line, 0, &violations);
  EXPECT_EQ(violations, 1);
  DecodeLine(LineCode::NrzL, line, 0, &violations);
  EXPECT_EQ(violations, 999);  // every bit of a bi-phase stream, read as NRZ, but the damaged one
  line = EncodeLine(LineCode::NrzL, bits);
  DecodeLine(LineCode::BiPhaseL, line, 0, &violations);
  EXPECT_EQ(violations, 1000);
  DecodeLine(LineCode::NrzL, line, 1, &violations);  // half a bit off: wherever bits change
  EXPECT_GT(violations, 400);
  DecodeLine(LineCode::Rz, EncodeLine(LineCode::InvRz, bits), 0, &violations);
  EXPECT_EQ(violations, 1000);
}

// The violations of a span of bits, and how many bits a stream's cells decide.
TEST(LineDecodingTest, ViolationsOfASpanAndCompleteBits) {
  // Bi-phase-M cells 10 | 11 | 00 | 00: bit 1 starts high after a low cell, bit 2 starts low
  // after a high one (transitions), bit 3 starts low after a low cell (none): one violation.
  const BitSequence cells = {1, 0, 1, 1, 0, 0, 0, 0};
  EXPECT_EQ(CodeViolations(LineCode::BiPhaseM, cells, 0, 0, 4), 1);
  EXPECT_EQ(CodeViolations(LineCode::BiPhaseM, cells, 0, 3, 4), 1);
  EXPECT_EQ(CodeViolations(LineCode::BiPhaseM, cells, 0, 0, 3), 0);
  EXPECT_EQ(CodeViolations(LineCode::BiPhaseL, cells, 0, 0, 99), 3);  // bits 1, 2, 3 flat
  int64_t all = 0;
  DecodeLine(LineCode::BiPhaseM, cells, 0, &all);
  EXPECT_EQ(all, 1);

  struct Case {
    LineCode code;
    int64_t cells;
    int phase;
    int64_t bits;
  } cases[] = {
      {LineCode::NrzL, 10, 0, 5}, {LineCode::NrzL, 10, 1, 4},  {LineCode::BiPhaseM, 9, 0, 4},
      {LineCode::MDmM, 10, 0, 4}, {LineCode::MDmS, 10, 1, 3},  {LineCode::MDmM, 1, 0, 0},
      {LineCode::DmM, 10, 0, 5},  {LineCode::Rnrz15, 0, 0, 0},
  };
  for (const Case& c : cases)
    EXPECT_EQ(CompleteBits(c.code, c.cells, c.phase), c.bits) << static_cast<int>(c.code);
}
