#pragma once
// What the PCM tests share: random bits, a setup's encoder model and random setups.
#include <memory>
#include <random>

#include "common/RandomSimSetup.h"
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

inline std::unique_ptr<progsimulatorclass> RandomSim(RandomSimSetup& random) {
  auto sim = std::make_unique<progsimulatorclass>();
  int32_t format = 0;
  std::array<std::string, 4> names;
  random.Fill(*sim, format, names);
  return sim;
}
