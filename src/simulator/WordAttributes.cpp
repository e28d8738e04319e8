// Word attributes: for every word of the minor frame its length, the unique words inserted
// in it, its type (data, frame sync, subframe ID or one of the dynamic words) and the mark
// of the frame's last word.
#include "simulator/MemoryImages.h"
#include "simulator/WaveWords.h"

namespace {
constexpr int kLengthField = 0;
constexpr int kMaskField = 1;
constexpr int kTypeField = 2;
constexpr int32_t kPatternLeads = 1;

// Visits the word indexes start, start + interval, ... below the frame's end; an interval of
// 0 or less visits the start word only. Indexes outside the frame are skipped.
template <typename Visit>
void ForEachRepeat(int64_t start, int64_t interval, int words, Visit visit) {
  for (int64_t i = start; i < words; i += interval) {
    if (i >= 0) visit(static_cast<int>(i));
    if (interval <= 0) break;
  }
}
}  // namespace

int FrameWordCount(const SimSetupData& setup) {
  const int32_t words = setup.WordsPerMinorFrame;
  if (words < 0) return 0;
  return words > kMaxWordsPerMinorFrame ? kMaxWordsPerMinorFrame : words;
}

void BuildWordAttributes(const SimSetupData& setup, WordAttributeTable& table) {
  const int words = FrameWordCount(setup);
  for (int i = 0; i < words; ++i) {
    table[i][kLengthField] = static_cast<uint16_t>(setup.Words[i].SimWordLen - 1);
    table[i][kMaskField] = 0;
    table[i][kTypeField] = 0;
    table[i][3] = 0;
  }

  // Each unique word that starts inside the major frame takes the next mask bit.
  const int64_t f0 = setup.FirstSubFrameNum != 0 ? 1 : 0;
  const std::vector<ActiveUniqueWord> unique = ActiveUniqueWords(setup);
  uint16_t maskBit = 1;
  for (size_t k = 0; k < unique.size(); ++k) {
    const int64_t f = unique[k].StartFrame - f0;
    if (f < 0 || f > static_cast<int64_t>(setup.NumSubframes) - 1) continue;
    if (k > 0) maskBit = static_cast<uint16_t>(maskBit << 1);
    ForEachRepeat(unique[k].StartWord - 1, unique[k].WordInterval, words,
                  [&](int i) { table[i][kMaskField] |= maskBit; });
  }

  const std::vector<ActiveDynamicWord> dynamic = ActiveDynamicWords(setup);
  for (size_t k = 0; k < dynamic.size(); ++k) {
    const uint16_t type = static_cast<uint16_t>(kWordTypeFirstDynamic + k);
    ForEachRepeat(dynamic[k].WordNumber - 1, dynamic[k].Interval, words,
                  [&](int i) { table[i][kTypeField] |= type; });
  }

  const int syncWords = FrameSyncWordCount(setup);
  for (int i = 0; i < syncWords; ++i) {
    const int64_t index = setup.PatternLeads == kPatternLeads
                              ? i
                              : static_cast<int64_t>(setup.WordsPerMinorFrame) - 1 - i;
    if (index >= 0 && index < kWordAttributeEntries) table[index][kTypeField] = kWordTypeFrameSync;
  }

  const int32_t sfId = setup.SfIdWordNum;
  if (sfId >= 1 && sfId <= setup.WordsPerMinorFrame && sfId <= kWordAttributeEntries)
    table[sfId - 1][kTypeField] = kWordTypeSfId;
}

uint16_t WordAttribute(const SimSetupData& setup, const WordAttributeTable& table, int i) {
  const std::array<uint16_t, 4>& entry = table[i];
  uint32_t value = ((entry[kLengthField] & 15u) << 8) | (entry[kMaskField] & 127u) |
                   ((entry[kTypeField] & 7u) << 12);
  if (static_cast<int64_t>(i) == static_cast<int64_t>(setup.WordsPerMinorFrame) - 1)
    value |= kAttributeLastWordBit;
  return static_cast<uint16_t>(value);
}
