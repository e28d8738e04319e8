// Frame attributes: for every minor frame of the major frame, the unique words inserted in
// it and the mark of the frame that ends the major frame.
#include "simulator/MemoryImages.h"

namespace {
constexpr int32_t kDirectionDown = 1;
constexpr uint16_t kMajorFrameEndBit = 0x80;
}  // namespace

std::vector<MemoryImageWrite> BuildFrameAttributes(SimSetupData& setup) {
  // The frame offset and the unique word list are taken before the counter range, which
  // may reset FirstSubFrameNum.
  const int64_t f0 = setup.FirstSubFrameNum != 0 ? 1 : 0;
  const std::vector<ActiveUniqueWord> unique = ActiveUniqueWords(setup);
  const SfIdCounterRange range = SfIdRange(setup);
  const int64_t low = range.Low - f0;
  const int64_t high = range.High - f0;

  // Entries run from frame index min(low, 0) to high: the unique words are placed from
  // frame 0 on, the writes cover low..high.
  const int64_t base = low < 0 ? low : 0;
  std::vector<uint16_t> entries(high >= base ? static_cast<size_t>(high - base + 1) : 0, 0);
  auto entry = [&](int64_t f) -> uint16_t& { return entries[static_cast<size_t>(f - base)]; };

  for (size_t k = 0; k < unique.size(); ++k) {
    const uint16_t bit = static_cast<uint16_t>(1u << k);
    // The start frame matches at most one frame index f in 0..high.
    const int64_t f = unique[k].StartFrame - f0;
    if (f < 0 || f > high) continue;
    entry(f) |= bit;
    const int64_t interval = unique[k].FrameInterval;
    if (interval >= 1)
      for (int64_t g = f + interval; g <= high; g += interval) entry(g) |= bit;
  }

  const int64_t endFrame = setup.SubframeDirection == kDirectionDown ? low : range.Last - f0;
  std::vector<MemoryImageWrite> writes;
  writes.reserve(static_cast<size_t>(high - low + 1));
  for (int64_t f = low; f <= high; ++f) {
    uint16_t value = entry(f);
    if (f == endFrame) value = static_cast<uint16_t>(value + kMajorFrameEndBit);
    writes.push_back({kFrameAttributeBaseAddress + f + f0, value});
  }
  return writes;
}
