#include "pcm/PcmDescription.h"

#include <algorithm>
#include <bit>
#include <map>

#include "pcm/Decommutator.h"
#include "pcm/TmatsCodes.h"

namespace {

constexpr size_t kMaxLocations = 1024;

// One word of the minor frame as TMATS counts it.
struct TmatsWord {
  int Bits = 0;
  int Index = -1;  // the encoder's word index; -1 for sync fill
};

uint16_t Mask(int bits) {
  return static_cast<uint16_t>(bits >= 16 ? 0xFFFF : (1u << bits) - 1);
}

// Runs start, start + step, ... that go on to the limit; anything else one by one.
std::vector<std::pair<int64_t, int64_t>> Runs(const std::vector<int64_t>& values, int64_t limit) {
  std::vector<std::pair<int64_t, int64_t>> runs;
  if (values.size() == 1) return {{values[0], 0}};
  if (values.size() >= 2) {
    const int64_t step = values[1] - values[0];
    bool regular = step > 0;
    for (size_t i = 1; regular && i < values.size(); ++i)
      regular = values[i] - values[i - 1] == step;
    if (regular && values.back() + step > limit) return {{values[0], step}};
  }
  for (int64_t v : values) runs.push_back({v, 0});
  return runs;
}

void AddMeasurand(PcmFormat& format, const std::string& name, const std::vector<int64_t>& words,
                  const std::vector<int64_t>& frames, int lastPosition) {
  if (words.empty() || frames.empty()) return;
  PcmMeasurand m;
  m.Name = name;
  const auto frameRuns = static_cast<int64_t>(frames.size()) == format.MinorFrames
                             ? std::vector<std::pair<int64_t, int64_t>>{{1, 1}}
                             : Runs(frames, format.MinorFrames);
  for (const auto& [wp, wi] : Runs(words, lastPosition)) {
    for (const auto& [fp, fi] : frameRuns) {
      if (m.Locations.size() >= kMaxLocations) break;
      m.Locations.push_back({static_cast<int>(wp), static_cast<int>(wi), fp, fi});
    }
  }
  format.Measurands.push_back(std::move(m));
}

const char* WaveName(const SimSetupData* setup, size_t k) {
  if (setup == nullptr) return nullptr;
  size_t active = 0;
  for (const SimDynamicWord& d : setup->DynamicWords) {
    if (d.SimDynamicWordWave == kWaveNothing) continue;
    if (active++ == k && d.SimDynamicWordWave > 0 &&
        d.SimDynamicWordWave < static_cast<int32_t>(kWaveNames.size()))
      return kWaveNames[static_cast<size_t>(d.SimDynamicWordWave)];
  }
  return nullptr;
}

std::string Hex(uint16_t value) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string text;
  for (int shift = 12; shift >= 0; shift -= 4) text += kDigits[(value >> shift) & 15];
  return text;
}

// The subframe ID counter, when the SFID word carries the counter value and nothing else
// and the counter counts by one through the major frame.
bool DescribeCounter(const EncoderModel& model, int index, int position, PcmFormat& format) {
  const EncoderTables& t = model.Tables();
  const int bits = AttributeWordLength(t.WordAttributes[static_cast<size_t>(index)]);
  const int64_t frames = model.MinorFramesPerMajorFrame();
  std::vector<int64_t> counts;
  int64_t highest = 0;
  for (int64_t k = 0; k < frames; ++k) {
    counts.push_back(model.CounterOfFrame(k));
    highest = std::max(highest, counts.back());
  }
  for (int64_t k = 1; k < frames; ++k) {
    if (counts[size_t(k)] - counts[size_t(k) - 1] != (t.CountsUp ? 1 : -1)) return false;
  }
  const int length = static_cast<int>(std::bit_width(static_cast<uint64_t>(highest)));
  if (length == 0 || length > bits) return false;
  for (int shift = 0; shift + length <= bits; ++shift) {
    bool fits = true;
    for (int64_t c : counts) {
      const uint16_t sent = t.SfIdValues[static_cast<size_t>(c - t.Low)] & Mask(bits);
      fits = fits && sent == static_cast<uint16_t>(c << shift);
    }
    if (!fits) continue;
    PcmSubframeCounter counter;
    counter.WordPosition = position;
    counter.WordLength = bits;
    counter.MsbLocation = bits - (shift + length - 1);
    counter.Length = length;
    counter.MsbFirst = !t.LsbFirst;
    counter.InitialValue = counts.front();
    counter.EndValue = counts.back();
    counter.EndFrame = frames;
    counter.Increments = t.CountsUp;
    format.Counters.push_back(counter);
    return true;
  }
  return false;
}

}  // namespace

