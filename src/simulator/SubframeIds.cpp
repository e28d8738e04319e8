// The subframe ID counter: its range over the major frame and the values the unit puts
// into the subframe ID word for every counter value.
#include <limits>

#include "simulator/MemoryImages.h"

namespace {
constexpr int32_t kDirectionUp = 0;
}  // namespace

int SignificantBits(int64_t v) {
  // The counter values are 32-bit numbers: a negative one has all 32 bits significant.
  uint32_t bits = static_cast<uint32_t>(v);
  int count = 0;
  while (bits != 0) {
    bits >>= 1;
    ++count;
  }
  return count;
}

SfIdCounterRange SfIdRange(SimSetupData& setup, int defaultCount) {
  int64_t first = setup.FirstSubFrameNum;
  const int64_t frames = setup.NumSubframes;
  SfIdCounterRange range;
  range.Last = setup.SubframeDirection == kDirectionUp ? first + frames - 1 : frames - first - 1;
  if (range.Last == first) {
    setup.FirstSubFrameNum = 0;
    first = 0;
    range.Last = defaultCount - 1;
  }
  if (range.Last > first) {
    range.Low = first;
    range.High = range.Last;
  } else {
    range.Low = range.Last;
    range.High = first;
  }
  // A counter range no table of the unit can hold is cut, so the load stays finite; the
  // bounds stay 32-bit numbers like the counter values they stand for.
  constexpr int64_t kMin = std::numeric_limits<int32_t>::min();
  constexpr int64_t kMax = std::numeric_limits<int32_t>::max();
  if (range.Low < kMin) range.Low = kMin;
  if (range.High > kMax) range.High = kMax;
  if (range.High - range.Low + 1 > kMaxCounterValues)
    range.High = range.Low + kMaxCounterValues - 1;
  return range;
}

int64_t SfIdShift(int32_t sfIdStartBit, int64_t high) {
  int64_t shift = static_cast<int64_t>(sfIdStartBit) + 1 - SignificantBits(high);
  return shift < 0 ? 0 : shift;
}

std::vector<MemoryImageWrite> SfIdValues(SimSetupData& setup) {
  const SfIdCounterRange range = SfIdRange(setup);
  const int64_t shift = SfIdShift(setup.SfIdStartBit, range.High);
  std::vector<MemoryImageWrite> writes;
  writes.reserve(static_cast<size_t>(range.High - range.Low + 1));
  for (int64_t c = range.Low; c <= range.High; ++c) {
    // A shift of 32 or more moves every counter bit out of the word.
    uint32_t value = shift >= 32 ? 0u : static_cast<uint32_t>(c) << shift;
    writes.push_back({kSfIdValueBaseAddress + c, static_cast<uint16_t>(value & 0xFFFF)});
  }
  return writes;
}
