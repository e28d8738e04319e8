#include "pcm/LockWarnings.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <memory>

#include "link/CommandText.h"
#include "pcm/Decommutator.h"
#include "pcm/EncoderModel.h"
#include "simulator/EncoderImage.h"
#include "simulator/SimRegisters.h"

namespace {

constexpr int32_t kPatternLeads = 1;
// Word attribute types.
constexpr size_t kPlacesNamed = 3;  // false sync places named in the text

// Puts the runtime generator back when the look at the frame is over.
class KeepGenerator {
 public:
  KeepGenerator() : state_(RuntimeRandState()) {}
  ~KeepGenerator() { RuntimeSrand(state_); }
  KeepGenerator(const KeepGenerator&) = delete;
  KeepGenerator& operator=(const KeepGenerator&) = delete;

 private:
  uint32_t state_;
};

std::string WordSpanText(int first, int last) {
  return first == last ? "word " + std::to_string(first + 1)
                       : "words " + std::to_string(first + 1) + " to " + std::to_string(last + 1);
}

void SortUnique(std::vector<int>& words) {
  std::sort(words.begin(), words.end());
  words.erase(std::unique(words.begin(), words.end()), words.end());
}

// The word indexes that carry the frame sync pattern, as the word attributes mark them.
std::vector<int> SyncWordIndexes(const SimSetupData& setup) {
  std::vector<int> words;
  const int count = FrameSyncWordCount(setup);
  for (int i = 0; i < count; ++i)
    words.push_back(setup.PatternLeads == kPatternLeads ? i : setup.WordsPerMinorFrame - 1 - i);
  SortUnique(words);
  return words;
}

// Which table of the load last wrote each memory word, to find the word values of a long
// frame written over the unit's other tables.
class OverlapSink : public EncoderLoadSink {
 public:
  enum Table : uint8_t { kNone, kUnique, kWave, kSfId, kSync, kWordValue, kOther };
  static constexpr int kTables = 7;

  void Step(const char* label, int) override {
    current_ = std::strcmp(label, "SetUniqueWordValues()") == 0   ? kUnique
               : std::strcmp(label, "SetWaveWords()") == 0        ? kWave
               : std::strcmp(label, "SetSfIdValue()") == 0        ? kSfId
               : std::strcmp(label, "SetFrameSyncPattern()") == 0 ? kSync
               : std::strcmp(label, "SetCommonDataValues()") == 0 ? kWordValue
                                                                  : kOther;
    commonWord_ = std::strcmp(label, "SetCommonWordValue()") == 0;
  }
  void Memory(int64_t address, uint16_t value) override {
    (void)value;
    const uint16_t a = Hex16Value(static_cast<uint32_t>(address));
    const uint8_t before = writer_[a];
    if (current_ == kWordValue && before >= kUnique && before <= kSync) {
      overwritten_.push_back(a - 1);
      tablesHit_[before] = true;
    }
    if (commonWord_ && before == kWordValue) commonWordOver_.push_back(a - 1);
    writer_[a] = current_;
  }
  void Register(int, uint16_t) override {}
  void Clock() override {}

  std::vector<int> overwritten_;     // word indexes whose value went over another table
  std::vector<int> commonWordOver_;  // word indexes whose value the common word replaced
  std::array<bool, kTables> tablesHit_{};

