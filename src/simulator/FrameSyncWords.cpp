// Frame sync words: the pattern's bits in the words that carry them, in the setup's bit
// order, at the leading or trailing end of the minor frame.
#include <algorithm>
#include <string>

#include "simulator/MemoryImages.h"
#include "simulator/SyncPatternText.h"

namespace {
constexpr int kPatternChars = 64;
constexpr int kMaxSyncWords = 22;
constexpr int32_t kPatternLeads = 1;
constexpr int32_t kLsbFirst = 1;

// The pattern length in bits, kept inside the 64-character bit text.
int PatternLength(const SimSetupData& setup) {
  return std::clamp<int32_t>(setup.FrameSyncLength, 0, kPatternChars);
}

// Length of word index i; words outside the word table have none.
int WordLength(const SimSetupData& setup, int64_t i) {
  if (i < 0 || i >= kMaxWordsPerMinorFrame) return 0;
  return setup.Words[static_cast<size_t>(i)].SimWordLen;
}

// With LSB-first words the pattern is cut into word-sized chunks, each chunk reversed, and
// the last chunk's leftover positions shifted out with zeros coming in. Only the first
// `length` characters of the joined chunks are kept, so they are computed one by one: the
// word length may be far longer than the pattern.
void ReorderForLsbFirst(std::string& bits, int length, int64_t wordLength, bool leads) {
  if (leads) bits = bits.substr(kPatternChars - length) + std::string(kPatternChars - length, 'X');
  const int start = leads ? 0 : kPatternChars - length;
  const int64_t chunks = (length + wordLength - 1) / wordLength;
  const int64_t rest = length % wordLength;
  auto textAt = [&](int64_t at) {
    return at < kPatternChars ? bits[static_cast<size_t>(at)] : 'X';
  };
  std::string joined;
  for (int p = 0; p < length; ++p) {
    const int64_t chunk = p / wordLength;
    int64_t offset = p % wordLength;  // position inside the reversed chunk
    if (chunk == chunks - 1 && rest != 0) {
      if (offset >= wordLength - rest) {
        joined += '0';
        continue;
      }
      offset += rest;
    }
    joined += textAt(start + chunk * wordLength + (wordLength - 1 - offset));
  }
  bits.replace(static_cast<size_t>(start), static_cast<size_t>(length), joined);
  if (leads) bits = std::string(kPatternChars - length, 'X') + bits.substr(0, length);
}
}  // namespace

std::array<bool, 64> FrameSyncPatternBits(const SimSetupData& setup) {
  const int length = PatternLength(setup);
  std::string bits = PatternToBinaryText(setup.FrameSyncPattern, setup.FsPatternRadix);
  bits = std::string(kPatternChars, '0') + bits;  // right-aligned in 64 characters
  bits = bits.substr(bits.size() - kPatternChars);
  const bool leads = setup.PatternLeads == kPatternLeads;
  // A word length below 1 has no chunks to reverse; validation refuses it before a load.
  if (setup.BitOrder == kLsbFirst && setup.CommonWordLength >= 1 && length > 0)
    ReorderForLsbFirst(bits, length, setup.CommonWordLength, leads);
  const std::string kept = bits.substr(static_cast<size_t>(kPatternChars - length));
  std::array<bool, 64> pattern{};
  for (int j = 0; j < length; ++j) pattern[j] = kept[static_cast<size_t>(j)] == '1';
  return pattern;
}

int FrameSyncWordCount(const SimSetupData& setup) {
  const int length = setup.FrameSyncLength;
  const bool leads = setup.PatternLeads == kPatternLeads;
  const int64_t last = static_cast<int64_t>(setup.WordsPerMinorFrame) - 1;
  int64_t sum = 0;
  int count = 0;
  while (sum < length) {
    if (count == kMaxSyncWords) return 0;
    const int64_t index = leads ? count : last - count;
    // A trailing pattern never reaches in front of word 1.
    if (index < 0) return 0;
    sum += WordLength(setup, index);
    ++count;
  }
  return count;
}

std::vector<MemoryImageWrite> BuildFrameSyncWords(const SimSetupData& setup) {
  const int count = FrameSyncWordCount(setup);
  std::vector<MemoryImageWrite> entries(static_cast<size_t>(count));
  if (count == 0) return entries;
  const std::array<bool, 64> pattern = FrameSyncPatternBits(setup);
  const int length = setup.FrameSyncLength;
  const bool trailing = setup.PatternLeads != kPatternLeads;
  const bool lsb = setup.BitOrder == kLsbFirst;
  const int step = trailing ? -1 : 1;

  int64_t w = trailing ? static_cast<int64_t>(setup.WordsPerMinorFrame) - 1 : 0;
  int64_t b = trailing ? length - 1 : 0;
  int e = trailing ? count - 1 : 0;
  for (int built = 0; built < count; ++built) {
    uint32_t v = 0;
    const int wordLength = WordLength(setup, w);
    for (int j = 0; j < wordLength; ++j) {
      const bool bit = b >= 0 && b < 64 && pattern[static_cast<size_t>(b)];
      if (trailing == lsb) {
        v = (v << 1) | (bit ? 1u : 0u);
      } else if (bit && j < 32) {
        v |= 1u << j;
      }
      b += step;
    }
    entries[static_cast<size_t>(e)] = {kFrameSyncBaseAddress + (w + 1) % 1024,
                                       static_cast<uint16_t>(v & 0xFFFF)};
    w += step;
    e += step;
    if (trailing ? b < 0 : b >= length) break;
  }
  return entries;
}
