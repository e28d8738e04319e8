#include "editor/FrameMapModel.h"

#include <algorithm>
#include <cstdio>
#include <memory>

#include "simulator/Qm48SimulatorUnit.h"

namespace {
constexpr uint16_t kTypeFrameSync = 1;
constexpr uint16_t kTypeSfId = 2;
constexpr uint16_t kFirstDynamicType = 3;
constexpr uint16_t kCrcBit = 0x0080;
constexpr uint16_t kUniqueMask = 0x007F;
constexpr int32_t kModeFcc = 2;
constexpr int32_t kModeUrc = 3;
constexpr int32_t kModeSfId = 1;

uint16_t TypeOf(uint16_t attribute) {
  return static_cast<uint16_t>((attribute >> 12) & 7);
}

int LowestBit(unsigned mask) {
  for (int k = 0; k < 8; ++k)
    if (mask & (1u << k)) return k;
  return -1;
}
}  // namespace

void FrameMapModel::Build(const progsimulatorclass& sim) {
  Build(sim.Setup, sim.UserWaves, sim.DoCrc16 || sim.DoCttit, sim.CrcWdNum);
}

void FrameMapModel::Build(const SimSetupData& source, const UserWaveTables& waves, bool crcOn,
                          int32_t crcWordIndex) {
  // The builders may reset the counter's first value, as a load does: they work on a copy
  // in the load's order, so the map matches the load and the record stays as it is.
  auto setup = std::make_unique<SimSetupData>(source);
  const std::vector<MemoryImageWrite> frames = BuildFrameAttributes(*setup);
  frameMasks_.clear();
  frameMasks_.reserve(frames.size());
  for (const MemoryImageWrite& write : frames)
    frameMasks_.push_back(static_cast<uint8_t>(write.Value & kUniqueMask));
  const SfIdCounterRange range = SfIdRange(*setup);
  counterLow_ = range.Low;
  counterHigh_ = range.High;
  sfIdShift_ = SfIdShift(setup->SfIdStartBit, range.High);
  subframeMode_ = setup->SubframeMode;

  auto table = std::make_unique<WordAttributeTable>();
  BuildWordAttributes(*setup, *table);
  const int words = FrameWordCount(*setup);
  wordAttributes_.assign(static_cast<size_t>(words), 0);
  for (int i = 0; i < words; ++i) {
    uint16_t value = WordAttribute(*setup, *table, i);
    if (crcOn && crcWordIndex == i) value |= kCrcBit;
    wordAttributes_[static_cast<size_t>(i)] = value;
  }

  values_.assign(static_cast<size_t>(words), 0);
  for (const MemoryImageWrite& write : WordValues(*setup))
    if (write.Address >= 1 && write.Address <= words)
      values_[static_cast<size_t>(write.Address - 1)] = write.Value;

  syncWords_.clear();
  for (const MemoryImageWrite& write : BuildFrameSyncWords(*setup))
    syncWords_.emplace_back(static_cast<int>(write.Address - kFrameSyncBaseAddress), write.Value);
  // The frame sync addresses keep the word number modulo 1024; the word numbers are those
  // of the sync words in frame order.
  const int syncCount = static_cast<int>(syncWords_.size());
  int w = 0;
  for (int i = 0; i < words && w < syncCount; ++i)
    if (TypeOf(wordAttributes_[static_cast<size_t>(i)]) == kTypeFrameSync)
      syncWords_[static_cast<size_t>(w++)].first = i + 1;

  const std::vector<MemoryImageWrite> unique = UniqueWordValues(*setup);
  for (size_t k = 0; k < uniqueValues_.size() && k < unique.size(); ++k)
    uniqueValues_[k] = unique[k].Value;
  uniqueSlots_.clear();
  for (int slot = 0; slot < kNumUniqueWords; ++slot)
    if (setup->UniqueWords[static_cast<size_t>(slot)].SimUniqueWordStartWord > 0)
      uniqueSlots_.push_back(slot);

  dynamic_ = ActiveDynamicWords(*setup);
  dynamicLengths_.clear();
  for (const ActiveDynamicWord& word : dynamic_)
    dynamicLengths_.push_back(DynamicWordLength(*setup, word.WordNumber));
  waves_ = waves;

  warnings_ = LockWarnings(source, waves, {crcOn, false, crcWordIndex});
  wordWarnings_.assign(static_cast<size_t>(words), 0);
  for (size_t k = 0; k < warnings_.size() && k < 32; ++k)
    for (int w : warnings_[k].Words)
      if (w >= 0 && w < words) wordWarnings_[static_cast<size_t>(w)] |= 1u << k;
}