 private:
  std::vector<uint8_t> writer_ = std::vector<uint8_t>(kEncoderMemoryWords, kNone);
  uint8_t current_ = kNone;
  bool commonWord_ = false;
};

void LongFrameWarnings(const SimSetupData& setup, const UserWaveTables& waves,
                       EncoderCrcSetting crc, const EncoderTables& tables,
                       std::vector<LockWarning>& out) {
  auto record = std::make_unique<SimSetupData>(setup);
  auto work = std::make_unique<WordAttributeTable>();
  OverlapSink sink;
  WriteEncoderLoad(*record, waves, crc, *work, sink);

  if (!sink.overwritten_.empty()) {
    SortUnique(sink.overwritten_);
    static const char* const kNames[] = {"", "unique word", "wave", "subframe ID", "frame sync"};
    std::vector<std::string> names;
    for (int t = OverlapSink::kUnique; t <= OverlapSink::kSync; ++t)
      if (sink.tablesHit_[static_cast<size_t>(t)]) names.push_back(kNames[t]);
    std::string list;
    for (size_t i = 0; i < names.size(); ++i)
      list += (i == 0 ? "" : i + 1 == names.size() ? " and " : ", ") + names[i];
    LockWarning warning;
    warning.Text = WordSpanText(sink.overwritten_.front(), sink.overwritten_.back()) +
                   " of this long frame share the unit's memory with its " + list +
                   (names.size() == 1 ? " table" : " tables") +
                   ", and the load writes the word values last, over those tables";
    warning.Words = sink.overwritten_;
    // The words that read the tables written over send what is there now.
    for (size_t i = 0; i < tables.WordAttributes.size(); ++i) {
      const int type = AttributeWordType(tables.WordAttributes[i]);
      if ((type == kWordTypeFrameSync && sink.tablesHit_[OverlapSink::kSync]) ||
          (type == kWordTypeSfId && sink.tablesHit_[OverlapSink::kSfId]) ||
          (type >= kWordTypeFirstDynamic && sink.tablesHit_[OverlapSink::kWave]))
        warning.Words.push_back(static_cast<int>(i));
    }
    SortUnique(warning.Words);
    out.push_back(std::move(warning));
  }
  for (int word : sink.commonWordOver_) {
    out.push_back({"word " + std::to_string(word + 1) +
                       " shares its memory word with the common word value, which the load "
                       "writes over it last",
                   {word}});
  }
}

// Places other than the sync words' own where the pattern (or, with "FCC", its
// complement) shows in the bits of the fixed words: the sync words and the data words,
// which send the same value in every minor frame where nothing is inserted into them.
void FalseSyncWarning(const EncoderModel& model, const SyncPattern& pattern,
                      std::vector<LockWarning>& out) {
  const EncoderTables& tables = model.Tables();
  BitSequence bits;
  std::vector<uint8_t> fixed;
  std::vector<int> wordOf;
  std::vector<bool> syncWord;
  for (size_t i = 0; i < tables.WordAttributes.size(); ++i) {
    const uint16_t attribute = tables.WordAttributes[i];
    const int type = AttributeWordType(attribute);
    const bool sync = type == kWordTypeFrameSync;
    const bool data = type == 0 && (attribute & kAttributeCrcBit) == 0;
    EncodedWord word;
    word.Length = AttributeWordLength(attribute);
    const uint16_t value =
        sync ? tables.FrameSyncValues[(i + 1) % kEncoderSyncSlots] : tables.WordValues[i];
    word.Value = static_cast<uint16_t>(value & ((1u << word.Length) - 1));
    const size_t before = bits.size();
    model.AppendWordBits(word, bits);
    fixed.insert(fixed.end(), bits.size() - before, sync || data ? 1 : 0);
    wordOf.insert(wordOf.end(), bits.size() - before, static_cast<int>(i));
    syncWord.push_back(sync);
  }
  const int64_t frameBits = static_cast<int64_t>(bits.size());
  const int length = pattern.Length;
  if (frameBits < length) return;
  const uint64_t mask = length >= 64 ? ~0ull : (1ull << length) - 1;
  const uint64_t care = pattern.Care & mask;
  const uint64_t complement = ~pattern.Bits & mask;
  const bool fcc = model.FccMode();

  std::vector<int64_t> places;
  std::vector<int> words;
  uint64_t window = 0;
  uint64_t fixedWindow = 0;
  // Over the frame and the start of the next, so a pattern across the frame's end is seen.
  for (int64_t i = 0; i < frameBits + length - 1; ++i) {
    const size_t at = static_cast<size_t>(i % frameBits);
    window = ((window << 1) | (bits[at] & 1u)) & mask;
    fixedWindow = ((fixedWindow << 1) | fixed[at]) & mask;
    const int64_t start = i - length + 1;
    if (start < 0 || start == pattern.Offset) continue;
    if ((care & ~fixedWindow) != 0) continue;
    if (((window ^ pattern.Bits) & care) != 0 && (!fcc || ((window ^ complement) & care) != 0))
      continue;
    places.push_back(start);
    for (int64_t b = start; b < start + length; ++b) {
      const size_t bit = static_cast<size_t>(b % frameBits);
      if (!syncWord[static_cast<size_t>(wordOf[bit])]) words.push_back(wordOf[bit]);
    }
  }
  if (places.empty()) return;
  std::string text = "the frame sync pattern also shows in the fixed words at ";
  for (size_t k = 0; k < places.size() && k < kPlacesNamed; ++k) {
    const int first = wordOf[static_cast<size_t>(places[k])];
    const int last = wordOf[static_cast<size_t>((places[k] + length - 1) % frameBits)];
    std::string where = "word " + std::to_string(first + 1);
    if (last > first) where = "words " + std::to_string(first + 1) + "-" + std::to_string(last + 1);
    if (last < first)
      where = "from word " + std::to_string(first + 1) + " into the next minor frame";
    text +=
        (k == 0 ? "" : ", ") + std::string("bit ") + std::to_string(places[k]) + " (" + where + ")";
  }
  if (places.size() > kPlacesNamed)
    text += " and " + std::to_string(places.size() - kPlacesNamed) + " more places";
  text += " of the minor frame: a decommutator may lock there";
  SortUnique(words);
  out.push_back({text, words});
}

}  // namespace

