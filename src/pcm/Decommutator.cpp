#include "pcm/Decommutator.h"

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "pcm/Crc16.h"
#include "pcm/LineDecoding.h"
#include "simulator/MemoryImages.h"
#include "simulator/SyncPatternText.h"

namespace {

constexpr int32_t kPatternLeads = 1;
// Expected frames are kept for realignment up to this many words (about 24 MB).
constexpr int64_t kMaxCachedWords = int64_t{1} << 21;

struct WireBit {
  int64_t Position = 0;  // frame bit
  bool Value = false;
  bool Care = false;
};

// The wire bits of the frame sync words, in wire order.
std::vector<WireBit> SyncWireBits(const SimSetupData& setup, const EncoderModel& model) {
  const EncodedMinorFrame frame = model.MinorFrame(0);
  // The same words built from a pattern that has a 1 for every compared bit and a 0 for
  // every don't-care bit give the compared positions, in whatever order the words take.
  auto careSetup = std::make_unique<SimSetupData>(setup);
  std::string care = PatternToBinaryText(setup.FrameSyncPattern, setup.FsPatternRadix);
  for (char& c : care) c = c == 'X' ? '0' : '1';
  std::strncpy(careSetup->FrameSyncPattern, care.c_str(), kMaxFrameSyncPatternChars);
  careSetup->FrameSyncPattern[kMaxFrameSyncPatternChars] = '\0';
  careSetup->FsPatternRadix = kPatternBinary;
  std::vector<uint16_t> values(kEncoderSyncSlots, 0);
  std::vector<uint16_t> cares(kEncoderSyncSlots, 0);
  for (const MemoryImageWrite& write : BuildFrameSyncWords(setup))
    values[static_cast<size_t>(write.Address - kFrameSyncBaseAddress) % values.size()] =
        write.Value;
  for (const MemoryImageWrite& write : BuildFrameSyncWords(*careSetup))
    cares[static_cast<size_t>(write.Address - kFrameSyncBaseAddress) % cares.size()] = write.Value;

  std::vector<WireBit> bits;
  int64_t position = 0;
  for (size_t i = 0; i < frame.Words.size(); ++i) {
    const EncodedWord& word = frame.Words[i];
    if (word.Role == EncoderWordRole::FrameSync) {
      const size_t slot = (i + 1) % kEncoderSyncSlots;
      for (int j = 0; j < word.Length; ++j) {
        const int bit = model.LsbFirst() ? j : word.Length - 1 - j;
        bits.push_back(
            {position + j, ((values[slot] >> bit) & 1) != 0, ((cares[slot] >> bit) & 1) != 0});
      }
    }
    position += word.Length;
  }
  return bits;
}

// Frame bit offsets of the words.
std::vector<int64_t> WordOffsets(const std::vector<int>& lengths) {
  std::vector<int64_t> offsets;
  int64_t at = 0;
  for (int length : lengths) {
    offsets.push_back(at);
    at += length;
  }
  return offsets;
}

uint16_t WordAt(const BitSequence& bits, int64_t at, int length, bool lsbFirst) {
  uint32_t value = 0;
  for (int j = 0; j < length; ++j) {
    const uint32_t bit = bits[static_cast<size_t>(at + j)] & 1u;
    value = lsbFirst ? value | (bit << j) : (value << 1) | bit;
  }
  return static_cast<uint16_t>(value);
}

size_t InvertedFrames(const SyncResult& r) {
  return static_cast<size_t>(std::count_if(r.Frames.begin(), r.Frames.end(),
                                           [](const LockedFrame& f) { return f.Inverted; }));
}

// The better of two reads of one stream: fewer code violations (a read half a bit off
// breaks the rules of most codes at every other bit), more frames, fewer misses and
// errors, and fewer complemented patterns (the delay codes have no rule to break).
bool Better(const SyncResult& a, int64_t aViolations, const SyncResult& b, int64_t bViolations) {
  if (aViolations != bViolations) return aViolations < bViolations;
  if (a.Frames.size() != b.Frames.size()) return a.Frames.size() > b.Frames.size();
  if (a.MissedPatterns != b.MissedPatterns) return a.MissedPatterns < b.MissedPatterns;
  if (InvertedFrames(a) != InvertedFrames(b)) return InvertedFrames(a) < InvertedFrames(b);
  return a.PatternBitErrors < b.PatternBitErrors;
}

// What the setup puts in each minor frame of the major frame, kept when it is small
// enough, else built again when asked for.
class ExpectedFrames {
 public:
  explicit ExpectedFrames(const EncoderModel& model) : model_(model) {
    const int64_t frames = model.MinorFramesPerMajorFrame();
    if (frames * model.WordsPerMinorFrame() <= kMaxCachedWords) {
      for (int64_t k = 0; k < frames; ++k) cache_.push_back(model.MinorFrame(k));
    }
  }
  int64_t Count() const { return model_.MinorFramesPerMajorFrame(); }
  const EncodedMinorFrame& At(int64_t k) {
    if (!cache_.empty()) return cache_[static_cast<size_t>(k)];
    scratch_ = model_.MinorFrame(k);
    return scratch_;
  }

