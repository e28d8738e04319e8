#include "pcm/LineCodes.h"

#include <cstddef>
#include <utility>

// Codes as the telemetry standards define them (levels per bit interval):
//   NRZ-L   1 high, 0 low.            NRZ-M  1 toggles the level, 0 keeps it.
//   NRZ-S   0 toggles, 1 keeps.       Bi-phase-L  1 high-low, 0 low-high.
//   Bi-phase-M  a transition at every bit start, 1 adds one at mid-bit.
//   Bi-phase-S  a transition at every bit start, 0 adds one at mid-bit.
//   DM-M    1 a transition at mid-bit; a transition between two consecutive 0s.
//   DM-S    0 a transition at mid-bit; a transition between two consecutive 1s.
//   M-DM-M  "Miller squared": DM-M, but in a run of 1s of even length bounded by 0s the
//           last 1's mid-bit transition is left out, so the line holds no DC. The run
//           ends of the sequence count as 0s. M-DM-S is the same with 0 and 1 swapped.
//   RZ      1 high for the first half, low for the second; 0 low.
//   RNRZ-n  the randomizer below, then NRZ-L.
namespace {

BitSequence Nrz(const BitSequence& bits) {
  BitSequence out;
  out.reserve(bits.size() * 2);
  for (uint8_t b : bits) {
    out.push_back(b & 1);
    out.push_back(b & 1);
  }
  return out;
}

// NRZ-M (toggleOn 1) and NRZ-S (toggleOn 0).
BitSequence NrzDifferential(const BitSequence& bits, uint8_t toggleOn) {
  BitSequence out;
  out.reserve(bits.size() * 2);
  uint8_t level = 0;
  for (uint8_t b : bits) {
    if ((b & 1) == toggleOn) level ^= 1;
    out.push_back(level);
    out.push_back(level);
  }
  return out;
}

// Bi-phase-M (midOn 1) and Bi-phase-S (midOn 0).
BitSequence BiPhaseDifferential(const BitSequence& bits, uint8_t midOn) {
  BitSequence out;
  out.reserve(bits.size() * 2);
  uint8_t level = 0;
  for (uint8_t b : bits) {
    level ^= 1;  // transition at the bit start
    out.push_back(level);
    if ((b & 1) == midOn) level ^= 1;
    out.push_back(level);
  }
  return out;
}

// Delay modulation with the mid-bit transition on midOn; a transition at the boundary
// between two consecutive bits of the other value. suppressMid marks bits whose mid-bit
// transition is left out (modified delay modulation).
BitSequence DelayModulation(const BitSequence& bits, uint8_t midOn,
                            const std::vector<bool>& suppressMid) {
  BitSequence out;
  out.reserve(bits.size() * 2);
  uint8_t level = 0;
  bool previousOther = false;  // the previous bit was the other value
  for (size_t i = 0; i < bits.size(); ++i) {
    const bool mid = (bits[i] & 1) == midOn;
    if (!mid && previousOther) level ^= 1;
    out.push_back(level);
    if (mid && !suppressMid[i]) level ^= 1;
    out.push_back(level);
    previousOther = !mid;
  }
  return out;
}

// Bits of value midOn that end a run of midOn bits of even length.
std::vector<bool> EvenRunEnds(const BitSequence& bits, uint8_t midOn) {
  std::vector<bool> ends(bits.size(), false);
  size_t run = 0;
  for (size_t i = 0; i < bits.size(); ++i) {
    if ((bits[i] & 1) != midOn) {
      run = 0;
      continue;
    }
    ++run;
    const bool last = i + 1 == bits.size() || (bits[i + 1] & 1) != midOn;
    if (last && run % 2 == 0) ends[i] = true;
  }
  return ends;
}

BitSequence Invert(BitSequence levels) {
  for (uint8_t& l : levels) l ^= 1;
  return levels;
}

BitSequence ReturnToZero(const BitSequence& bits) {
  BitSequence out;
  out.reserve(bits.size() * 2);
  for (uint8_t b : bits) {
    out.push_back(b & 1);
    out.push_back(0);
  }
  return out;
}

// The randomizer register: bit i holds y(n - 1 - i).
uint8_t Feedback(uint32_t reg, RandomizerPolynomial poly) {
  return static_cast<uint8_t>(((reg >> (poly.Tap - 1)) ^ (reg >> (poly.Length - 1))) & 1);
}

uint32_t RegisterMask(RandomizerPolynomial poly) {
  return poly.Length >= 32 ? ~0u : ((1u << poly.Length) - 1);
}

uint32_t Shift(uint32_t reg, uint8_t y, RandomizerPolynomial poly) {
  return ((reg << 1) | (y & 1)) & RegisterMask(poly);
}

}  // namespace

