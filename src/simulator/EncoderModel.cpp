#include "simulator/EncoderModel.h"

#include <memory>

#include "simulator/Crc16.h"
#include "simulator/WaveWords.h"

// How the encoder combines its tables, as modelled here:
// - Each word sends the low (length) bits of its value; the length is the word
//   attribute's four-bit field plus 1, so lengths above 16 wrap as they do in the unit.
// - "MSB FIRST" sends bit length-1 first, "LSB FIRST" bit 0 first. The frame sync table
//   already holds its words so that they send the pattern in this order; don't-care
//   digits are 0 in that table.
// - Which value a word carries, first rule that applies: frame sync word (type 1),
//   subframe ID word (type 2), the CRC word, a unique word (word and frame masks share a
//   bit; the lowest such bit wins), a dynamic word (type 3..7, its wave table at the
//   frame's counter value; a table the load never wrote reads 0), else the word value.
// - "FCC": on the minor frame that ends the major frame the pattern's bits in the frame
//   sync words are sent complemented, don't-care digits included (they go out as 1); the
//   fill bits of a sync word the pattern only partly covers stay 0.
// - The CRC covers the bits of all words before the CRC word in wire order, sync words
//   included; the CRC word sends the CRC's low (length) bits.
// - A major frame runs over the counter range, "UP" from low to high, "DOWN" from high
//   to low, so it starts just after the minor frame marked as its end.
namespace {

constexpr uint16_t kCrcWordBit = 0x0080;
constexpr uint16_t kEndOfMajorFrameBit = 0x0080;
constexpr int32_t kDirectionUp = 0;
constexpr int32_t kLsbFirst = 1;
constexpr int32_t kPatternLeads = 1;
constexpr int32_t kSubframeModeFcc = 2;
constexpr int kWordTypeSync = 1;
constexpr int kWordTypeSfId = 2;
constexpr int kWordTypeFirstDynamic = 3;

uint16_t LowBits(uint32_t value, int length) {
  return static_cast<uint16_t>(length >= 16 ? value & 0xFFFF : value & ((1u << length) - 1));
}

}  // namespace

EncoderModel::EncoderModel(const SimSetupData& setup, const UserWaveTables& waves,
                           EncoderCrcSetting crc)
    : setup_(setup), crc_(crc) {
  // The tables in the load's order: the frame attributes may reset FirstSubFrameNum, and
  // the later tables see the record as it is then.
  const std::vector<MemoryImageWrite> frameWrites = BuildFrameAttributes(setup_);
  auto attributes = std::make_unique<WordAttributeTable>();
  BuildWordAttributes(setup_, *attributes);
  const SfIdCounterRange range = SfIdRange(setup_);
  low_ = range.Low;
  high_ = range.High;
  const size_t counters = static_cast<size_t>(high_ - low_ + 1);

  wordCount_ = FrameWordCount(setup_);
  wordAttributes_.resize(static_cast<size_t>(wordCount_));
  const bool crcOn = crc_.DoCrc16 || crc_.DoCttit;
  for (int i = 0; i < wordCount_; ++i) {
    uint16_t value = WordAttribute(setup_, *attributes, i);
    if (crcOn && crc_.CrcWdNum == i) value |= kCrcWordBit;
    wordAttributes_[static_cast<size_t>(i)] = value;
  }

  frameAttributes_.assign(counters, 0);
  for (const MemoryImageWrite& write : frameWrites) {
    const int64_t c = write.Address - kFrameAttributeBaseAddress;
    if (c >= low_ && c <= high_) frameAttributes_[static_cast<size_t>(c - low_)] = write.Value;
  }

  uniqueValues_.clear();
  for (const MemoryImageWrite& write : UniqueWordValues(setup_))
    uniqueValues_.push_back(write.Value);

  waveValues_.assign(ActiveDynamicWords(setup_).size(), std::vector<uint16_t>(counters, 0));
  // The wave writes come k after k, each over the counter values low..high.
  const std::vector<WaveWordWrite> waveWrites = BuildWaveWords(setup_, waves, low_, high_);
  for (size_t i = 0; i < waveWrites.size(); ++i) {
    const size_t k = i / counters;
    if (k < waveValues_.size()) waveValues_[k][i % counters] = waveWrites[i].Value;
  }

  sfIdValues_.assign(counters, 0);
  for (const MemoryImageWrite& write : SfIdValues(setup_)) {
    const int64_t c = write.Address - kSfIdValueBaseAddress;
    if (c >= low_ && c <= high_) sfIdValues_[static_cast<size_t>(c - low_)] = write.Value;
  }

  frameSyncValues_.assign(1024, 0);
  for (const MemoryImageWrite& write : BuildFrameSyncWords(setup_)) {
    frameSyncValues_[static_cast<size_t>(write.Address - kFrameSyncBaseAddress) % 1024] =
        write.Value;
  }

  BuildSyncPatternMasks();

  wordValues_.assign(static_cast<size_t>(wordCount_), 0);
  for (const MemoryImageWrite& write : WordValues(setup_)) {
    const int64_t i = write.Address - 1;
    if (i >= 0 && i < wordCount_) wordValues_[static_cast<size_t>(i)] = write.Value;
  }
}

