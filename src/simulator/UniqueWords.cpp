// The active unique words (inserted values) and the unit's table of their values.
#include "simulator/MemoryImages.h"

std::vector<ActiveUniqueWord> ActiveUniqueWords(const SimSetupData& setup) {
  std::vector<ActiveUniqueWord> words;
  const int32_t frameOffset = setup.FirstSubFrameNum != 0 ? 1 : 0;
  for (const SimUniqueWord& slot : setup.UniqueWords) {
    if (slot.SimUniqueWordStartWord <= 0) continue;
    ActiveUniqueWord word;
    // The unit's list holds 16-bit numbers; wider values wrap as they always did.
    word.StartFrame =
        static_cast<int16_t>(static_cast<int64_t>(slot.SimUniqueWordStartFrame) + frameOffset);
    word.FrameInterval =
        static_cast<int16_t>(setup.NumSubframes == 1 ? 1 : slot.SimUniqueWordStartFrameInterval);
    word.StartWord = static_cast<int16_t>(slot.SimUniqueWordStartWord);
    word.WordInterval = static_cast<int16_t>(slot.SimUniqueWordWordInterval);
    word.Value = slot.SimUniqueWordValue;
    words.push_back(word);
  }
  return words;
}

std::vector<MemoryImageWrite> UniqueWordValues(const SimSetupData& setup) {
  const std::vector<ActiveUniqueWord> active = ActiveUniqueWords(setup);
  std::vector<MemoryImageWrite> writes;
  for (int k = 0; k < kNumUniqueWords; ++k) {
    uint16_t value = k < static_cast<int>(active.size()) ? active[k].Value : 0;
    writes.push_back({kUniqueValueBaseAddress + k, value});
  }
  return writes;
}
