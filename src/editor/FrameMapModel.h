#pragma once
// The frame map: what every word of every minor frame of the major frame is, as the unit
// sends it after the load. It keeps the encoder's tables read out of the memory the load
// leaves, with the minor frames in the order they are sent, and works out a cell's role on
// demand, so the largest frame costs a few hundred kilobytes, not one object per cell.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "pcm/EncoderTables.h"
#include "pcm/LockWarnings.h"
#include "simulator/MemoryImages.h"
#include "simulator/SimSetupData.h"
#include "simulator/WaveWords.h"

class progsimulatorclass;

enum class FrameCellRole : uint8_t { Data, FrameSync, SubframeId, Dynamic, Unique, Crc };
constexpr int kFrameCellRoleCount = 6;

// Everything the map tells about one cell.
struct FrameCell {
  FrameCellRole Role = FrameCellRole::Data;
  int Frame = 0;        // row: 0-based minor frame of the major frame, in the order sent
  int64_t Counter = 0;  // the subframe ID counter value of that minor frame
  int Word = 0;         // 1-based word number
  int Length = 0;       // bits, as the word attribute sends it
  bool ValueKnown = false;
  uint16_t Value = 0;
  std::string Detail;  // wave name, unique word slot, or why the value is not known
};

class FrameMapModel {
 public:
  // Rebuilds from the simulator's record, waves and CRC settings; the record is not changed.
  void Build(const progsimulatorclass& sim);
  void Build(const SimSetupData& setup, const UserWaveTables& waves, bool crcOn,
             int32_t crcWordIndex);

  int Words() const { return static_cast<int>(tables_.WordAttributes.size()); }
  int Frames() const { return static_cast<int>(frameMasks_.size()); }

  // Cheap enough to call for every painted cell; out-of-range cells are data.
  FrameCellRole RoleAt(int frame, int wordIndex) const;
  // The full description for a tooltip; wordIndex is 0-based.
  FrameCell CellAt(int frame, int wordIndex) const;
  // The 16-bit attribute the load writes for word index i (CRC bit included), 0 outside.
  uint16_t WordAttributeAt(int wordIndex) const;

  // What a span of words holds, for drawing several cells in one pixel: the strongest
  // structural role (sync, subframe ID, CRC; Data when none), whether a wave is among them,
  // and the unique words marked in any of them.
  struct WordSpan {
    FrameCellRole Fixed = FrameCellRole::Data;
    bool Dynamic = false;
    uint8_t UniqueMask = 0;
    bool Warned = false;  // a lock warning concerns one of the words
  };
  WordSpan SummariseWords(int firstWord, int count) const;
  // The unique words inserted in any of the minor frames first .. first + count - 1.
  uint8_t FrameUniqueMask(int firstFrame, int count) const;
  // The role shown for a span of words across a span of frames; for one cell it is RoleAt.
  static FrameCellRole SpanRole(const WordSpan& words, uint8_t frameMask);

  // "frame sync", "SFID" / "FCC" / "URC" / "subframe ID", "dynamic word", ...
  std::string RoleName(FrameCellRole role) const;
  // Word number, minor frame, length, value and role, one per line, then the lock warnings
  // that concern the word.
  std::string ToolTipText(int frame, int wordIndex) const;

  // Why a decommutator may not follow the frame; the words concerned are marked.
  const std::vector<LockWarning>& Warnings() const { return warnings_; }
  bool WordWarned(int wordIndex) const;

 private:
  EncoderTables tables_;             // as the unit reads them after the load
  std::vector<uint16_t> counters_;   // per minor frame sent: its counter value (12 bits)
  std::vector<uint8_t> frameMasks_;  // per minor frame sent: unique words inserted
  int32_t subframeMode_ = 0;
  std::vector<int> uniqueSlots_;  // active unique word k -> its slot
  std::vector<ActiveDynamicWord> dynamic_;
  std::vector<LockWarning> warnings_;
  std::vector<uint32_t> wordWarnings_;  // per word: bit k set when warning k concerns it
};
