#include "editor/FrameSyncEdits.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <optional>
#include <utility>

#include "editor/PanelPromptAnswer.h"
#include "simulator/SyncPatternText.h"
#include "support/NumberText.h"
#include "support/Operator.h"
#include "support/Signals.h"
#include "support/ValuePrompts.h"

const char* const kFspDontCareText =
    "FRAME SYNC PATTERN CONTAINS DONT CARE BITS. YOU MUST REMOVE THEM TO CONVERT TO A "
    "DIFFERENT BASE";
const char* const kFspDontCareCaption = "DONT CARE BITS SET";

namespace {

// Leading zeros removed (an X stops the removal), then fitted to width digits.
std::string FitDigits(const std::string& digits, int width) {
  return FitLeft(width, '0', StripLeading(digits, '0'));
}

void StorePattern(SimSetupData& setup, const std::string& text) {
  const size_t length = std::min(text.size(), sizeof setup.FrameSyncPattern - 1);
  std::memcpy(setup.FrameSyncPattern, text.data(), length);
  setup.FrameSyncPattern[length] = '\0';
}

const char* RadixName(int32_t radix) {
  switch (radix) {
    case kPatternHex:
      return "HEX";
    case kPatternOctal:
      return "OCTAL";
    default:
      return "BINARY";
  }
}

}  // namespace

bool ShowPatternInAllRadices(const std::string& pattern, int32_t radix, int32_t length,
                             FspRenderings& renderings) {
  if (length < 3 || length > 64) return false;
  renderings.Hex = FitDigits(PatternToHexText(pattern, radix), length / 4);
  renderings.Binary = FitDigits(PatternToBinaryText(pattern, radix), length);
  renderings.Octal = FitDigits(PatternToOctalText(pattern, radix), length / 3);
  return true;
}

std::string PatternRenderedIn(const SimSetupData& setup, int32_t radix) {
  FspRenderings shown;
  if (!ShowPatternInAllRadices(setup.FrameSyncPattern, setup.FsPatternRadix, setup.FrameSyncLength,
                               shown))
    return setup.FrameSyncPattern;
  switch (radix) {
    case kPatternHex:
      return shown.Hex;
    case kPatternOctal:
      return shown.Octal;
    default:
      return shown.Binary;
  }
}

bool PatternHasDontCare(const std::string& pattern) {
  // A radix marker in front ("0X1F") is no don't-care digit.
  return NormalizePatternText(pattern).find('X') != std::string::npos;
}

FspSwitch SwitchPatternRadix(SimSetupData& setup, int32_t radix) {
  if (radix != kPatternBinary && radix != kPatternHex && radix != kPatternOctal)
    return FspSwitch::Unchanged;
  if (radix != kPatternBinary && PatternHasDontCare(setup.FrameSyncPattern)) {
    Operator().MessageBox(kFspDontCareText, kFspDontCareCaption, MsgButtons::Ok, MsgIcon::Warning);
    if (setup.FsPatternRadix != kPatternBinary) SwitchPatternRadix(setup, kPatternBinary);
    return FspSwitch::RefusedEndedInBinary;
  }
  if (radix == setup.FsPatternRadix) return FspSwitch::Unchanged;
  // Renderings exist only for a length of 3..64; outside it the digits cannot be
  // rewritten, so the radix stays too.
  FspRenderings shown;
  if (!ShowPatternInAllRadices(setup.FrameSyncPattern, setup.FsPatternRadix, setup.FrameSyncLength,
                               shown))
    return FspSwitch::Unchanged;
  setup.FsPatternRadix = radix;
  StorePattern(setup, radix == kPatternHex     ? shown.Hex
                      : radix == kPatternOctal ? shown.Octal
                                               : shown.Binary);
  return FspSwitch::Switched;
}

bool EditPatternLength(SimSetupData& setup) {
  // Cancel keeps the old length even when it lies outside 3..64 (a damaged file's).
  const IntAnswer answer = AskInt(
      {"Enter the number of bits for the frame sync pattern", 3, 64, 10}, setup.FrameSyncLength);
  if (answer.Result == PromptResult::Unreadable) SignalError();
  if (answer.Result != PromptResult::Entered || answer.Value == setup.FrameSyncLength) return false;
  setup.FrameSyncLength = answer.Value;
  return true;
}

bool EditPatternDigits(SimSetupData& setup) {
  const int32_t radix = setup.FsPatternRadix;
  const std::string initial = PatternRenderedIn(setup, radix);
  const std::string prompt = std::string("Enter the FSP pattern in ") + RadixName(radix);
  std::optional<std::string> typed = Operator().InputBox("Input Pattern", prompt, initial);
  if (!typed) return false;  // Cancel
  std::string answer = std::move(*typed);
  if (answer.size() > static_cast<size_t>(kMaxFrameSyncPatternChars)) {
    Operator().MessageBox("The pattern may hold at most 64 characters", "Input Pattern",
                          MsgButtons::Ok, MsgIcon::Error);
    SignalError();
    return false;
  }
  for (char& c : answer) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  // Digits the radix does not have would load a different pattern than the one typed.
  if (!ParsePatternText(answer, radix).Ok) {
    Operator().MessageBox(
        std::string("The pattern may hold only ") + RadixName(radix) + " digits and X (don't care)",
        "Input Pattern", MsgButtons::Ok, MsgIcon::Error);
    SignalError();
    return false;
  }
  if (answer == setup.FrameSyncPattern) return false;
  StorePattern(setup, answer);
  return true;
}