bool DescribePcmLink(const EncoderModel& model, const PcmDescribeInput& input, PcmFormat& out,
                     std::string& error) {
  const EncoderTables& t = model.Tables();
  const int words = static_cast<int>(t.WordAttributes.size());
  const std::vector<int> lengths = model.WordLengths();
  std::vector<int> sync;
  for (int i = 0; i < words; ++i) {
    if (AttributeWordType(t.WordAttributes[size_t(i)]) == kWordTypeFrameSync) sync.push_back(i);
  }
  if (sync.empty()) {
    error = "no word of the minor frame carries the frame sync pattern";
    return false;
  }
  const int count = static_cast<int>(sync.size());
  const bool leads = sync.front() == 0 && sync.back() == count - 1;
  const bool trails = sync.front() == words - count && sync.back() == words - 1;
  if ((!leads && !trails) || count == words) {
    error = count == words ? "every word of the minor frame is a frame sync word"
                           : "the frame sync words are not together at either end of the frame";
    return false;
  }

  // The sync words' bits on the wire.
  std::string wire;
  std::vector<int> wireWord;  // sync word index of each wire bit
  for (int i : sync) {
    const uint16_t value = t.FrameSyncValues[static_cast<size_t>(i + 1) % kEncoderSyncSlots];
    const int bits = lengths[size_t(i)];
    for (int j = 0; j < bits; ++j) {
      const int bit = t.LsbFirst ? j : bits - 1 - j;
      wire += ((value >> bit) & 1) != 0 ? '1' : '0';
      wireWord.push_back(i);
    }
  }
  const int total = static_cast<int>(wire.size());
  std::string pattern;
  if (input.Setup != nullptr) {
    std::string why;
    const SyncPattern reference = FrameSyncReference(*input.Setup, model, &why);
    if (reference.Length == 0) {
      error = why;
      return false;
    }
    for (int k = reference.Length - 1; k >= 0; --k) {
      const bool care = ((reference.Care >> k) & 1) != 0;
      pattern += !care ? 'X' : ((reference.Bits >> k) & 1) != 0 ? '1' : '0';
    }
  } else {
    pattern = leads ? wire.substr(0, std::min(total, 64))
                    : wire.substr(static_cast<size_t>(std::max(0, total - 64)));
  }
  const int fill = total - static_cast<int>(pattern.size());

  // The words in TMATS order: with the sync leading, the fill after the pattern and the
  // data words; with it trailing, the data words and the fill before the pattern.
  std::vector<TmatsWord> order;
  auto addFill = [&](int from, int to) {  // wire bits [from, to) of the sync words
    for (int b = from; b < to;) {
      int e = b;
      while (e < to && wireWord[size_t(e)] == wireWord[size_t(b)]) ++e;
      order.push_back({e - b, -1});
      b = e;
    }
  };
  if (leads) {
    addFill(total - fill, total);
    for (int i = count; i < words; ++i) order.push_back({lengths[size_t(i)], i});
  } else {
    for (int i = 0; i < words - count; ++i) order.push_back({lengths[size_t(i)], i});
    addFill(0, fill);
  }

  PcmFormat f;
  f.LinkName = input.LinkName;
  DescribeLineCode(input.Code.value_or(model.Code()), f);
  f.BitRate = input.BitRate;
  f.MsbFirst = !t.LsbFirst;
  f.MinorFrames = model.MinorFramesPerMajorFrame();
  f.WordsPerMinorFrame = static_cast<int>(order.size()) + 1;
  f.BitsPerMinorFrame = model.FrameBits();
  f.SyncPattern = pattern;
  if (input.Setup != nullptr) {
    f.CommonWordLength = input.Setup->CommonWordLength;
  } else {
    std::map<int, int> seen;
    for (const TmatsWord& w : order) ++seen[w.Bits];
    f.CommonWordLength = std::max_element(seen.begin(), seen.end(), [](auto& a, auto& b) {
                           return a.second < b.second;
                         })->first;
  }
  std::vector<int> positionOf(static_cast<size_t>(words), 0);
  for (size_t p = 0; p < order.size(); ++p) {
    if (order[p].Index >= 0) positionOf[size_t(order[p].Index)] = static_cast<int>(p) + 1;
    if (order[p].Bits != f.CommonWordLength)
      f.WordLengths.push_back({static_cast<int>(p) + 1, order[p].Bits});
  }
  f.FrameCodeComplement = t.FccMode;
  if (f.FrameCodeComplement)
    f.Comment += std::string(f.Comment.empty() ? "" : ", ") + "FRAME CODE COMPLEMENT";

  // Words with a role, for the D group; the frames are counted 1.. in the major frame.
  const int last = f.WordsPerMinorFrame - 1;
  std::vector<int64_t> every;
  for (int64_t k = 1; k <= f.MinorFrames; ++k) every.push_back(k);
  AddMeasurand(f, "SYNC", {f.WordsPerMinorFrame}, every, f.WordsPerMinorFrame);
  std::array<std::vector<int64_t>, kEncoderDynamicTables> dynamic;
  std::array<std::vector<int64_t>, kEncoderUniqueValues> unique;
  for (int i = 0; i < words; ++i) {
    const uint16_t a = t.WordAttributes[size_t(i)];
    const int type = AttributeWordType(a);
    const int p = positionOf[size_t(i)];
    if (p == 0) continue;
    if (type == kWordTypeSfId) {
      if (!DescribeCounter(model, i, p, f)) {
        f.Comment += std::string(f.Comment.empty() ? "" : ", ") + "WORD " + std::to_string(p) +
                     " CARRIES THE SUBFRAME ID BUT NOT AS A COUNTER";
      }
      AddMeasurand(f, "SFID", {p}, every, last);
      continue;
    }
    if ((a & kAttributeCrcBit) != 0) {
      AddMeasurand(f, t.Ccitt ? "CRC-CCITT" : "CRC-16", {p}, every, last);
      continue;
    }
    for (size_t k = 0; k < unique.size(); ++k) {
      if ((a & (1u << k)) != 0) unique[k].push_back(p);
    }
    if (type >= kWordTypeFirstDynamic) dynamic[size_t(type - kWordTypeFirstDynamic)].push_back(p);
  }
  for (size_t k = 0; k < dynamic.size(); ++k) {
    const char* wave = WaveName(input.Setup, k);
    AddMeasurand(f,
                 "WAVE" + std::to_string(k + 1) + (wave != nullptr ? std::string("-") + wave : ""),
                 dynamic[k], every, last);
  }
  for (size_t k = 0; k < unique.size(); ++k) {
    std::vector<int64_t> frames;
    for (int64_t n = 0; n < f.MinorFrames; ++n) {
      const int64_t c = model.CounterOfFrame(n);
      if ((t.FrameAttributes[static_cast<size_t>(c - t.Low)] & (1u << k)) != 0)
        frames.push_back(n + 1);
    }
    AddMeasurand(f, "UNIQUE" + std::to_string(k + 1) + "-" + Hex(t.UniqueValues[k]), unique[k],
                 frames, last);
  }
  out = std::move(f);
  return true;
}