std::vector<LockWarning> LockWarnings(const SimSetupData& setup, const UserWaveTables& waves,
                                      EncoderCrcSetting crc) {
  KeepGenerator keep;
  std::vector<LockWarning> out;
  const std::vector<int> syncWords = SyncWordIndexes(setup);

  // A damaged file's word number may be any 32-bit value.
  const int64_t sfIdWord = static_cast<int64_t>(setup.SfIdWordNum) - 1;
  const bool sfIdAmongSync = std::binary_search(syncWords.begin(), syncWords.end(), sfIdWord);
  if (sfIdAmongSync) {
    out.push_back({"word " + std::to_string(sfIdWord + 1) +
                       ", the subframe ID word, lies among the frame sync words: the pattern is "
                       "broken there, and no decommutator can lock to it",
                   {static_cast<int>(sfIdWord)}});
  }

  const EncoderModel model(setup, waves, crc);
  LongFrameWarnings(setup, waves, crc, model.Tables(), out);

  const int32_t code = setup.SimOutputCode;
  if (code >= 0 && code < kLineCodeCount &&
      LineCodeOfEncoderRegister(PcmEncoderRegisterValue(setup)) != static_cast<LineCode>(code)) {
    const LineCode sent = LineCodeOfEncoderRegister(PcmEncoderRegisterValue(setup));
    out.push_back({std::string("output code ") + kOutputCodeNames[static_cast<size_t>(code)] +
                       ": the unit has no encoder setting for it and sends " +
                       kOutputCodeNames[static_cast<size_t>(sent)] + " (encoder code 0)",
                   {}});
  }

  std::string why;
  const SyncPattern pattern = FrameSyncReference(setup, model, &why);
  if (pattern.Length == 0) {
    if (!sfIdAmongSync)
      out.push_back({"no decommutator can find the frame sync pattern: " + why, syncWords});
    return out;
  }
  const int compared = std::popcount(pattern.Care);
  if (compared < kShortestSafePattern) {
    out.push_back({"the frame sync pattern has " + std::to_string(compared) +
                       " bits a decommutator compares, fewer than " +
                       std::to_string(kShortestSafePattern) +
                       ": it may lock on the same bits in the data",
                   syncWords});
  }
  FalseSyncWarning(model, pattern, out);
  return out;
}
