#include "pcm/TmatsDecom.h"

#include <bit>

#include "pcm/Decommutator.h"
#include "pcm/LineDecoding.h"
#include "pcm/TmatsCodes.h"

namespace {

constexpr int kMaxWordBits = 16;

uint16_t WordAt(const BitSequence& bits, int64_t at, int length, bool msbFirst) {
  uint32_t value = 0;
  for (int j = 0; j < length; ++j) {
    const uint32_t bit = bits[static_cast<size_t>(at + j)] & 1u;
    value = msbFirst ? (value << 1) | bit : value | (bit << j);
  }
  return static_cast<uint16_t>(value);
}

}  // namespace

TmatsDecomReport DecommutateTmats(const PcmFormat& f, const BitSequence& cells,
                                  const std::function<void(const TmatsDecomFrame&)>& onFrame) {
  TmatsDecomReport report;
  LineCode code = LineCode::NrzL;
  if (!LineCodeOfFormat(f, code, report.Error)) return report;
  const std::vector<int> bits = f.PositionBits();
  std::vector<int64_t> offsets(bits.size(), 0);
  int64_t frameBits = 0;
  for (size_t p = 1; p < bits.size(); ++p) {
    offsets[p] = frameBits;
    frameBits += bits[p];
    if (p + 1 < bits.size() && (bits[p] < 1 || bits[p] > kMaxWordBits)) {
      report.Error = "word " + std::to_string(p) + " has " + std::to_string(bits[p]) +
                     " bits; words of 1 to 16 bits are cut";
      return report;
    }
  }
  if (frameBits != f.BitsPerMinorFrame || f.SyncPattern.empty() || f.SyncPattern.size() > 64) {
    report.Error = f.SyncPattern.size() > 64 ? "a sync pattern over 64 bits"
                                             : "the word lengths do not add up to MF2";
    return report;
  }
  SynchronizerSettings sync;
  sync.FrameBits = frameBits;
  for (char c : f.SyncPattern) {
    sync.Pattern.Bits = (sync.Pattern.Bits << 1) | (c == '1' ? 1u : 0u);
    sync.Pattern.Care = (sync.Pattern.Care << 1) | (c == 'X' ? 0u : 1u);
  }
  sync.Pattern.Length = static_cast<int>(f.SyncPattern.size());
  sync.Pattern.Offset = frameBits - sync.Pattern.Length;  // the sync ends the minor frame
  sync.AcceptInverted = f.FrameCodeComplement;
  sync.LockErrors = std::popcount(sync.Pattern.Care) / 16;
  if (!SynchronizerSettingsValid(sync)) {
    report.Error = "no synchroniser can work with this pattern and frame";
    return report;
  }
  PhaseRead read = ReadInBetterPhase(code, cells, sync);
  BitSequence decoded = std::move(read.Bits);
  report.Sync = std::move(read.Sync);
  report.CodeViolations = read.CodeViolations;
  report.Phase = read.Phase;
  report.BitsDecoded = static_cast<int64_t>(decoded.size());

  const PcmSubframeCounter* counter = f.Counters.empty() ? nullptr : &f.Counters.front();
  if (counter != nullptr &&
      (counter->WordPosition < 1 || counter->WordPosition >= f.WordsPerMinorFrame ||
       counter->Length < 1 || counter->Length > kMaxWordBits)) {
    report.Error = "the subframe ID counter is not in a data word of the minor frame";
    return report;
  }
  int64_t previous = -1;  // counter of the frame before, -1 after a miss
  TmatsDecomFrame out;
  for (size_t n = 0; n < report.Sync.Frames.size(); ++n) {
    const LockedFrame& at = report.Sync.Frames[n];
    out.Number = static_cast<int64_t>(n);
    out.StartBit = at.Start;
    out.Missed = at.Missed;
    out.Inverted = at.Inverted;
    out.Words.assign(bits.size() - 2, 0);
    for (size_t p = 1; p + 1 < bits.size(); ++p)
      out.Words[p - 1] = WordAt(decoded, at.Start + offsets[p], bits[p], f.MsbFirst);
    out.Counter = -1;
    out.CounterOk = true;
    if (counter != nullptr && !at.Missed) {
      const uint16_t word = out.Words[static_cast<size_t>(counter->WordPosition - 1)];
      const int shift = counter->WordLength - counter->MsbLocation - counter->Length + 1;
      out.Counter = shift < 0 ? -1 : (word >> shift) & ((1 << counter->Length) - 1);
      if (previous >= 0) {
        const int64_t next = previous == counter->EndValue ? counter->InitialValue
                             : counter->Increments         ? previous + 1
                                                           : previous - 1;
        out.CounterOk = out.Counter == next;
        ++report.CountersChecked;
        if (!out.CounterOk) ++report.CounterErrors;
      }
    }
    previous = at.Missed ? -1 : out.Counter;
    if (onFrame) onFrame(out);
  }
  return report;
}
