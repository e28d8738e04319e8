#pragma once
// The simulator clock: the 32-bit clock rate value sent with "K" and the 2-bit prescale
// code of the mode register (bits 5-6), both computed from the setup's bit rate, output
// code and convolution.
#include <cstdint>

#include "simulator/SimSetupData.h"

// The highest line rate the unit's clock synthesiser produces, in bits per second.
constexpr uint32_t kMaxSimLineRate = 33000000;

struct SimClockSetting {
  uint32_t ClockRate = 0;  // the line rate shifted left by 12, 8, 4 or 0 bits
  int Prescale = 0;        // 3, 2, 1 or 0: which shift was used
};

// Line rate = SimBitRate, doubled for the bi-phase, delay-modulation, return-to-zero,
// RNRZ17, RNRZ23 and RNRZ9 codes, times 2 or 3 for convolution 1 or 2, limited to
// kMaxSimLineRate.
uint64_t SimLineRate(const SimSetupData& setup);

SimClockSetting GetSimClockRatePrescaleNcoRate(const SimSetupData& setup);
