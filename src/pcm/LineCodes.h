#pragma once
// The PCM output codes of the encoder table: each turns the serial bit stream into line
// levels, two half-bit cells per bit for every code (the NRZ codes repeat the level), so
// all codes share one time base. Level 1 is the high level, 0 the low level.
#include <cstdint>
#include <vector>

using BitSequence = std::vector<uint8_t>;  // one 0/1 entry per bit or half-bit cell

// Output code indices, in the order of the setup's output code table.
enum class LineCode : int32_t {
  NrzL = 0,
  NrzM,
  NrzS,
  BiPhaseL,
  BiPhaseM,
  BiPhaseS,
  DmM,
  DmS,
  MDmM,
  MDmS,
  InvNrzL,
  InvBiPhaseL,
  Rz,
  InvRz,
  Rnrz11,
  Rnrz15,
  Rnrz17,
  Rnrz23,
  Rnrz9,
};
constexpr int kLineCodeCount = 19;

// Shift-register length and tap of a randomizer polynomial x^Length + x^Tap + 1.
struct RandomizerPolynomial {
  int Length = 15;
  int Tap = 14;
};
// The polynomial of an RNRZ code; {0, 0} for a code that does not randomize.
RandomizerPolynomial RandomizerOf(LineCode code);

// Self-synchronizing randomizer: y(n) = x(n) ^ y(n - Tap) ^ y(n - Length), the register
// holding the last Length output bits, preset to all ones unless seeded otherwise (bit i of
// seed = y(-1 - i)). The derandomizer undoes it from the received bits alone, so it finds
// step after Length bits whatever register it started from.
BitSequence Randomize(const BitSequence& bits, RandomizerPolynomial poly, uint32_t seed = ~0u);
BitSequence Derandomize(const BitSequence& bits, RandomizerPolynomial poly, uint32_t seed = ~0u);

// The half-bit-cell levels of bits in the given code: 2 * bits.size() entries. Codes that
// carry state across bits start as if the line sat low and no bit had preceded. An index
// outside the table is sent as NRZ-L.
BitSequence EncodeLine(LineCode code, const BitSequence& bits);
