#pragma once
// The deviation and premodulation filter that suit a simulator bit rate.
#include <array>
#include <cstdint>

struct TxBitRateSettings {
  int32_t FmDeviation = 0;           // kHz
  double FilterBandwidthKhz = 0;     // what the filter must pass
  int32_t PreModFilterSelected = 0;  // 0 when no reported filter fits
};

// Bi-phase output codes (BIOL, BIOM, BIOS, INV_BIOL) double the bandwidth. Deviation is
// 0.35 x bit rate, filter bandwidth 0.7 x bit rate (kHz); the filter index follows the
// filter whose corner frequency and the next one's hold the bandwidth between them.
TxBitRateSettings TxSettingsForBitRate(uint32_t bitRate, int32_t outputCode,
                                       const std::array<uint32_t, 4>& premodFilterFreqKhz);
