#pragma once
// Decommutation from a TMATS link alone: the stream is decoded in the link's code, locked
// on its sync pattern, cut into its words and the subframe ID counter checked against the
// counting the link describes. Nothing of a setup is used.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "pcm/FrameSynchronizer.h"
#include "pcm/LineCodes.h"
#include "pcm/PcmFormat.h"

struct TmatsDecomFrame {
  int64_t Number = 0;
  int64_t StartBit = 0;  // of word 1
  bool Missed = false;
  bool Inverted = false;
  int64_t Counter = -1;  // the subframe ID counter read, -1 without one
  bool CounterOk = true;
  std::vector<uint16_t> Words;  // word positions 1 .. MF1 - 1
};

struct TmatsDecomReport {
  std::string Error;
  int Phase = 0;
  int64_t BitsDecoded = 0;
  int64_t CodeViolations = 0;
  SyncResult Sync;
  int64_t CountersChecked = 0;
  int64_t CounterErrors = 0;
  bool Locked() const { return Sync.Locks > 0; }
  bool Clean() const {
    return Error.empty() && Locked() && CounterErrors == 0 && CodeViolations == 0;
  }
};

TmatsDecomReport DecommutateTmats(const PcmFormat& format, const BitSequence& cells,
                                  const std::function<void(const TmatsDecomFrame&)>& onFrame = {});
