#include "pcm/EncoderModel.h"

#include <utility>

#include "pcm/Crc16.h"

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
// - "FCC": on the minor frame that ends the major frame the frame sync words are sent
//   complemented in full: the encoder's memory does not say which of their bits belong to
//   the pattern, so the fill bits of a partly covered word go out as 1 there, and the
//   don't-care digits too.
// - The CRC covers the bits of all words before the CRC word in wire order, sync words
//   included; the CRC word sends the CRC's low (length) bits.
// - A major frame starts at the frame start register's counter value and counts "UP" or
//   "DOWN" to the minor frame marked as its end, then starts again.
namespace {

uint16_t LowBits(uint32_t value, int length) {
  return static_cast<uint16_t>(length >= 16 ? value & 0xFFFF : value & ((1u << length) - 1));
}

}  // namespace

EncoderModel::EncoderModel(EncoderTables tables) : tables_(std::move(tables)) {
  // Every per-counter table covers the whole range, so a frame never reads past one.
  const size_t counters = static_cast<size_t>(tables_.High - tables_.Low + 1);
  tables_.FrameAttributes.resize(counters, 0);
  tables_.SfIdValues.resize(counters, 0);
  for (std::vector<uint16_t>& wave : tables_.WaveValues) wave.resize(counters, 0);
  tables_.WordValues.resize(tables_.WordAttributes.size(), 0);

  // The counter from the start value to the end mark; without a mark in reach, the whole
  // range once.
  int64_t c = tables_.Start;
  if (c < tables_.Low || c > tables_.High) c = tables_.CountsUp ? tables_.Low : tables_.High;
  for (size_t n = 0; n < counters; ++n) {
    counters_.push_back(c);
    if ((tables_.FrameAttributes[static_cast<size_t>(c - tables_.Low)] & kFrameEndsMajorFrameBit) !=
        0)
      break;
    c += tables_.CountsUp ? 1 : -1;
    if (c > tables_.High) c = tables_.Low;
    if (c < tables_.Low) c = tables_.High;
  }
}

EncoderModel::EncoderModel(const SimSetupData& setup, const UserWaveTables& waves,
                           EncoderCrcSetting crc)
    : EncoderModel(EncoderTablesFromSetup(setup, waves, crc)) {}

std::vector<int> EncoderModel::WordLengths() const {
  std::vector<int> lengths;
  lengths.reserve(tables_.WordAttributes.size());
  for (uint16_t attribute : tables_.WordAttributes)
    lengths.push_back(AttributeWordLength(attribute));
  return lengths;
}

int64_t EncoderModel::FrameBits() const {
  int64_t bits = 0;
  for (uint16_t attribute : tables_.WordAttributes) bits += AttributeWordLength(attribute);
  return bits;
}

int64_t EncoderModel::CounterOf(int64_t index) const {
  const int64_t n = MinorFramesPerMajorFrame();
  return counters_[static_cast<size_t>(((index % n) + n) % n)];
}

EncodedMinorFrame EncoderModel::MinorFrame(int64_t index) const {
  EncodedMinorFrame frame;
  frame.Counter = CounterOf(index);
  const size_t slot = static_cast<size_t>(frame.Counter - tables_.Low);
  const uint16_t frameAttribute = tables_.FrameAttributes[slot];
  frame.EndsMajorFrame = (frameAttribute & kFrameEndsMajorFrameBit) != 0;
  const bool complementSync = frame.EndsMajorFrame && tables_.FccMode;
  BitCrc crc(tables_.Ccitt ? CrcKind::Ccitt : CrcKind::Crc16);
  BitSequence bits;

  const size_t wordCount = tables_.WordAttributes.size();
  frame.Words.reserve(wordCount);
  for (size_t i = 0; i < wordCount; ++i) {
    const uint16_t attribute = tables_.WordAttributes[i];
    const int type = AttributeWordType(attribute);
    const uint16_t unique = attribute & frameAttribute & 0x7F;
    EncodedWord word;
    word.Length = AttributeWordLength(attribute);
    if (type == kWordTypeFrameSync) {
      word.Role = EncoderWordRole::FrameSync;
      word.Value = tables_.FrameSyncValues[(i + 1) % kEncoderSyncSlots];
      if (complementSync) word.Value = static_cast<uint16_t>(~word.Value);
    } else if (type == kWordTypeSfId) {
      word.Role = EncoderWordRole::SubframeId;
      word.Value = tables_.SfIdValues[slot];
    } else if ((attribute & kAttributeCrcBit) != 0) {
      word.Role = EncoderWordRole::Crc;
      word.Value = crc.Value();
    } else if (unique != 0) {
      word.Role = EncoderWordRole::Unique;
      int k = 0;
      while ((unique & (1 << k)) == 0) ++k;
      word.Value = tables_.UniqueValues[static_cast<size_t>(k)];
    } else if (type >= kWordTypeFirstDynamic) {
      word.Role = EncoderWordRole::Dynamic;
      const size_t k = static_cast<size_t>(type - kWordTypeFirstDynamic);
      word.Value = tables_.WaveValues[k][slot];
      word.Random = tables_.RandomWave[k];
    } else {
      word.Value = tables_.WordValues[i];
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
    const int bit = tables_.LsbFirst ? j : word.Length - 1 - j;
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
  return EncodeLine(tables_.Code, Bits(frameCount));
}
