#include "editor/MajorFrameEdits.h"

#include <algorithm>

#include "simulator/Qm48SimulatorUnit.h"
#include "support/Signals.h"

const PromptSpec<int32_t> kWordsPerMinorFramePrompt{"Enter the number of Words per Minor Frame", 3,
                                                    kMaxWordsPerMinorFrame, 10};

namespace {

bool InTable(int32_t tag, size_t size) {
  return tag >= 0 && static_cast<size_t>(tag) < size;
}

}  // namespace

void ResetWordLengths(SimSetupData& setup) {
  // A count from a damaged file must not reach past the table.
  const int32_t words = std::clamp(setup.WordsPerMinorFrame, 0, kMaxWordsPerMinorFrame);
  const auto length = static_cast<uint16_t>(setup.CommonWordLength);
  for (int32_t i = 0; i < words; ++i) setup.Words[static_cast<size_t>(i)].SimWordLen = length;
}

bool SetCommonWordLength(SimSetupData& setup, int32_t length) {
  if (length < kMinCommonWordLength || length > kMaxCommonWordLength) return false;
  setup.CommonWordLength = length;
  ResetWordLengths(setup);
  return true;
}

bool ApplyWordsPerMinorFrame(progsimulatorclass& sim, const IntAnswer& answer) {
  if (answer.Result == PromptResult::Unreadable) SignalError();
  if (answer.Result != PromptResult::Entered) return false;
  sim.Setup.WordsPerMinorFrame = answer.Value & 0xFFFF;
  ResetWordLengths(sim.Setup);
  // A CRC word past the new end would silently vanish from the load.
  if ((sim.DoCrc16 || sim.DoCttit) && sim.CrcWdNum >= sim.Setup.WordsPerMinorFrame)
    sim.CrcWdNum = sim.Setup.WordsPerMinorFrame - 1;
  return true;
}

bool SetBitOrder(SimSetupData& setup, int32_t tag) {
  if (!InTable(tag, kBitOrderNames.size())) return false;
  setup.BitOrder = tag;
  return true;
}

bool SetPatternLeads(SimSetupData& setup, int32_t tag) {
  if (!InTable(tag, kPatternLeadsNames.size())) return false;
  setup.PatternLeads = tag;
  return true;
}

bool SetSubframeMode(SimSetupData& setup, int32_t tag) {
  if (!InTable(tag, kSubframeModeNames.size())) return false;
  setup.SubframeMode = tag;
  if (tag == 0) {
    setup.FirstSubFrameNum = 0;
    setup.NumSubframes = 1;
    setup.SubframeDirection = 0;
  }
  return true;
}
