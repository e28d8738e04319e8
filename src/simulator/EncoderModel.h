#pragma once
// A model of the unit's PCM encoder: from a setup, the minor frames and the serial bit
// stream the unit would send, built from the same memory tables the load writes, so that
// what is shown or checked on the PC side is what the unit was told to do.
#include <cstdint>
#include <vector>

#include "simulator/LineCodes.h"
#include "simulator/MemoryImages.h"
#include "simulator/SimSetupData.h"

// The CRC settings kept beside the record.
struct EncoderCrcSetting {
  bool DoCrc16 = false;
  bool DoCttit = false;
  int32_t CrcWdNum = -1;  // 0-based word index
};

enum class EncoderWordRole { Data, FrameSync, SubframeId, Dynamic, Unique, Crc };

struct EncodedWord {
  uint16_t Value = 0;  // the low Length bits go out
  int Length = 16;     // 1..16
  EncoderWordRole Role = EncoderWordRole::Data;
};

struct EncodedMinorFrame {
  int64_t Counter = 0;          // subframe ID counter value of this minor frame
  bool EndsMajorFrame = false;  // the frame attribute's end-of-major-frame bit
  std::vector<EncodedWord> Words;
};

class EncoderModel {
 public:
  EncoderModel(const SimSetupData& setup, const UserWaveTables& waves, EncoderCrcSetting crc);

  int64_t MinorFramesPerMajorFrame() const { return high_ - low_ + 1; }
  // The index-th minor frame sent, counting from the first minor frame of a major frame.
  EncodedMinorFrame MinorFrame(int64_t index) const;
  // The serial bits of the first frameCount minor frames, each word in the setup's bit order.
  BitSequence Bits(int64_t frameCount) const;
  // The same bits in the setup's output code: two half-bit cells per bit.
  BitSequence Line(int64_t frameCount) const;

 private:
  int64_t CounterOf(int64_t index) const;
  void AppendWordBits(const EncodedWord& word, BitSequence& bits) const;
  void BuildSyncPatternMasks();

  SimSetupData setup_;  // after the load's own adjustments (see SfIdRange)
  EncoderCrcSetting crc_;
  int64_t low_ = 0;
  int64_t high_ = 0;
  int wordCount_ = 0;
  std::vector<uint16_t> wordAttributes_;    // per word index, CRC bit included
  std::vector<uint16_t> frameAttributes_;   // per counter value - low
  std::vector<uint16_t> sfIdValues_;        // per counter value - low
  std::vector<uint16_t> frameSyncValues_;   // per (word number mod 1024)
  std::vector<uint16_t> syncPatternMasks_;  // per word index: the value bits holding pattern bits
  std::vector<uint16_t> uniqueValues_;      // per compacted unique word index
  std::vector<std::vector<uint16_t>> waveValues_;  // [k][counter value - low]
  std::vector<uint16_t> wordValues_;               // per word index
};
