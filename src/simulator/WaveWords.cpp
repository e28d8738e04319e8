#include "simulator/WaveWords.h"

#include <cmath>

#include "link/CommandText.h"
#include "support/ProgramLog.h"

namespace {

// The nearest integer, an exact half going to the lower one.
int64_t RoundHalfDown(double x) {
  const double whole = std::floor(x);
  return static_cast<int64_t>(x - whole > 0.5 ? whole + 1.0 : whole);
}

// Only the low 16 bits are ever sent; keep the low 32 like the unit's software did.
int32_t Low32(int64_t v) {
  return static_cast<int32_t>(static_cast<uint32_t>(v));
}

}  // namespace

std::vector<ActiveDynamicWord> ActiveDynamicWords(const SimSetupData& setup) {
  std::vector<ActiveDynamicWord> list;
  for (int slot = 0; slot < kNumDynamicWords; ++slot) {
    const SimDynamicWord& word = setup.DynamicWords[slot];
    if (word.SimDynamicWordWave == kWaveNothing) continue;
    list.push_back({slot, static_cast<int16_t>(word.SimDynamicWordNumber),
                    static_cast<int16_t>(word.SimDynamicWordInterval), word.SimDynamicWordWave});
  }
  return list;
}

int DynamicWordLength(const SimSetupData& setup, int16_t wordNumber) {
  if (wordNumber < 1 || wordNumber > kMaxWordsPerMinorFrame) return 16;
  const int length = setup.Words[wordNumber - 1].SimWordLen;
  return length > 16 ? 16 : length;
}

int32_t WaveValue(int32_t wave, int wordLength, const UserWaveTable& userWave, int64_t low,
                  int64_t high, int64_t c) {
  const int L = wordLength < 0 ? 0 : (wordLength > 16 ? 16 : wordLength);
  const uint32_t M = (uint32_t{1} << L) - 1;  // full scale
  const double A = static_cast<double>(M >> 1) + 0.9;
  const int64_t n = high - low + 1;
  const double s = 6.28318 / static_cast<double>(n);
  const int64_t h = n / 2;
  const double r = high > low ? static_cast<double>(M) / static_cast<double>(high - low) : 1.0;
  const double cd = static_cast<double>(c);

  switch (wave) {
    case kWaveSine:
      return Low32(static_cast<int64_t>(std::trunc(std::sin(cd * s) * A + A)));
    case kWaveCosine:
      return Low32(static_cast<int64_t>(std::trunc(std::cos(cd * s) * A + A)));
    case kWaveSquare:
      return static_cast<int32_t>(c < h ? (M + 1) >> 2 : 3 * ((M + 1) >> 2));
    case kWaveTriangle:
      if (A > 32767) {
        // A counter range of one value has no half to divide by: the wave stays at 0.
        const uint32_t q = h > 0 ? M / static_cast<uint32_t>(h) : 0;
        const uint32_t step = static_cast<uint32_t>(c < h ? c : 2 * h - c);
        return Low32(q * step);
      } else {
        const double t = s < 0.5 ? 0.5 : s;
        const int64_t x = c < h ? c : high + h - c;
        return Low32(static_cast<int64_t>(std::trunc(static_cast<double>(x) * t)));
      }
    case kWaveRampUp:
      if (c == low) return 0;
      if (c == high) return static_cast<int32_t>(M);
      return Low32(RoundHalfDown(cd * r));
    case kWaveRampDown:
      if (c == low) return static_cast<int32_t>(M);
      if (c == high) return 0;
      return Low32(RoundHalfDown(static_cast<double>(M) - cd * r));
    case kWaveRandom:
      return (32767 + RuntimeRand() / 6) >> (16 - L);
    case kWaveUserDef: {
      int64_t i = c - low;
      if (i > kUserWaveMaxWords - 1) i = kUserWaveMaxWords - 1;
      if (i < 0) i = 0;
      return i < userWave.NumWords ? userWave.Samples[i] : userWave.DefaultValue;
    }
    default:
      return 0;
  }
}

std::vector<WaveWordWrite> BuildWaveWords(const SimSetupData& setup, const UserWaveTables& waves,
                                          int64_t low, int64_t high) {
  std::vector<WaveWordWrite> writes;
  const std::vector<ActiveDynamicWord> active = ActiveDynamicWords(setup);
  if (high >= low) writes.reserve(active.size() * static_cast<size_t>(high - low + 1));
  for (size_t k = 0; k < active.size(); ++k) {
    const ActiveDynamicWord& word = active[k];
    const int length = DynamicWordLength(setup, word.WordNumber);
    const int64_t base = kWaveTableBaseAddress + kWaveTableStride * static_cast<int64_t>(k);
    for (int64_t c = low; c <= high; ++c) {
      const int32_t value = WaveValue(word.Wave, length, waves[word.Slot], low, high, c);
      writes.push_back({base + c, static_cast<uint16_t>(value & 0xFFFF)});
    }
  }
  return writes;
}

std::string WaveWordCommand(const WaveWordWrite& write) {
  return MemoryWriteCommand(write.Value, static_cast<uint32_t>(write.Address));
}

void AppendWaveWords(TransmitBuffer& buffer, const SimSetupData& setup, const UserWaveTables& waves,
                     int64_t low, int64_t high) {
  for (const WaveWordWrite& write : BuildWaveWords(setup, waves, low, high)) {
    const std::string command = WaveWordCommand(write);
    buffer.AppendCommand(command);
    if (gDebugLogging.load(std::memory_order_relaxed))
      LogInfo("      Memory Write ---  : " + command, static_cast<int>(write.Address), false);
  }
}
