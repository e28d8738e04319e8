#pragma once
// The largest frame the editor allows, which the benchmarks share: 16,383 words, 1,024
// minor frames with an SFID counter, all five dynamic words (every wave shape but
// "NOTHING", the last one RANDOM) and all seven unique words in use, a CRC word.
#include <cstdint>
#include <memory>

#include "simulator/Qm48SimulatorUnit.h"

inline std::unique_ptr<progsimulatorclass> LargestSetup() {
  auto sim = std::make_unique<progsimulatorclass>();
  SimSetupData& s = sim->Setup;
  s.WordsPerMinorFrame = 16383;
  s.NumSubframes = 1024;
  s.SubframeMode = 1;
  s.SfIdWordNum = 3;
  s.SfIdStartBit = 15;
  for (int k = 0; k < kNumDynamicWords; ++k)
    s.DynamicWords[size_t(k)] = {10 + k, 50, k == 4 ? kWaveRandom : k + 1};
  for (int k = 0; k < kNumUniqueWords; ++k)
    s.UniqueWords[size_t(k)] = {k, 3, 20 + k, 40, static_cast<uint16_t>(0xBEE0 + k)};
  sim->DoCrc16 = true;
  sim->CrcWdNum = 16382;
  return sim;
}
