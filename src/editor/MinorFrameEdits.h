#pragma once
// The minor frame panel's edits of the subframe ID counter in the simulator record, and
// which bits of the sync ID word the counter occupies (the panel's picture). Each edit
// returns true when it edited the record; a kept or unreadable prompt answer leaves it
// as it was (an unreadable one sounds the error signal).
#include <cstdint>

#include "editor/PanelPromptAnswer.h"

struct SimSetupData;

constexpr int32_t kSfIdMsbChoices = 16;  // "Sync ID Msb" offers bits 0..15

extern const PromptSpec<int32_t> kMinorFrameCountPrompt;
extern const PromptSpec<int32_t> kSfIdWordNumPrompt;

bool SetSubframeDirection(SimSetupData& setup, int32_t tag);
// "Minor Frame Counts From": kept within 0..1.
bool SetFirstSubFrameNum(SimSetupData& setup, int32_t tag);
bool ApplyMinorFrameCount(SimSetupData& setup, const IntAnswer& answer);
// Not checked against the words per minor frame here; validation does that.
bool ApplySfIdWordNum(SimSetupData& setup, const IntAnswer& answer);
bool SetSfIdStartBit(SimSetupData& setup, int32_t tag);

// The sync ID word's bits as the picture shows them: bit 0 is the rightmost tick, the
// counter's bits [Low, High] are red.
struct SfIdBitMarks {
  int WordLength = 1;  // ticks drawn, at least 1
  int Low = 0;
  int High = 0;
  bool Used(int bit) const { return bit >= Low && bit <= High; }
};
SfIdBitMarks SfIdBits(const SimSetupData& setup);
