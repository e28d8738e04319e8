#include "editor/FrameMapModel.h"

#include <algorithm>
#include <cstdio>
#include <memory>

#include "pcm/EncoderModel.h"
#include "simulator/Qm48SimulatorUnit.h"

namespace {
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
  // The tables as the unit reads them out of the memory the load leaves (the record is not
  // changed). A "RANDOM" wave draws at load time: the look here puts the generator back.
  const uint32_t generator = RuntimeRandState();
  const EncoderModel model(source, waves, {crcOn, false, crcWordIndex});
  RuntimeSrand(generator);
  tables_ = model.Tables();
  const int64_t frames = model.MinorFramesPerMajorFrame();
  counters_.resize(static_cast<size_t>(frames));
  frameMasks_.resize(static_cast<size_t>(frames));
  for (int64_t k = 0; k < frames; ++k) {
    const int64_t counter = model.CounterOfFrame(k);
    counters_[static_cast<size_t>(k)] = static_cast<uint16_t>(counter);
    frameMasks_[static_cast<size_t>(k)] = static_cast<uint8_t>(
        tables_.FrameAttributes[static_cast<size_t>(counter - tables_.Low)] & kAttributeUniqueMask);
  }
  subframeMode_ = source.SubframeMode;
  uniqueSlots_.clear();
  for (int slot = 0; slot < kNumUniqueWords; ++slot)
    if (source.UniqueWords[static_cast<size_t>(slot)].SimUniqueWordStartWord > 0)
      uniqueSlots_.push_back(slot);
  dynamic_ = ActiveDynamicWords(source);

  const int words = Words();
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
  return tables_.WordAttributes[static_cast<size_t>(wordIndex)];
}

FrameCellRole FrameMapModel::RoleAt(int frame, int wordIndex) const {
  if (frame < 0 || frame >= Frames() || wordIndex < 0 || wordIndex >= Words())
    return FrameCellRole::Data;
  // Where tables overlap, the frame's structure wins over what is inserted into it: sync,
  // then the subframe ID, then the CRC, then a unique word, then a wave.
  const uint16_t attribute = tables_.WordAttributes[static_cast<size_t>(wordIndex)];
  const uint16_t type = TypeOf(attribute);
  if (type == kWordTypeFrameSync) return FrameCellRole::FrameSync;
  if (type == kWordTypeSfId) return FrameCellRole::SubframeId;
  if (attribute & kAttributeCrcBit) return FrameCellRole::Crc;
  if (attribute & frameMasks_[static_cast<size_t>(frame)] & kAttributeUniqueMask)
    return FrameCellRole::Unique;
  if (type >= kWordTypeFirstDynamic) return FrameCellRole::Dynamic;
  return FrameCellRole::Data;
}

FrameMapModel::WordSpan FrameMapModel::SummariseWords(int firstWord, int count) const {
  WordSpan span;
  const int begin = std::max(firstWord, 0);
  const int end = std::min(Words(), firstWord + std::max(count, 0));
  for (int i = begin; i < end; ++i) {
    const uint16_t attribute = tables_.WordAttributes[static_cast<size_t>(i)];
    const uint16_t type = TypeOf(attribute);
    FrameCellRole fixed = FrameCellRole::Data;
    if (type == kWordTypeFrameSync)
      fixed = FrameCellRole::FrameSync;
    else if (type == kWordTypeSfId)
      fixed = FrameCellRole::SubframeId;
    else if (attribute & kAttributeCrcBit)
      fixed = FrameCellRole::Crc;
    if (fixed != FrameCellRole::Data && (span.Fixed == FrameCellRole::Data || fixed < span.Fixed))
      span.Fixed = fixed;
    if (type >= kWordTypeFirstDynamic) span.Dynamic = true;
    if (wordWarnings_[static_cast<size_t>(i)] != 0) span.Warned = true;
    span.UniqueMask = static_cast<uint8_t>(span.UniqueMask | (attribute & kAttributeUniqueMask));
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
  if (frame < 0 || frame >= Frames() || wordIndex < 0 || wordIndex >= Words()) {
    cell.Detail = "outside the frame";
    return cell;
  }
  cell.Counter = counters_[static_cast<size_t>(frame)];
  const size_t slot = static_cast<size_t>(cell.Counter - tables_.Low);
  const uint16_t attribute = tables_.WordAttributes[static_cast<size_t>(wordIndex)];
  cell.Role = RoleAt(frame, wordIndex);
  cell.Length = AttributeWordLength(attribute);
  cell.ValueKnown = true;
  switch (cell.Role) {
    case FrameCellRole::FrameSync:
      cell.Value = tables_.FrameSyncValues[static_cast<size_t>(cell.Word) % kEncoderSyncSlots];
      break;
    case FrameCellRole::SubframeId:
      cell.Value = tables_.SfIdValues[slot];
      break;
    case FrameCellRole::Crc:
      cell.ValueKnown = false;
      cell.Detail = "computed by the unit over the minor frame";
      break;
    case FrameCellRole::Unique: {
      const int k =
          LowestBit(attribute & frameMasks_[static_cast<size_t>(frame)] & kAttributeUniqueMask);
      cell.Value = tables_.UniqueValues[static_cast<size_t>(k)];
      if (k < static_cast<int>(uniqueSlots_.size()))
        cell.Detail = "slot " + std::to_string(uniqueSlots_[static_cast<size_t>(k)] + 1);
      break;
    }
    case FrameCellRole::Dynamic: {
      const size_t k = static_cast<size_t>(TypeOf(attribute) - kWordTypeFirstDynamic);
      cell.Value = tables_.WaveValues[k][slot];
      // Overlapping dynamic words OR their types together and may name no active word.
      const bool known = k < dynamic_.size() && dynamic_[k].Wave >= 0 &&
                         dynamic_[k].Wave < static_cast<int32_t>(kWaveNames.size());
      cell.Detail = k >= dynamic_.size() ? "no wave"
                    : known              ? kWaveNames[static_cast<size_t>(dynamic_[k].Wave)]
                                         : "unknown wave";
      // A random wave draws new numbers at every load: no value to show.
      if (tables_.RandomWave[k]) cell.ValueKnown = false;
      break;
    }
    case FrameCellRole::Data:
      cell.Value = tables_.WordValues[static_cast<size_t>(wordIndex)];
      break;
  }
  // The wire carries the value's low (length) bits.
  if (cell.Length < 16) cell.Value = static_cast<uint16_t>(cell.Value & ((1u << cell.Length) - 1));
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
