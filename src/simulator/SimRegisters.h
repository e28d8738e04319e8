#pragma once
// The three simulator registers the load sequence sets: mode (1), PCM encoder (2) and
// frame start (0).
#include <cstdint>

#include "simulator/SimSetupData.h"

constexpr int kFrameStartRegister = 0;
constexpr int kModeRegister = 1;
constexpr int kPcmEncoderRegister = 2;

// CRC kind, bit order and the clock's prescale code.
uint16_t ModeRegisterValue(const SimSetupData& setup, bool doCrc16, bool doCttit);
// Encoder code of the output code, convolution and differential encoding bits.
uint16_t PcmEncoderRegisterValue(const SimSetupData& setup);
// The counter's start value with the direction, FAC and FCC bits added, and bit 15.
uint16_t FrameStartRegisterValue(const SimSetupData& setup);
