#pragma once
// The unit's PCM encoder memory: the tables that say, for every word of the minor frame
// and every minor frame of the major frame, what goes out on the wire, each computed from
// the setup record. Every table entry is sent as one memory write (value, address).
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "simulator/SimSetupData.h"

// Encoder memory map (W = words per minor frame, n = word number, c = counter value).
constexpr int64_t kConstantAddress = 0;                // 0x0800, once per load
constexpr uint16_t kConstantValue = 0x0800;            //
constexpr int64_t kUniqueValueBaseAddress = 8192;      // + k, k = 0..6
constexpr int64_t kCommonWordValueAddress = 8199;      //
constexpr int64_t kFrameSyncBaseAddress = 9216;        // + (n mod 1024)
constexpr int64_t kSfIdValueBaseAddress = 10240;       // + c
constexpr int64_t kWordAttributeBaseAddress = 16384;   // + n
constexpr int64_t kFrameAttributeBaseAddress = 32768;  // + c

// A word attribute, as the table at kWordAttributeBaseAddress holds it: bits 0..6 the unique
// word slots that may fill the word, bit 7 the CRC word, bits 8..11 its length - 1, bits
// 12..14 its type, bit 15 the last word of the minor frame.
constexpr uint16_t kAttributeUniqueMask = 0x007F;
constexpr uint16_t kAttributeCrcBit = 0x0080;
constexpr uint16_t kAttributeLastWordBit = 0x8000;
constexpr int kWordTypeFrameSync = 1;
constexpr int kWordTypeSfId = 2;
constexpr int kWordTypeFirstDynamic = 3;  // + the wave slot

// The counter ranges the unit's tables can hold at most: a counter range with more values
// (possible only with a huge NumSubframes, which no rule limits without a subframe mode)
// is cut to this many values, so a load stays finite.
constexpr int64_t kMaxCounterValues = 65536;

// Word attribute work table: length - 1, unique mask, word type, and a spare field.
constexpr int kWordAttributeEntries = 16384;
using WordAttributeTable = std::array<std::array<uint16_t, 4>, kWordAttributeEntries>;

// One memory write of a table.
struct MemoryImageWrite {
  int64_t Address = 0;  // as computed; the command text keeps its four most significant digits
  uint16_t Value = 0;
};

// One entry of the compacted list of active unique words (slots whose start word is above
// 0, in slot order); the four numbers are taken as signed 16-bit numbers.
struct ActiveUniqueWord {
  int16_t StartFrame = 0;     // plus 1 when FirstSubFrameNum is not 0
  int16_t FrameInterval = 0;  // 1 when NumSubframes is 1
  int16_t StartWord = 0;
  int16_t WordInterval = 0;
  uint16_t Value = 0;
};
std::vector<ActiveUniqueWord> ActiveUniqueWords(const SimSetupData& setup);

// The subframe ID counter's range. The "last equals first" case resets the record's
// FirstSubFrameNum to 0 and runs the counter over 0 .. defaultCount - 1.
struct SfIdCounterRange {
  int64_t Last = 0;
  int64_t High = 0;
  int64_t Low = 0;
};
constexpr int kDefaultCounterCount = 256;
SfIdCounterRange SfIdRange(SimSetupData& setup, int defaultCount = kDefaultCounterCount);

// Frame attributes: one write per minor frame at 32768 + counter value. Runs SfIdRange.
std::vector<MemoryImageWrite> BuildFrameAttributes(SimSetupData& setup);

// Word attributes, rebuilt into the work table over the words of the frame.
void BuildWordAttributes(const SimSetupData& setup, WordAttributeTable& table);
// The 16-bit attribute of word index i (bit 15 on the frame's last word); the CRC bit is the
// load sequence's to add.
uint16_t WordAttribute(const SimSetupData& setup, const WordAttributeTable& table, int i);
// Word indexes the word attribute and word value tables cover: min(W, table size), not below 0.
int FrameWordCount(const SimSetupData& setup);

// Frame sync: the pattern bits (bit j = the pattern's j-th bit on the wire, in word bit
// order), the number of words that carry them (0..22; 0 when 22 words are not enough or
// a trailing pattern would need words before word 1) and their memory writes, first word
// of the frame first.
std::array<bool, 64> FrameSyncPatternBits(const SimSetupData& setup);
int FrameSyncWordCount(const SimSetupData& setup);
std::vector<MemoryImageWrite> BuildFrameSyncWords(const SimSetupData& setup);

// Subframe ID values: (c << shift) & 0xFFFF at 10240 + c over the counter range. Runs SfIdRange.
std::vector<MemoryImageWrite> SfIdValues(SimSetupData& setup);
// The shift that puts the counter's top bit on SfIdStartBit (not below 0).
int64_t SfIdShift(int32_t sfIdStartBit, int64_t high);

// The seven unique word value writes at 8192 + k.
std::vector<MemoryImageWrite> UniqueWordValues(const SimSetupData& setup);

// Word values: SimValue of every word at address n.
std::vector<MemoryImageWrite> WordValues(const SimSetupData& setup);

// Number of significant bits of v (0 has none); a negative value counts all 32.
int SignificantBits(int64_t v);
