#pragma once
// Dynamic (wave) words: for every active dynamic word, one value per subframe ID counter
// value, stored by the load sequence at address 11264 + 1024 * k + c.
#include <cstdint>
#include <string>
#include <vector>

#include "link/TransmitBuffer.h"
#include "simulator/SimSetupData.h"

constexpr int64_t kWaveTableBaseAddress = 11264;
constexpr int64_t kWaveTableStride = 1024;

// One entry of the compacted list of active dynamic words: the slots whose wave is not
// "NOTHING", in slot order. Word number and interval are taken as signed 16-bit numbers.
struct ActiveDynamicWord {
  int Slot = 0;  // 0..4, selects the slot's user wave table
  int16_t WordNumber = 0;
  int16_t Interval = 0;
  int32_t Wave = 0;
};
std::vector<ActiveDynamicWord> ActiveDynamicWords(const SimSetupData& setup);

// The length in bits of the word that carries a dynamic word: SimWordLen of entry
// wordNumber - 1, or 16 for a word number outside 1..16383. Lengths above 16 count as 16.
int DynamicWordLength(const SimSetupData& setup, int16_t wordNumber);

// The wave's value for counter value c of the range low..high (high >= low), for a word of
// wordLength bits. "RANDOM" draws the next number of the runtime generator; "USERDEF"
// reads userWave. An unknown wave gives 0.
int32_t WaveValue(int32_t wave, int wordLength, const UserWaveTable& userWave, int64_t low,
                  int64_t high, int64_t c);

struct WaveWordWrite {
  int64_t Address = 0;  // 11264 + 1024 * k + c, as computed (c may lie outside 0..1023)
  uint16_t Value = 0;   // WaveValue & 0xFFFF
};

// Every wave table write of the load sequence, in order: active dynamic word k in list
// order, counter value c from low to high (inner loop). low/high are the subframe ID
// counter range of the load, as SfIdRange gives it (the caller bounds its size).
std::vector<WaveWordWrite> BuildWaveWords(const SimSetupData& setup, const UserWaveTables& waves,
                                          int64_t low, int64_t high);

// The memory write command text of one wave table write.
std::string WaveWordCommand(const WaveWordWrite& write);

// Appends the wave table writes to the buffer as memory write commands "vvvv aaaa M", each
// logged (detail logging on) as every memory write of the load sequence is.
void AppendWaveWords(TransmitBuffer& buffer, const SimSetupData& setup, const UserWaveTables& waves,
                     int64_t low, int64_t high);
