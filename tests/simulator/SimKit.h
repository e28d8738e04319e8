#pragma once
// What the simulator tests share: a simulator as the program starts one, and setup edits.
#include <cstring>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "simulator/MemoryImages.h"
#include "simulator/Qm48SimulatorUnit.h"

// A new simulator with the generator seeded as at program start: word 1 is 346.
inline std::unique_ptr<progsimulatorclass> Fresh() {
  RuntimeSrand(1);
  return std::make_unique<progsimulatorclass>();
}

inline void SetPattern(SimSetupData& s, const char* text, int radix, int length) {
  std::memset(s.FrameSyncPattern, 0, sizeof s.FrameSyncPattern);
  std::strcpy(s.FrameSyncPattern, text);
  s.FsPatternRadix = radix;
  s.FrameSyncLength = length;
}

inline void NoDynamicOrUniqueWords(SimSetupData& s) {
  for (SimDynamicWord& d : s.DynamicWords) d.SimDynamicWordWave = kWaveNothing;
  for (SimUniqueWord& u : s.UniqueWords) u.SimUniqueWordStartWord = 0;
}

inline std::vector<uint16_t> Values(const std::vector<MemoryImageWrite>& writes) {
  std::vector<uint16_t> values;
  for (const MemoryImageWrite& w : writes) values.push_back(w.Value);
  return values;
}

// Applies edits written "Field=value ..." with the record's own field names; "Word<n>Len"
// and "Word<n>Value" are word n's length and value, "Wave<n>" dynamic word n's wave.
inline void Apply(SimSetupData& s, const std::string& edits) {
  using S = SimSetupData;
#define QM48_FIELD(name) \
  { #name, &S::name }
  static const std::map<std::string, int32_t S::*> fields = {
      QM48_FIELD(BitOrder),     QM48_FIELD(SubframeMode),     QM48_FIELD(SubframeDirection),
      QM48_FIELD(PatternLeads), QM48_FIELD(SimOutputCode),    QM48_FIELD(SfIdWordNum),
      QM48_FIELD(SfIdStartBit), QM48_FIELD(CommonWordLength), QM48_FIELD(WordsPerMinorFrame),
      QM48_FIELD(NumSubframes), QM48_FIELD(FrameSyncLength),  QM48_FIELD(FirstSubFrameNum),
      QM48_FIELD(Convolution),  QM48_FIELD(CommonWordValue)};
  static const std::map<std::string, bool S::*> flags = {QM48_FIELD(FacEnable),
                                                         QM48_FIELD(SwapG1G2), QM48_FIELD(InvertG1),
                                                         QM48_FIELD(DiffEncodingEnable)};
#undef QM48_FIELD
  std::istringstream in(edits);
  for (std::string edit; in >> edit;) {
    const std::string name = edit.substr(0, edit.find('='));
    const int64_t value = std::stoll(edit.substr(edit.find('=') + 1), nullptr, 0);
    if (fields.contains(name)) {
      s.*fields.at(name) = static_cast<int32_t>(value);
    } else if (flags.contains(name)) {
      s.*flags.at(name) = value != 0;
    } else if (name == "SimBitRate") {
      s.SimBitRate = static_cast<uint32_t>(value);
    } else if (name.starts_with("Wave")) {
      s.DynamicWords.at(std::stoul(name.substr(4)) - 1).SimDynamicWordWave =
          static_cast<int32_t>(value);
    } else {
      SimWord& word = s.Words.at(std::stoul(name.substr(4)) - 1);
      (name.ends_with("Len") ? word.SimWordLen : word.SimValue) = static_cast<uint16_t>(value);
    }
  }
}
