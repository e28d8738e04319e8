#pragma once
// The decommutation check: a bit stream in an output code is decoded, synchronised on the
// setup's frame sync pattern, cut into words by the setup's word lengths and compared,
// word by word, with what the setup puts in each minor frame.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "pcm/EncoderModel.h"
#include "pcm/FrameSynchronizer.h"
#include "pcm/LineCodes.h"
#include "simulator/SimSetupData.h"

// The frame sync pattern of a setup as a synchroniser looks for it: the pattern bits of
// the sync words, don't-care digits left out of the comparison. Empty (Length 0) with the
// reason when the setup has no pattern a synchroniser can find.
SyncPattern FrameSyncReference(const SimSetupData& setup, const EncoderModel& model,
                               std::string* why = nullptr);

struct DecomSettings {
  LineCode Code = LineCode::NrzL;
  int CheckPatterns = 3;
  int LockErrors = -1;  // -1: one bit in sixteen of the compared pattern bits
  int Flywheel = 3;
  int SlipWindow = 1;
  // Cells at the end that may be a file's padding rather than part of the stream: bits
  // made from them are not decoded completely.
  int64_t EndPaddingCells = 0;
};

struct DecomWordDifference {
  int64_t Frame = 0;  // decoded minor frame, counted from 0
  int Word = 0;       // 1-based word number
  uint16_t Got = 0;
  uint16_t Expected = 0;
};

// One decoded minor frame, handed to the caller as it is compared.
struct DecomFrame {
  int64_t Number = 0;      // decoded minor frames before this one
  int64_t StartBit = 0;    // in the decoded bit stream
  int64_t MinorFrame = 0;  // position in the major frame (as the model counts it)
  int64_t Counter = 0;     // its subframe ID counter value
  bool Missed = false;     // no pattern found for it: not compared
  bool Inverted = false;
  int Slip = 0;
  int SyncErrors = 0;
  bool HasCrc = false;
  bool CrcOk = true;
  std::vector<uint16_t> Words;
};

struct DecomReport {
  std::string Error;  // the check could not run
  int Phase = 0;      // cell that starts a bit
  int64_t BitsDecoded = 0;
  int64_t CodeViolations = 0;  // bits that break the output code's rules
  // The stream's end: the bits after its last whole minor frame, and those not decoded
  // completely. Violations there are counted apart, words there are not compared: a
  // stream cut inside a minor frame is not judged by its end.
  int64_t TailBits = 0;
  int64_t TailCodeViolations = 0;
  int64_t WordsCutOff = 0;  // words of whole frames not decoded completely
  SyncResult Sync;
  int64_t WordsCompared = 0;
  int64_t WordsDiffering = 0;
  int64_t RandomWords = 0;  // "RANDOM" dynamic words: any value is right
  int64_t CrcChecked = 0;
  int64_t CrcErrors = 0;
  std::vector<DecomWordDifference> Differences;  // the first kKeptDifferences
  static constexpr size_t kKeptDifferences = 100;

  bool Locked() const { return Sync.Locks > 0; }
  bool Clean() const {
    return Error.empty() && Locked() && WordsDiffering == 0 && CrcErrors == 0 &&
           CodeViolations == 0 && !Sync.Frames.empty();
  }
};

// A stream of line cells read in the half-bit phase that suits it: both phases are decoded
// and synchronised, and the read with fewer code violations wins (then more frames, fewer
// misses, errors and complemented patterns).
struct PhaseRead {
  BitSequence Bits;
  SyncResult Sync;
  int Phase = 0;
  int64_t CodeViolations = 0;
};
PhaseRead ReadInBetterPhase(LineCode code, const BitSequence& cells,
                            const SynchronizerSettings& sync);

DecomReport Decommutate(const SimSetupData& setup, const EncoderModel& expected,
                        const BitSequence& cells, const DecomSettings& settings,
                        const std::function<void(const DecomFrame&)>& onFrame = {});
