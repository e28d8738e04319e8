#pragma once
// The unique words panel's edits: the typed cells of the seven unique word slots, their
// placement rules (not on the frame sync words or the subframe ID word, intervals within
// the frame counts) and the value text in decimal or "0x" hex. A slot that breaks a rule
// is reported and switched off.
#include <array>
#include <string>
#include <vector>

#include "simulator/SimSetupData.h"

extern const char* const kUniqueWordErrorCaption;  // "UNIQUE WORD SETUP ERROR"

// The typed cells of one slot, in grid column order.
struct UniqueWordCells {
  std::string Frame;
  std::string FrameInterval;
  std::string Word;
  std::string WordInterval;
  std::string Value;
};
using UniqueGridCells = std::array<UniqueWordCells, kNumUniqueWords>;

// 1 when minor frames count from 1 (the shown frame is the stored one + 1), else 0.
int ShownFrameOffset(const SimSetupData& setup);
// The cells as the grid shows the record.
UniqueWordCells UniqueCellsOf(const SimSetupData& setup, int slot, bool hex);
// The value column: "0x" hex (lower-case x) or decimal.
uint16_t UniqueValueFromText(const std::string& text);
// A key typed into the grid: upper case, except the x of the "0x" prefix.
char UniqueGridKey(char typed);

void ReadUniqueCells(SimSetupData& setup, const UniqueGridCells& cells);
// Checks every used slot (start word at least 1); a slot that breaks a rule is switched
// off (start word -1, everything else 0) and its message returned, one per slot.
std::vector<std::string> CheckUniqueWords(SimSetupData& setup);
// Read, check, and show each message to the operator. True when a slot was reset.
bool ReadAndCheckUniqueWords(SimSetupData& setup, const UniqueGridCells& cells);
