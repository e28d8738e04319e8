#pragma once
// The carrier frequency in the unit's 100 kHz steps.
#include <cstdint>

// FreqMhz x 10, rounded down to a whole step, as the frequency register takes it. A
// product within a millionth of a step below a whole step is that step: 2250.3 MHz is
// 22503 although its binary value times ten falls just short of it. The product is
// limited to -2147483647..4294967295 first (a negative one wraps, as the register write
// always sent it); a frequency that is not a number gives 0.
uint32_t FreqToSteps(double freqMhz);
