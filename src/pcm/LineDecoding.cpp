#include "pcm/LineDecoding.h"

#include <vector>

// How each code is read, per bit with first cell a and second cell b:
//   NRZ-L, Bi-phase-L, RZ: a (inverted variants: not a).
//   NRZ-M: a differs from the previous bit's level; NRZ-S: it does not.
//   Bi-phase-M, DM-M: a mid-bit transition (a != b) is a 1; Bi-phase-S, DM-S: it is a 0.
//   M-DM-M / M-DM-S: as DM, except that a bit without a mid-bit transition, followed by a
//   bit without one and no transition between them, is the run end whose mid-bit
//   transition the coder left out (plain delay modulation always puts a transition between
//   two such bits).
//   RNRZ-n: NRZ-L, then the derandomizer of the code's polynomial.
namespace {

struct CellPairs {
  std::vector<uint8_t> first;
  std::vector<uint8_t> second;
};

CellPairs Pairs(const BitSequence& cells, int phase) {
  CellPairs pairs;
  const size_t start = phase == 0 ? 0 : 1;
  const size_t count = cells.size() > start ? (cells.size() - start) / 2 : 0;
  pairs.first.resize(count);
  pairs.second.resize(count);
  for (size_t i = 0; i < count; ++i) {
    pairs.first[i] = cells[start + 2 * i] & 1;
    pairs.second[i] = cells[start + 2 * i + 1] & 1;
  }
  return pairs;
}

BitSequence FirstCells(const CellPairs& pairs, bool invert) {
  BitSequence bits(pairs.first.size());
  for (size_t i = 0; i < bits.size(); ++i) bits[i] = pairs.first[i] ^ (invert ? 1 : 0);
  return bits;
}

BitSequence LevelChanges(const CellPairs& pairs, bool oneOnChange) {
  BitSequence bits(pairs.first.size());
  uint8_t previous = 0;
  for (size_t i = 0; i < bits.size(); ++i) {
    const bool changed = pairs.first[i] != previous;
    bits[i] = changed == oneOnChange ? 1 : 0;
    previous = pairs.first[i];
  }
  return bits;
}

BitSequence MidBitTransitions(const CellPairs& pairs, bool oneOnTransition, bool modified) {
  const size_t n = pairs.first.size();
  std::vector<bool> mid(n);
  for (size_t i = 0; i < n; ++i) mid[i] = pairs.first[i] != pairs.second[i];
  std::vector<bool> corrected = mid;
  if (modified) {
    for (size_t i = 0; i + 1 < n; ++i) {
      const bool boundary = pairs.second[i] != pairs.first[i + 1];
      if (!mid[i] && !mid[i + 1] && !boundary) corrected[i] = true;
    }
  }
  BitSequence bits(n);
  for (size_t i = 0; i < n; ++i) bits[i] = corrected[i] == oneOnTransition ? 1 : 0;
  return bits;
}

// Whether bit i, with cells a and b, breaks the code's rules; previousB is the second cell
// of bit i - 1 (unused for bit 0).
bool Breaks(LineCode code, size_t i, uint8_t a, uint8_t b, uint8_t previousB) {
  switch (code) {
    case LineCode::BiPhaseL:
    case LineCode::InvBiPhaseL:
      return a == b;
    case LineCode::BiPhaseM:
    case LineCode::BiPhaseS:
      return i > 0 && a == previousB;
    case LineCode::Rz:
      return b != 0;
    case LineCode::InvRz:
      return b != 1;
    case LineCode::DmM:
    case LineCode::DmS:
    case LineCode::MDmM:
    case LineCode::MDmS:
      return false;
    default:  // the NRZ codes hold one level for the whole bit
      return a != b;
  }
}

}  // namespace

BitSequence DecodeLine(LineCode code, const BitSequence& cells, int phase, int64_t* violations) {
  const CellPairs pairs = Pairs(cells, phase);
  if (violations != nullptr)
    *violations = CodeViolations(code, cells, phase, 0, static_cast<int64_t>(pairs.first.size()));
  switch (code) {
    case LineCode::NrzM:
      return LevelChanges(pairs, true);
    case LineCode::NrzS:
      return LevelChanges(pairs, false);
    case LineCode::InvNrzL:
    case LineCode::InvBiPhaseL:
    case LineCode::InvRz:
      return FirstCells(pairs, true);
    case LineCode::BiPhaseM:
    case LineCode::DmM:
      return MidBitTransitions(pairs, true, false);
    case LineCode::BiPhaseS:
    case LineCode::DmS:
      return MidBitTransitions(pairs, false, false);
    case LineCode::MDmM:
      return MidBitTransitions(pairs, true, true);
    case LineCode::MDmS:
      return MidBitTransitions(pairs, false, true);
    case LineCode::Rnrz11:
    case LineCode::Rnrz15:
    case LineCode::Rnrz17:
    case LineCode::Rnrz23:
    case LineCode::Rnrz9:
      return Derandomize(FirstCells(pairs, false), RandomizerOf(code));
    default:  // NRZ-L, Bi-phase-L, RZ and anything outside the table
      return FirstCells(pairs, false);
  }
}

int64_t CodeViolations(LineCode code, const BitSequence& cells, int phase, int64_t firstBit,
                       int64_t endBit) {
  const size_t start = phase == 0 ? 0 : 1;
  const int64_t bits =
      cells.size() > start ? static_cast<int64_t>((cells.size() - start) / 2) : int64_t{0};
  int64_t count = 0;
  for (int64_t i = firstBit < 0 ? 0 : firstBit; i < endBit && i < bits; ++i) {
    const size_t at = start + 2 * static_cast<size_t>(i);
    const uint8_t previousB = at >= 1 ? cells[at - 1] & 1 : 0;
    if (Breaks(code, static_cast<size_t>(i), cells[at] & 1, cells[at + 1] & 1, previousB)) ++count;
  }
  return count;
}

int64_t CompleteBits(LineCode code, int64_t cells, int phase) {
  const int64_t bits = cells > phase ? (cells - phase) / 2 : 0;
  const bool needsNext = code == LineCode::MDmM || code == LineCode::MDmS;
  return needsNext && bits > 0 ? bits - 1 : bits;
}