 private:
  const EncoderModel& model_;
  std::vector<EncodedMinorFrame> cache_;
  EncodedMinorFrame scratch_;
};

bool Compared(const EncodedWord& word) {
  return word.Role != EncoderWordRole::Crc && !word.Random;
}

// The minor frame of the major frame whose words the decoded ones match best.
int64_t Align(const std::vector<uint16_t>& words, ExpectedFrames& expected) {
  int64_t best = 0;
  size_t bestDiffer = SIZE_MAX;
  for (int64_t k = 0; k < expected.Count() && bestDiffer > 0; ++k) {
    const EncodedMinorFrame& frame = expected.At(k);
    size_t differ = 0;
    for (size_t w = 0; w < words.size() && differ < bestDiffer; ++w) {
      if (Compared(frame.Words[w]) && frame.Words[w].Value != words[w]) ++differ;
    }
    if (differ < bestDiffer) {
      bestDiffer = differ;
      best = k;
    }
  }
  return best;
}

}  // namespace

SyncPattern FrameSyncReference(const SimSetupData& setup, const EncoderModel& model,
                               std::string* why) {
  auto fail = [&](const std::string& reason) {
    if (why != nullptr) *why = reason;
    return SyncPattern{};
  };
  const int length = std::clamp<int32_t>(setup.FrameSyncLength, 0, 64);
  if (length == 0) return fail("the setup has no frame sync pattern");
  const std::vector<WireBit> bits = SyncWireBits(setup, model);
  if (bits.empty()) return fail("no word of the minor frame carries the frame sync pattern");
  const int used = std::min<int>(length, static_cast<int>(bits.size()));
  const size_t first = setup.PatternLeads == kPatternLeads ? 0 : bits.size() - size_t(used);
  SyncPattern pattern;
  pattern.Length = used;
  pattern.Offset = bits[first].Position;
  for (int k = 0; k < used; ++k) {
    const WireBit& bit = bits[first + static_cast<size_t>(k)];
    if (bit.Position != pattern.Offset + k) {
      // Another word (a subframe ID word, say) sits among the sync words.
      int64_t start = 0;
      int word = 1;
      for (int length : model.WordLengths()) {
        if (start + length > pattern.Offset + k) break;
        start += length;
        ++word;
      }
      return fail("word " + std::to_string(word) +
                  " lies among the frame sync words but carries something else");
    }
    pattern.Bits = (pattern.Bits << 1) | (bit.Value ? 1u : 0u);
    pattern.Care = (pattern.Care << 1) | (bit.Care ? 1u : 0u);
  }
  if (pattern.Care == 0) return fail("every digit of the frame sync pattern is a don't-care");
  return pattern;
}

PhaseRead ReadInBetterPhase(LineCode code, const BitSequence& cells,
                            const SynchronizerSettings& sync) {
  PhaseRead best;
  for (int phase = 0; phase < 2; ++phase) {
    int64_t violations = 0;
    BitSequence decoded = DecodeLine(code, cells, phase, &violations);
    SyncResult result = Synchronize(decoded, sync);
    if (phase == 0 || Better(result, violations, best.Sync, best.CodeViolations))
      best = {std::move(decoded), std::move(result), phase, violations};
  }
  return best;
}

