#include "editor/MinorFrameEdits.h"

#include <algorithm>

#include "simulator/SimSetupData.h"
#include "simulator/SimValidation.h"
#include "support/Signals.h"

const PromptSpec<int32_t> kMinorFrameCountPrompt{"Enter the number of Minor Frames per Major Frame",
                                                 1, 1024, 10};
const PromptSpec<int32_t> kSfIdWordNumPrompt{"Enter the Word Number for the SF ID", 1,
                                             kMaxWordsPerMinorFrame, 10};

namespace {

// True when answer holds a typed number; sounds the error signal for unreadable text.
bool Entered(const IntAnswer& answer) {
  if (answer.Result == PromptResult::Unreadable) SignalError();
  return answer.Result == PromptResult::Entered;
}

}  // namespace

bool SetSubframeDirection(SimSetupData& setup, int32_t tag) {
  if (tag < 0 || static_cast<size_t>(tag) >= kSubframeDirectionNames.size()) return false;
  setup.SubframeDirection = tag;
  return true;
}

bool SetFirstSubFrameNum(SimSetupData& setup, int32_t tag) {
  setup.FirstSubFrameNum = std::clamp(tag, 0, 1);
  return true;
}

bool ApplyMinorFrameCount(SimSetupData& setup, const IntAnswer& answer) {
  if (!Entered(answer)) return false;
  setup.NumSubframes = answer.Value & 0xFFFF;
  return true;
}

bool ApplySfIdWordNum(SimSetupData& setup, const IntAnswer& answer) {
  if (!Entered(answer)) return false;
  setup.SfIdWordNum = answer.Value & 0xFFFF;
  return true;
}

bool SetSfIdStartBit(SimSetupData& setup, int32_t tag) {
  if (tag < 0 || tag >= kSfIdMsbChoices) return false;
  setup.SfIdStartBit = tag;
  return true;
}

SfIdBitMarks SfIdBits(const SimSetupData& setup) {
  const int64_t first = setup.FirstSubFrameNum;
  const int64_t largest = std::max<int64_t>(first + setup.NumSubframes - 1, first);
  const int nbits = BitsNeeded(static_cast<uint32_t>(std::max<int64_t>(largest, 0)));

  SfIdBitMarks marks;
  // A word number outside the table (a damaged file) names no word: draw one tick.
  int length = 1;
  if (setup.SfIdWordNum >= 1 && setup.SfIdWordNum <= kMaxWordsPerMinorFrame)
    length = setup.Words[static_cast<size_t>(setup.SfIdWordNum - 1)].SimWordLen;
  marks.WordLength = std::max(length, 1);
  const int64_t top = marks.WordLength - 1;
  const int64_t msb = setup.SfIdStartBit;
  marks.High = static_cast<int>(std::clamp<int64_t>(msb, 0, top));
  marks.Low = static_cast<int>(std::clamp<int64_t>(msb - nbits + 1, 0, top));
  return marks;
}
