#pragma once
// Setups the unit accepts and loads, but whose stream no decommutator can follow, or may
// follow falsely: the subframe ID word among the sync words, a long frame whose word
// values overwrite the unit's other tables, an output code the unit has no setting for,
// a sync pattern too short or also found in the frame's fixed words. Nothing is refused:
// the operator is told, on the command line, in the log at load time and on the frame map.
#include <string>
#include <vector>

#include "pcm/EncoderTables.h"
#include "simulator/SimSetupData.h"

struct LockWarning {
  std::string Text;
  std::vector<int> Words;  // 0-based indexes of the words concerned, ascending; may be empty
};

// The warnings for a setup, in a fixed order. The record is not changed, and the runtime
// generator is left where it was (a "RANDOM" wave draws from it when the frame is built).
std::vector<LockWarning> LockWarnings(const SimSetupData& setup, const UserWaveTables& waves,
                                      EncoderCrcSetting crc);

// Patterns with fewer compared bits than this may be found in the data too.
constexpr int kShortestSafePattern = 16;
