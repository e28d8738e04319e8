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

  // Only the entries low..high are written; a unique word's marks outside them are dropped.
  std::vector<uint16_t> entries(static_cast<size_t>(high - low + 1), 0);
  auto mark = [&](int64_t f, uint16_t bit) {
    if (f >= low && f <= high) entries[static_cast<size_t>(f - low)] |= bit;
  };

  for (size_t k = 0; k < unique.size(); ++k) {
    const uint16_t bit = static_cast<uint16_t>(1u << k);
    // The start frame matches at most one frame index f in 0..high.
    const int64_t f = unique[k].StartFrame - f0;
    if (f < 0 || f > high) continue;
    mark(f, bit);
    const int64_t interval = unique[k].FrameInterval;
    if (interval < 1) continue;
    // Repeats from f on; those before low are skipped arithmetically.
    int64_t g = f + interval;
    if (g < low) g += (low - g + interval - 1) / interval * interval;
    for (; g <= high; g += interval) mark(g, bit);
  }

  const int64_t endFrame = setup.SubframeDirection == kDirectionDown ? low : range.Last - f0;
  std::vector<MemoryImageWrite> writes;
  writes.reserve(static_cast<size_t>(high - low + 1));
  for (int64_t f = low; f <= high; ++f) {
    uint16_t value = entries[static_cast<size_t>(f - low)];
    if (f == endFrame) value = static_cast<uint16_t>(value + kMajorFrameEndBit);
    writes.push_back({kFrameAttributeBaseAddress + f + f0, value});
  }
  return writes;
}
