#pragma once
// Which fields of the simulator's setup differ, in declaration order, runs of entries as one name
// ("Words[0-255].SimWordLen"): edits change only theirs.
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "simulator/Qm48SimulatorUnit.h"

// What of the simulator object belongs to the setup; big, so keep it on the heap.
struct SimSetupSnapshot {
  SimSetupData Setup;
  UserWaveTables UserWaves{};
  std::array<std::string, kNumDynamicWords> UserDefDynWordFn;
  int32_t FileVersion = 0;
  bool DoCrc16 = false, DoCttit = false;
  int32_t CrcWdNum = 0;
};

inline std::unique_ptr<SimSetupSnapshot> TakeSnapshot(const progsimulatorclass& sim) {
  return std::make_unique<SimSetupSnapshot>(
      SimSetupSnapshot{sim.Setup, sim.UserWaves, sim.UserDefDynWordFn, sim.FileVersion, sim.DoCrc16,
                       sim.DoCttit, sim.CrcWdNum});
}

namespace record_compare {
inline void Fields(std::vector<std::string>& names,
                   std::initializer_list<std::pair<const char*, bool>> same) {
  for (const auto& [name, equal] : same)
    if (!equal) names.emplace_back(name);
}
// Element-wise over an array of records: each run of entries whose field differs.
template <typename Array, typename Member>
void Entries(std::vector<std::string>& names, const char* array, const char* field, const Array& a,
             const Array& b, Member member) {
  for (size_t i = 0, start; i < a.size(); ++i) {  // past each run, its equal neighbour
    for (start = i; i < a.size() && !(a[i].*member == b[i].*member);) ++i;
    if (i > start)
      names.push_back(std::string(array) + "[" + std::to_string(start) +
                      (i - 1 > start ? "-" + std::to_string(i - 1) : "") + "]." + field);
  }
}
}  // namespace record_compare

#define QM48_SAME(f) \
  { #f, a.f == b.f }
#define QM48_ENTRY(arr, type, f) record_compare::Entries(names, #arr, #f, a.arr, b.arr, &type::f)

inline std::vector<std::string> SetupDifferences(const SimSetupData& a, const SimSetupData& b) {
  std::vector<std::string> names;
  const bool samePattern =
      std::memcmp(a.FrameSyncPattern, b.FrameSyncPattern, sizeof a.FrameSyncPattern) == 0;
  record_compare::Fields(names, {QM48_SAME(BitOrder),           QM48_SAME(SubframeMode),
                                 QM48_SAME(SubframeDirection),  QM48_SAME(PatternLeads),
                                 QM48_SAME(TrackDecom),         QM48_SAME(SimBitRate),
                                 QM48_SAME(SimOutputCode),      QM48_SAME(SfIdWordNum),
                                 QM48_SAME(SfIdStartBit),       QM48_SAME(CommonWordLength),
                                 QM48_SAME(WordsPerMinorFrame), QM48_SAME(NumSubframes),
                                 QM48_SAME(FsPatternRadix),     {"FrameSyncPattern", samePattern},
                                 QM48_SAME(FrameSyncLength),    QM48_SAME(FirstSubFrameNum),
                                 QM48_SAME(FacEnable),          QM48_SAME(ExtClockEnable),
                                 QM48_SAME(Convolution),        QM48_SAME(SwapG1G2),
                                 QM48_SAME(InvertG1),           QM48_SAME(DiffEncodingEnable),
                                 QM48_SAME(CommonWordValue)});
  QM48_ENTRY(DynamicWords, SimDynamicWord, SimDynamicWordNumber);
  QM48_ENTRY(DynamicWords, SimDynamicWord, SimDynamicWordInterval);
  QM48_ENTRY(DynamicWords, SimDynamicWord, SimDynamicWordWave);
  QM48_ENTRY(UniqueWords, SimUniqueWord, SimUniqueWordStartFrame);
  QM48_ENTRY(UniqueWords, SimUniqueWord, SimUniqueWordStartFrameInterval);
  QM48_ENTRY(UniqueWords, SimUniqueWord, SimUniqueWordStartWord);
  QM48_ENTRY(UniqueWords, SimUniqueWord, SimUniqueWordWordInterval);
  QM48_ENTRY(UniqueWords, SimUniqueWord, SimUniqueWordValue);
  QM48_ENTRY(Words, SimWord, SimWordLen);
  QM48_ENTRY(Words, SimWord, SimValue);
  return names;
}

// The record's differences followed by those of the simulator object's setup members.
inline std::vector<std::string> SimDifferences(const SimSetupSnapshot& a,
                                               const SimSetupSnapshot& b) {
  std::vector<std::string> names = SetupDifferences(a.Setup, b.Setup);
  for (size_t i = 0; i < a.UserWaves.size(); ++i) {
    const UserWaveTable &x = a.UserWaves[i], &y = b.UserWaves[i];
    if (x.NumWords != y.NumWords || x.Samples != y.Samples || x.DefaultValue != y.DefaultValue ||
        std::memcmp(x.Name, y.Name, sizeof x.Name) != 0)
      names.push_back("UserWaves[" + std::to_string(i) + "]");
  }
  record_compare::Fields(names, {QM48_SAME(UserDefDynWordFn), QM48_SAME(FileVersion),
                                 QM48_SAME(DoCrc16), QM48_SAME(DoCttit), QM48_SAME(CrcWdNum)});
  return names;
}

inline std::vector<std::string> SimDifferences(const SimSetupSnapshot& before,
                                               const progsimulatorclass& now) {
  return SimDifferences(before, *TakeSnapshot(now));
}

#undef QM48_SAME
#undef QM48_ENTRY
