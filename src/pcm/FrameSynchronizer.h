#pragma once
// A PCM frame synchroniser: finds the frame sync pattern in a bit stream and follows it
// frame by frame, as a ground station's does. Three states:
//   search  every bit position is tried until the pattern shows with at most SearchErrors
//           wrong bits;
//   check   the pattern must show again one frame later, CheckPatterns times in a row
//           counting the search hit, else the search goes on one bit past that hit;
//   lock    each frame's pattern may have LockErrors wrong bits; one that is not there is
//           looked for up to SlipWindow bits early or late (a slipped bit moves the frame
//           grid; never half a frame or more), and after Flywheel patterns in a row not found the
//           lock is dropped and the search starts again.
// Don't-care bits of the pattern are never compared.
#include <cstdint>
#include <vector>

#include "pcm/LineCodes.h"

struct SyncPattern {
  uint64_t Bits = 0;   // the pattern's first bit on the wire in bit Length - 1
  uint64_t Care = 0;   // 1 where a bit is compared
  int Length = 0;      // 1..64
  int64_t Offset = 0;  // frame bit of the pattern's first bit
};

struct SynchronizerSettings {
  int64_t FrameBits = 0;
  SyncPattern Pattern;
  bool AcceptInverted = false;  // frames may carry the pattern complemented ("FCC")
  int SearchErrors = 0;
  int LockErrors = 0;
  int CheckPatterns = 3;
  int Flywheel = 3;
  int SlipWindow = 1;
};

struct LockedFrame {
  int64_t Start = 0;      // bit index of the frame's first bit
  bool Inverted = false;  // the pattern was found complemented
  bool Missed = false;    // pattern not found: the frame is where the grid says
  int SyncErrors = 0;     // wrong pattern bits (of a found pattern)
  int Slip = 0;           // bits the grid moved to find this frame's pattern
};

struct SyncResult {
  std::vector<LockedFrame> Frames;  // every whole frame while locked, in order
  int64_t FirstLockBit = -1;        // bit index after the pattern that completed the lock
  int Locks = 0;
  int LockLosses = 0;
  int Slips = 0;
  int MissedPatterns = 0;
  int64_t PatternBitErrors = 0;  // over the patterns found while locked
};

// False when the settings cannot work (no frame, pattern longer than the frame, no bit
// compared, negative tolerances).
bool SynchronizerSettingsValid(const SynchronizerSettings& settings);
SyncResult Synchronize(const BitSequence& bits, const SynchronizerSettings& settings);
