#include "simulator/LineDecoding.h"

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

int64_t Violations(LineCode code, const CellPairs& pairs) {
  int64_t count = 0;
  const size_t n = pairs.first.size();
  for (size_t i = 0; i < n; ++i) {
    const uint8_t a = pairs.first[i];
    const uint8_t b = pairs.second[i];
    bool broken = false;
    switch (code) {
      case LineCode::BiPhaseL:
      case LineCode::InvBiPhaseL:
        broken = a == b;
        break;
      case LineCode::BiPhaseM:
      case LineCode::BiPhaseS:
        broken = i > 0 && a == pairs.second[i - 1];
        break;
      case LineCode::Rz:
        broken = b != 0;
        break;
      case LineCode::InvRz:
        broken = b != 1;
        break;
      case LineCode::DmM:
      case LineCode::DmS:
      case LineCode::MDmM:
      case LineCode::MDmS:
        break;
      default:  // the NRZ codes hold one level for the whole bit
        broken = a != b;
        break;
    }
    if (broken) ++count;
  }
  return count;
}

}  // namespace

BitSequence DecodeLine(LineCode code, const BitSequence& cells, int phase, int64_t* violations) {
  const CellPairs pairs = Pairs(cells, phase);
  if (violations != nullptr) *violations = Violations(code, pairs);
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
