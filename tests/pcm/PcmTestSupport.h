#pragma once
// What the PCM tests share: bits at random or from a text, and a setup's encoder model.
#include <random>
#include <string_view>

#include "pcm/EncoderModel.h"
#include "simulator/Qm48SimulatorUnit.h"

inline BitSequence RandomBits(size_t count, uint32_t seed) {
  std::mt19937 rng(seed);
  BitSequence bits(count);
  for (uint8_t& b : bits) b = static_cast<uint8_t>(rng() & 1);
  return bits;
}

// The 0s and 1s of a text, anything else skipped: "1011 0010".
inline BitSequence BitsOfText(std::string_view text) {
  BitSequence bits;
  for (char c : text)
    if (c == '0' || c == '1') bits.push_back(static_cast<uint8_t>(c - '0'));
  return bits;
}

inline EncoderModel ModelOf(const progsimulatorclass& sim) {
  return EncoderModel(sim.Setup, sim.UserWaves, {sim.DoCrc16, sim.DoCttit, sim.CrcWdNum});
}
