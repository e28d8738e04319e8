#pragma once
// What the simulator tests share: a simulator as the program starts one, and the edits
// many of their setups begin with.
#include <cstring>
#include <functional>
#include <memory>
#include <vector>

#include "simulator/MemoryImages.h"
#include "simulator/Qm48SimulatorUnit.h"

using SetupEdit = std::function<void(SimSetupData&)>;

// A new simulator with the generator seeded as at program start: word 1 is 346.
inline std::unique_ptr<progsimulatorclass> Fresh() {
  RuntimeSrand(1);
  return std::make_unique<progsimulatorclass>();
}

inline void SetPattern(SimSetupData& s, const char* text, int radix, int length) {
  std::memset(s.FrameSyncPattern, 0, sizeof s.FrameSyncPattern);
  std::strcpy(s.FrameSyncPattern, text);
  s.FsPatternRadix = radix;
  s.FrameSyncLength = length;
}

inline void NoDynamicOrUniqueWords(SimSetupData& s) {
  for (SimDynamicWord& d : s.DynamicWords) d.SimDynamicWordWave = kWaveNothing;
  for (SimUniqueWord& u : s.UniqueWords) u.SimUniqueWordStartWord = 0;
}

inline std::vector<uint16_t> Values(const std::vector<MemoryImageWrite>& writes) {
  std::vector<uint16_t> values;
  for (const MemoryImageWrite& w : writes) values.push_back(w.Value);
  return values;
}
