#pragma once
// What the unit reports about its hardware in its query replies: fixed by the unit's
// build, not by anything the controller loads.
#include <array>
#include <cstdint>

struct UnitLimits {
  uint32_t minFreqMhz = 2200;
  uint32_t maxFreqMhz = 2400;
  std::array<uint32_t, 4> premodFilterKhz{100, 300, 600, 1000};
  uint32_t firmwareVersion = 0x0141;
  uint32_t maxDb = 19;                 // top of the attenuation list is 5 x maxDb dB
  uint32_t numAttenSteps = 20;         // steps of 5 dB
  uint32_t patternType = 0;            // 0 PCM, otherwise 15-bit PRN
  uint32_t inputModulationSource = 0;  // 0 simulator, otherwise external
};