bool FrameMapModel::WordWarned(int wordIndex) const {
  return wordIndex >= 0 && wordIndex < Words() &&
         wordWarnings_[static_cast<size_t>(wordIndex)] != 0;
}

uint16_t FrameMapModel::WordAttributeAt(int wordIndex) const {
  if (wordIndex < 0 || wordIndex >= Words()) return 0;
  return wordAttributes_[static_cast<size_t>(wordIndex)];
}

FrameCellRole FrameMapModel::RoleAt(int frame, int wordIndex) const {
  if (frame < 0 || frame >= Frames() || wordIndex < 0 || wordIndex >= Words())
    return FrameCellRole::Data;
  // Where tables overlap, the frame's structure wins over what is inserted into it: sync,
  // then the subframe ID, then the CRC, then a unique word, then a wave.
  const uint16_t attribute = wordAttributes_[static_cast<size_t>(wordIndex)];
  const uint16_t type = TypeOf(attribute);
  if (type == kTypeFrameSync) return FrameCellRole::FrameSync;
  if (type == kTypeSfId) return FrameCellRole::SubframeId;
  if (attribute & kCrcBit) return FrameCellRole::Crc;
  if (attribute & frameMasks_[static_cast<size_t>(frame)] & kUniqueMask)
    return FrameCellRole::Unique;
  if (type >= kFirstDynamicType) return FrameCellRole::Dynamic;
  return FrameCellRole::Data;
}

FrameMapModel::WordSpan FrameMapModel::SummariseWords(int firstWord, int count) const {
  WordSpan span;
  const int begin = std::max(firstWord, 0);
  const int end = std::min(Words(), firstWord + std::max(count, 0));
  for (int i = begin; i < end; ++i) {
    const uint16_t attribute = wordAttributes_[static_cast<size_t>(i)];
    const uint16_t type = TypeOf(attribute);
    FrameCellRole fixed = FrameCellRole::Data;
    if (type == kTypeFrameSync)
      fixed = FrameCellRole::FrameSync;
    else if (type == kTypeSfId)
      fixed = FrameCellRole::SubframeId;
    else if (attribute & kCrcBit)
      fixed = FrameCellRole::Crc;
    if (fixed != FrameCellRole::Data && (span.Fixed == FrameCellRole::Data || fixed < span.Fixed))
      span.Fixed = fixed;
    if (type >= kFirstDynamicType) span.Dynamic = true;
    if (wordWarnings_[static_cast<size_t>(i)] != 0) span.Warned = true;
    span.UniqueMask = static_cast<uint8_t>(span.UniqueMask | (attribute & kUniqueMask));
  }
  return span;
}

uint8_t FrameMapModel::FrameUniqueMask(int firstFrame, int count) const {
  uint8_t mask = 0;
  const int end = std::min(Frames(), firstFrame + std::max(count, 0));
  for (int f = std::max(firstFrame, 0); f < end; ++f) mask |= frameMasks_[static_cast<size_t>(f)];
  return mask;
}

FrameCellRole FrameMapModel::SpanRole(const WordSpan& words, uint8_t frameMask) {
  if (words.Fixed != FrameCellRole::Data) return words.Fixed;
  if (words.UniqueMask & frameMask) return FrameCellRole::Unique;
  if (words.Dynamic) return FrameCellRole::Dynamic;
  return FrameCellRole::Data;
}

