#pragma once
// The frame sync pattern panel's edits of the simulator record: the pattern shown in all
// three radices, switching the stored radix, the pattern length and the pattern digits.
// Each edit changes only the record fields it names; a refused or cancelled edit leaves
// the record as it was. Prompts and messages go through the operator.
#include <cstdint>
#include <string>

#include "simulator/SimSetupData.h"

struct FspRenderings {
  std::string Hex;
  std::string Binary;
  std::string Octal;
};

extern const char* const kFspDontCareText;     // the message when X digits block a radix switch
extern const char* const kFspDontCareCaption;  // "DONT CARE BITS SET"

// The pattern in the given radix rendered in hex, binary and octal, each cut or padded to
// the digits that the length gives. False (renderings untouched) when the length lies
// outside 3..64.
bool ShowPatternInAllRadices(const std::string& pattern, int32_t radix, int32_t length,
                             FspRenderings& renderings);
// The pattern as the panel shows it beside the button of the radix (current renderings).
std::string PatternRenderedIn(const SimSetupData& setup, int32_t radix);

bool PatternHasDontCare(const std::string& pattern);

enum class FspSwitch { Switched, Unchanged, RefusedEndedInBinary };

// The operator chose another radix: the pattern is rewritten in it. Hex and octal are
// refused while the pattern holds don't-care digits; the operator is told and the pattern
// goes to binary instead (stays as it is when it already is binary).
FspSwitch SwitchPatternRadix(SimSetupData& setup, int32_t radix);

// "Pattern Length": the value prompt, 3..64; Cancel changes nothing. True when the record
// changed.
bool EditPatternLength(SimSetupData& setup);

// "Frame Sync Pattern": the input box in the shown radix. Cancel changes nothing; a longer
// answer than the record holds is refused.
bool EditPatternDigits(SimSetupData& setup);
