// The fixed value of every word of the minor frame, at the word's own number.
#include "simulator/MemoryImages.h"

std::vector<MemoryImageWrite> WordValues(const SimSetupData& setup) {
  const int words = FrameWordCount(setup);
  std::vector<MemoryImageWrite> writes;
  writes.reserve(static_cast<size_t>(words));
  for (int i = 0; i < words; ++i)
    writes.push_back({static_cast<int64_t>(i) + 1, setup.Words[i].SimValue});
  return writes;
}
