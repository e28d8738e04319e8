#include "pcm/PcmFormat.h"

#include <algorithm>

std::vector<int> PcmFormat::PositionBits() const {
  std::vector<int> bits(static_cast<size_t>(std::max(WordsPerMinorFrame, 1)) + 1, CommonWordLength);
  bits[0] = 0;
  for (const WordLength& w : WordLengths) {
    if (w.Position >= 1 && w.Position < WordsPerMinorFrame)
      bits[static_cast<size_t>(w.Position)] = w.Bits;
  }
  bits.back() = static_cast<int>(SyncPattern.size());
  return bits;
}