FrameCell FrameMapModel::CellAt(int frame, int wordIndex) const {
  FrameCell cell;
  cell.Frame = frame;
  cell.Word = wordIndex + 1;
  cell.Counter = counterLow_ + frame;
  if (frame < 0 || frame >= Frames() || wordIndex < 0 || wordIndex >= Words()) {
    cell.Detail = "outside the frame";
    return cell;
  }
  const uint16_t attribute = wordAttributes_[static_cast<size_t>(wordIndex)];
  cell.Role = RoleAt(frame, wordIndex);
  cell.Length = ((attribute >> 8) & 15) + 1;
  switch (cell.Role) {
    case FrameCellRole::FrameSync:
      for (const auto& [number, value] : syncWords_)
        if (number == cell.Word) {
          cell.ValueKnown = true;
          cell.Value = value;
        }
      break;
    case FrameCellRole::SubframeId: {
      const uint32_t v = sfIdShift_ >= 32 ? 0u : static_cast<uint32_t>(cell.Counter) << sfIdShift_;
      cell.ValueKnown = true;
      cell.Value = static_cast<uint16_t>(v & 0xFFFF);
      break;
    }
    case FrameCellRole::Crc:
      cell.Detail = "computed by the unit over the minor frame";
      break;
    case FrameCellRole::Unique: {
      const int k = LowestBit(attribute & frameMasks_[static_cast<size_t>(frame)] & kUniqueMask);
      cell.ValueKnown = true;
      cell.Value = uniqueValues_[static_cast<size_t>(k)];
      if (k < static_cast<int>(uniqueSlots_.size()))
        cell.Detail = "slot " + std::to_string(uniqueSlots_[static_cast<size_t>(k)] + 1);
      break;
    }
    case FrameCellRole::Dynamic: {
      const size_t k = static_cast<size_t>(TypeOf(attribute) - kFirstDynamicType);
      // Overlapping dynamic words OR their types together and may name no active word.
      if (k >= dynamic_.size()) {
        cell.Detail = "no wave";
        break;
      }
      const ActiveDynamicWord& word = dynamic_[k];
      const bool knownWave = word.Wave >= 0 && word.Wave < static_cast<int32_t>(kWaveNames.size());
      cell.Detail = knownWave ? kWaveNames[static_cast<size_t>(word.Wave)] : "unknown wave";
      // A random wave draws from the program's generator at load time: no value to show
      // without disturbing it.
      if (knownWave && word.Wave != kWaveRandom) {
        cell.ValueKnown = true;
        cell.Value = static_cast<uint16_t>(WaveValue(word.Wave, dynamicLengths_[k],
                                                     waves_[static_cast<size_t>(word.Slot)],
                                                     counterLow_, counterHigh_, cell.Counter) &
                                           0xFFFF);
      }
      break;
    }
    case FrameCellRole::Data:
      cell.ValueKnown = true;
      cell.Value = values_[static_cast<size_t>(wordIndex)];
      break;
  }
  return cell;
}

std::string FrameMapModel::RoleName(FrameCellRole role) const {
  switch (role) {
    case FrameCellRole::FrameSync:
      return "frame sync";
    case FrameCellRole::SubframeId:
      if (subframeMode_ == kModeSfId) return "SFID";
      if (subframeMode_ == kModeFcc) return "FCC";
      if (subframeMode_ == kModeUrc) return "URC";
      return "subframe ID";
    case FrameCellRole::Dynamic:
      return "dynamic word";
    case FrameCellRole::Unique:
      return "unique word";
    case FrameCellRole::Crc:
      return "CRC word";
    case FrameCellRole::Data:
      break;
  }
  return "data";
}

std::string FrameMapModel::ToolTipText(int frame, int wordIndex) const {
  const FrameCell cell = CellAt(frame, wordIndex);
  std::string text = "Word " + std::to_string(cell.Word) + ", minor frame " +
                     std::to_string(cell.Frame) + " (counter " + std::to_string(cell.Counter) +
                     ")\nLength: " + std::to_string(cell.Length) + " bits\nValue: ";
  if (cell.ValueKnown) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "0x%04X (%u)", cell.Value, cell.Value);
    text += buffer;
  } else {
    text += "-";
  }
  text += "\nRole: " + RoleName(cell.Role);
  if (!cell.Detail.empty()) text += " (" + cell.Detail + ")";
  if (WordWarned(wordIndex)) {
    const uint32_t mask = wordWarnings_[static_cast<size_t>(wordIndex)];
    for (size_t k = 0; k < warnings_.size() && k < 32; ++k)
      if (mask & (1u << k)) text += "\nWarning: " + warnings_[k].Text;
  }
  return text;
}