DecomReport Decommutate(const SimSetupData& setup, const EncoderModel& model,
                        const BitSequence& cells, const DecomSettings& settings,
                        const std::function<void(const DecomFrame&)>& onFrame) {
  DecomReport report;
  const SyncPattern pattern = FrameSyncReference(setup, model, &report.Error);
  if (pattern.Length == 0) return report;
  ExpectedFrames expected(model);
  const std::vector<int> lengths = model.WordLengths();
  const std::vector<int64_t> offsets = WordOffsets(lengths);
  const int64_t frameBits = model.FrameBits();

  SynchronizerSettings sync;
  sync.FrameBits = frameBits;
  sync.Pattern = pattern;
  sync.AcceptInverted = model.FccMode();  // the minor frame that ends the major frame
  sync.LockErrors =
      settings.LockErrors >= 0 ? settings.LockErrors : std::popcount(pattern.Care) / 16;
  sync.CheckPatterns = settings.CheckPatterns;
  sync.Flywheel = settings.Flywheel;
  sync.SlipWindow = settings.SlipWindow;
  if (!SynchronizerSettingsValid(sync)) {
    report.Error = "the synchroniser settings cannot work with this frame";
    return report;
  }

  // Which cell starts a bit is unknown: both are tried.
  PhaseRead read = ReadInBetterPhase(settings.Code, cells, sync);
  BitSequence bits = std::move(read.Bits);
  report.Sync = std::move(read.Sync);
  report.Phase = read.Phase;
  report.CodeViolations = read.CodeViolations;
  report.BitsDecoded = static_cast<int64_t>(bits.size());

  // Where the stream stops being decoded completely, and where its end begins: after the
  // last whole minor frame when the lock ran into the end.
  const int64_t cellsInStream =
      std::max<int64_t>(0, static_cast<int64_t>(cells.size()) - settings.EndPaddingCells);
  const int64_t complete =
      std::min(report.BitsDecoded, CompleteBits(settings.Code, cellsInStream, report.Phase));
  int64_t tailStart = complete;
  if (!report.Sync.Frames.empty()) {
    const int64_t lastEnd = report.Sync.Frames.back().Start + frameBits;
    if (report.BitsDecoded - lastEnd <= frameBits) tailStart = std::min(tailStart, lastEnd);
  }
  report.TailBits = report.BitsDecoded - tailStart;
  report.TailCodeViolations =
      CodeViolations(settings.Code, cells, report.Phase, tailStart, report.BitsDecoded);
  report.CodeViolations -= report.TailCodeViolations;

  const int64_t majorFrame = expected.Count();
  const bool lsbFirst = model.LsbFirst();
  const CrcKind crcKind = model.Ccitt() ? CrcKind::Ccitt : CrcKind::Crc16;
  int64_t previousStart = 0;
  int64_t k = -1;
  DecomFrame out;
  for (size_t n = 0; n < report.Sync.Frames.size(); ++n) {
    const LockedFrame& located = report.Sync.Frames[n];
    out.Number = static_cast<int64_t>(n);
    out.StartBit = located.Start;
    out.Missed = located.Missed;
    out.Inverted = located.Inverted;
    out.Slip = located.Slip;
    out.SyncErrors = located.SyncErrors;
    out.Words.resize(offsets.size());
    for (size_t w = 0; w < offsets.size(); ++w)
      out.Words[w] = WordAt(bits, located.Start + offsets[w], lengths[w], lsbFirst);

    // Frames one frame apart continue the count; after a new lock the words say where
    // in the major frame the stream is.
    const int64_t step = located.Start - previousStart - frameBits;
    if (k >= 0 && std::abs(step) <= sync.SlipWindow) {
      k = (k + 1) % majorFrame;
    } else if (!located.Missed) {
      k = Align(out.Words, expected);
    } else {
      k = -1;
    }
    previousStart = located.Start;
    out.MinorFrame = k;
    out.HasCrc = false;
    out.CrcOk = true;
    if (k >= 0 && !located.Missed) {
      const EncodedMinorFrame& frame = expected.At(k);
      out.Counter = frame.Counter;
      for (size_t w = 0; w < frame.Words.size(); ++w) {
        const EncodedWord& word = frame.Words[w];
        if (located.Start + offsets[w] + lengths[w] > complete) {
          ++report.WordsCutOff;
          continue;
        }
        if (word.Role == EncoderWordRole::Crc) {
          BitCrc crc(crcKind);
          for (int64_t b = 0; b < offsets[w]; ++b)
            crc.AddBit((bits[static_cast<size_t>(located.Start + b)] & 1) != 0);
          const uint16_t want =
              word.Length >= 16 ? crc.Value() : crc.Value() & ((1u << word.Length) - 1);
          out.HasCrc = true;
          out.CrcOk = out.CrcOk && want == out.Words[w];
          continue;
        }
        if (word.Random) {
          ++report.RandomWords;
          continue;
        }
        ++report.WordsCompared;
        if (word.Value == out.Words[w]) continue;
        ++report.WordsDiffering;
        if (report.Differences.size() < DecomReport::kKeptDifferences) {
          report.Differences.push_back(
              {out.Number, static_cast<int>(w) + 1, out.Words[w], word.Value});
        }
      }
      if (out.HasCrc) {
        ++report.CrcChecked;
        if (!out.CrcOk) ++report.CrcErrors;
      }
    } else {
      out.Counter = 0;
    }
    if (onFrame) onFrame(out);
  }
  return report;
}
