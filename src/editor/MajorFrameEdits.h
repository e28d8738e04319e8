#pragma once
// The major frame panel's edits of the simulator record: common word length, words per
// minor frame, bit order, frame sync location and subframe mode. Each returns true when
// it edited the record; a kept or unreadable prompt answer leaves it as it was (an
// unreadable one sounds the error signal).
#include <cstdint>

#include "editor/PanelPromptAnswer.h"

class progsimulatorclass;
struct SimSetupData;

constexpr int32_t kMinCommonWordLength = 3;
constexpr int32_t kMaxCommonWordLength = 16;

extern const PromptSpec<int32_t> kWordsPerMinorFramePrompt;

// Every word in use gets the common length; entries beyond the frame keep theirs.
void ResetWordLengths(SimSetupData& setup);

// A length from the "Common Word Length" submenu (3..16); the words in use take it too.
bool SetCommonWordLength(SimSetupData& setup, int32_t length);
// "Words Per Minor Frame": the new count, the words in use reset to the common length.
// A CRC word that no longer lies in the frame moves to its last word.
bool ApplyWordsPerMinorFrame(progsimulatorclass& sim, const IntAnswer& answer);
bool SetBitOrder(SimSetupData& setup, int32_t tag);
bool SetPatternLeads(SimSetupData& setup, int32_t tag);
// "NONE" also resets the counter: first minor frame 0, one minor frame, counting up.
bool SetSubframeMode(SimSetupData& setup, int32_t tag);