// The pattern fills the first L wire bits of the leading sync words or the last L of the
// trailing ones; the rest of those words is fill.
void EncoderModel::BuildSyncPatternMasks() {
  syncPatternMasks_.assign(static_cast<size_t>(wordCount_), 0);
  std::vector<int> syncWords;  // word indexes in wire order
  for (int i = 0; i < wordCount_; ++i) {
    if (((wordAttributes_[static_cast<size_t>(i)] >> 12) & 7) == kWordTypeSync)
      syncWords.push_back(i);
  }
  int total = 0;
  for (int i : syncWords) total += ((wordAttributes_[static_cast<size_t>(i)] >> 8) & 15) + 1;
  const int length = setup_.FrameSyncLength;
  const bool leads = setup_.PatternLeads == kPatternLeads;
  const int first = leads ? 0 : total - length;
  const int end = leads ? length : total;
  int position = 0;  // wire bit position within the sync words
  for (int i : syncWords) {
    const int wordLength = ((wordAttributes_[static_cast<size_t>(i)] >> 8) & 15) + 1;
    uint16_t mask = 0;
    for (int j = 0; j < wordLength; ++j, ++position) {
      if (position < first || position >= end) continue;
      const int bit = setup_.BitOrder == kLsbFirst ? j : wordLength - 1 - j;
      mask = static_cast<uint16_t>(mask | (1u << bit));
    }
    syncPatternMasks_[static_cast<size_t>(i)] = mask;
  }
}

int64_t EncoderModel::CounterOf(int64_t index) const {
  const int64_t n = MinorFramesPerMajorFrame();
  const int64_t step = ((index % n) + n) % n;
  return setup_.SubframeDirection == kDirectionUp ? low_ + step : high_ - step;
}

EncodedMinorFrame EncoderModel::MinorFrame(int64_t index) const {
  EncodedMinorFrame frame;
  frame.Counter = CounterOf(index);
  const size_t slot = static_cast<size_t>(frame.Counter - low_);
  const uint16_t frameAttribute = frameAttributes_[slot];
  frame.EndsMajorFrame = (frameAttribute & kEndOfMajorFrameBit) != 0;
  const bool complementSync = frame.EndsMajorFrame && setup_.SubframeMode == kSubframeModeFcc;
  const CrcKind crcKind = crc_.DoCttit ? CrcKind::Ccitt : CrcKind::Crc16;
  BitCrc crc(crcKind);
  BitSequence bits;

  frame.Words.reserve(static_cast<size_t>(wordCount_));
  for (int i = 0; i < wordCount_; ++i) {
    const uint16_t attribute = wordAttributes_[static_cast<size_t>(i)];
    const int type = (attribute >> 12) & 7;
    const uint16_t unique = attribute & frameAttribute & 0x7F;
    EncodedWord word;
    word.Length = ((attribute >> 8) & 15) + 1;
    if (type == kWordTypeSync) {
      word.Role = EncoderWordRole::FrameSync;
      word.Value = frameSyncValues_[static_cast<size_t>(i + 1) % 1024];
      if (complementSync) word.Value ^= syncPatternMasks_[static_cast<size_t>(i)];
    } else if (type == kWordTypeSfId) {
      word.Role = EncoderWordRole::SubframeId;
      word.Value = sfIdValues_[slot];
    } else if ((attribute & kCrcWordBit) != 0) {
      word.Role = EncoderWordRole::Crc;
      word.Value = crc.Value();
    } else if (unique != 0) {
      word.Role = EncoderWordRole::Unique;
      int k = 0;
      while ((unique & (1 << k)) == 0) ++k;
      word.Value = static_cast<size_t>(k) < uniqueValues_.size() ? uniqueValues_[size_t(k)] : 0;
    } else if (type >= kWordTypeFirstDynamic) {
      word.Role = EncoderWordRole::Dynamic;
      const size_t k = static_cast<size_t>(type - kWordTypeFirstDynamic);
      word.Value = k < waveValues_.size() ? waveValues_[k][slot] : 0;
    } else {
      word.Value = wordValues_[static_cast<size_t>(i)];
    }
    word.Value = LowBits(word.Value, word.Length);
    bits.clear();
    AppendWordBits(word, bits);
    for (uint8_t b : bits) crc.AddBit(b != 0);
    frame.Words.push_back(word);
  }
  return frame;
}

void EncoderModel::AppendWordBits(const EncodedWord& word, BitSequence& bits) const {
  for (int j = 0; j < word.Length; ++j) {
    const int bit = setup_.BitOrder == kLsbFirst ? j : word.Length - 1 - j;
    bits.push_back(static_cast<uint8_t>((word.Value >> bit) & 1));
  }
}

BitSequence EncoderModel::Bits(int64_t frameCount) const {
  BitSequence bits;
  for (int64_t f = 0; f < frameCount; ++f) {
    for (const EncodedWord& word : MinorFrame(f).Words) AppendWordBits(word, bits);
  }
  return bits;
}

BitSequence EncoderModel::Line(int64_t frameCount) const {
  return EncodeLine(static_cast<LineCode>(setup_.SimOutputCode), Bits(frameCount));
}
