#pragma once
// The dynamic words panel's edits: the typed start words and intervals of the five wave
// word slots, the placement rules (not on the frame sync words, not on the subframe ID
// word) and the wave chosen for a slot. A slot that breaks a rule is reported and reset.
#include <array>
#include <functional>
#include <string>
#include <vector>

#include "simulator/SimSetupData.h"

class progsimulatorclass;

extern const char* const kDynamicWordErrorCaption;  // "DYNAMIC WORD SETUP ERROR"

// The typed cells of one slot: start word and interval.
struct DynamicWordCells {
  std::string Start;
  std::string Interval;
};
using DynamicGridCells = std::array<DynamicWordCells, kNumDynamicWords>;

// Frame sync words: the sync pattern length in common words, rounded up.
int CommonLengthSyncWords(const SimSetupData& setup);

// The typed numbers into the record (start 1..WordsPerMinorFrame, interval
// 0..WordsPerMinorFrame; text counts as its leading digits).
void ReadDynamicCells(SimSetupData& setup, const DynamicGridCells& cells);
// Checks every slot; a slot that breaks a rule is reset (wave "NOTHING", interval 0,
// start 1) and its message returned, one per slot.
std::vector<std::string> CheckDynamicWords(SimSetupData& setup);
// Read, check, and show each message to the operator. True when a slot was reset.
bool ReadAndCheckDynamicWords(SimSetupData& setup, const DynamicGridCells& cells);

// Runs the user wave editor on (table, file name, cell count); true on Accept.
using UserWaveEditorFn = std::function<bool(UserWaveTable&, std::string&, int)>;

// The operator chose wave for slot (0..4). A new wave sizes the slot's user wave to one
// sample per minor frame (1..1024); "USERDEF" opens the user wave editor, and leaving it
// with Cancel takes the whole choice back. The slots are checked afterwards. True when
// the simulator's setup changed.
bool ChooseDynamicWave(progsimulatorclass& sim, int slot, int32_t wave,
                       const UserWaveEditorFn& editUserWave);
