#pragma once
// What the PCM tests share: random bits and a setup's encoder model.
#include <random>

#include "pcm/EncoderModel.h"
#include "simulator/Qm48SimulatorUnit.h"

inline BitSequence RandomBits(size_t count, uint32_t seed) {
  std::mt19937 rng(seed);
  BitSequence bits(count);
  for (uint8_t& b : bits) b = static_cast<uint8_t>(rng() & 1);
  return bits;
}

inline EncoderModel ModelOf(const progsimulatorclass& sim) {
  return EncoderModel(sim.Setup, sim.UserWaves, {sim.DoCrc16, sim.DoCttit, sim.CrcWdNum});
}
