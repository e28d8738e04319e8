#pragma once
// A model of the unit's PCM encoder: from the tables of its memory, the minor frames and
// the serial bit stream the unit sends. Built from a setup, the tables are the ones the
// load writes, so what is shown or checked on the PC side is what the unit was told to do.
#include <cstdint>
#include <vector>

#include "pcm/EncoderTables.h"
#include "pcm/LineCodes.h"
#include "simulator/SimSetupData.h"

enum class EncoderWordRole { Data, FrameSync, SubframeId, Dynamic, Unique, Crc };

struct EncodedWord {
  uint16_t Value = 0;  // the low Length bits go out
  int Length = 16;     // 1..16
  EncoderWordRole Role = EncoderWordRole::Data;
  bool Random = false;  // a "RANDOM" dynamic word: its value differs from load to load
};

struct EncodedMinorFrame {
  int64_t Counter = 0;          // subframe ID counter value of this minor frame
  bool EndsMajorFrame = false;  // the frame attribute's end-of-major-frame bit
  std::vector<EncodedWord> Words;
};

class EncoderModel {
 public:
  explicit EncoderModel(EncoderTables tables);
  EncoderModel(const SimSetupData& setup, const UserWaveTables& waves, EncoderCrcSetting crc);

  int64_t MinorFramesPerMajorFrame() const { return static_cast<int64_t>(counters_.size()); }
  int WordsPerMinorFrame() const { return static_cast<int>(tables_.WordAttributes.size()); }
  // Each word's length in bits (the same in every minor frame), and the frame's length.
  std::vector<int> WordLengths() const;
  int64_t FrameBits() const;
  LineCode Code() const { return tables_.Code; }
  bool LsbFirst() const { return tables_.LsbFirst; }
  bool Ccitt() const { return tables_.Ccitt; }
  bool FccMode() const { return tables_.FccMode; }
  const EncoderTables& Tables() const { return tables_; }
  // The counter value of the index-th minor frame sent.
  int64_t CounterOfFrame(int64_t index) const { return CounterOf(index); }
  // The index-th minor frame sent, counting from the first minor frame of a major frame.
  EncodedMinorFrame MinorFrame(int64_t index) const;
  // The serial bits of the first frameCount minor frames, each word in the setup's bit order.
  BitSequence Bits(int64_t frameCount) const;
  // The same bits in the output code the unit sends: two half-bit cells per bit.
  BitSequence Line(int64_t frameCount) const;
  // Appends the word's bits in wire order.
  void AppendWordBits(const EncodedWord& word, BitSequence& bits) const;

 private:
  int64_t CounterOf(int64_t index) const;

  EncoderTables tables_;
  std::vector<int64_t> counters_;  // the counter value of each minor frame of a major frame
};