RandomizerPolynomial RandomizerOf(LineCode code) {
  switch (code) {
    case LineCode::Rnrz11:
      return {11, 9};  // x^11 + x^9 + 1
    case LineCode::Rnrz15:
      return {15, 14};  // x^15 + x^14 + 1
    case LineCode::Rnrz17:
      return {17, 14};  // x^17 + x^14 + 1
    case LineCode::Rnrz23:
      return {23, 18};  // x^23 + x^18 + 1
    case LineCode::Rnrz9:
      return {9, 5};  // x^9 + x^5 + 1
    default:
      return {0, 0};
  }
}

BitSequence Randomize(const BitSequence& bits, RandomizerPolynomial poly, uint32_t seed) {
  if (poly.Length <= 0 || poly.Tap <= 0) return bits;
  BitSequence out;
  out.reserve(bits.size());
  uint32_t reg = seed & RegisterMask(poly);
  for (uint8_t x : bits) {
    const uint8_t y = (x & 1) ^ Feedback(reg, poly);
    out.push_back(y);
    reg = Shift(reg, y, poly);
  }
  return out;
}

BitSequence Derandomize(const BitSequence& bits, RandomizerPolynomial poly, uint32_t seed) {
  if (poly.Length <= 0 || poly.Tap <= 0) return bits;
  BitSequence out;
  out.reserve(bits.size());
  uint32_t reg = seed & RegisterMask(poly);
  for (uint8_t y : bits) {
    out.push_back((y & 1) ^ Feedback(reg, poly));
    reg = Shift(reg, y, poly);
  }
  return out;
}

BitSequence EncodeLine(LineCode code, const BitSequence& bits) {
  switch (code) {
    case LineCode::NrzM:
      return NrzDifferential(bits, 1);
    case LineCode::NrzS:
      return NrzDifferential(bits, 0);
    case LineCode::BiPhaseL:
    case LineCode::InvBiPhaseL: {
      BitSequence out;
      out.reserve(bits.size() * 2);
      for (uint8_t b : bits) {
        out.push_back(b & 1);
        out.push_back((b & 1) ^ 1);
      }
      return code == LineCode::InvBiPhaseL ? Invert(std::move(out)) : out;
    }
    case LineCode::BiPhaseM:
      return BiPhaseDifferential(bits, 1);
    case LineCode::BiPhaseS:
      return BiPhaseDifferential(bits, 0);
    case LineCode::DmM:
      return DelayModulation(bits, 1, std::vector<bool>(bits.size(), false));
    case LineCode::DmS:
      return DelayModulation(bits, 0, std::vector<bool>(bits.size(), false));
    case LineCode::MDmM:
      return DelayModulation(bits, 1, EvenRunEnds(bits, 1));
    case LineCode::MDmS:
      return DelayModulation(bits, 0, EvenRunEnds(bits, 0));
    case LineCode::InvNrzL:
      return Invert(Nrz(bits));
    case LineCode::Rz:
      return ReturnToZero(bits);
    case LineCode::InvRz:
      return Invert(ReturnToZero(bits));
    case LineCode::Rnrz11:
    case LineCode::Rnrz15:
    case LineCode::Rnrz17:
    case LineCode::Rnrz23:
    case LineCode::Rnrz9:
      return Nrz(Randomize(bits, RandomizerOf(code)));
    default:
      return Nrz(bits);
  }
}
