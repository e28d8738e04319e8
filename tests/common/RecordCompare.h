#pragma once
// Field-by-field comparison of the simulator's setup (the record and the simulator
// object's setup members) and of the transmitter record, for tests that must show an
// edit changed exactly the fields it names. Differences come back as field names; runs
// of neighbouring word entries collapse into one name ("Words[0-255].SimWordLen").
#include <cstring>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "simulator/Qm48SimulatorUnit.h"
#include "transmitter/TxSetupData.h"

// What of the simulator object belongs to the setup; big, so keep it on the heap.
struct SimSetupSnapshot {
  SimSetupData Setup;
  UserWaveTables UserWaves{};
  std::array<std::string, kNumDynamicWords> UserDefDynWordFn;
  int32_t FileVersion = 0;
  bool DoCrc16 = false;
  bool DoCttit = false;
  int32_t CrcWdNum = 0;
};

inline std::unique_ptr<SimSetupSnapshot> TakeSnapshot(const progsimulatorclass& sim) {
  auto s = std::make_unique<SimSetupSnapshot>();
  s->Setup = sim.Setup;
  s->UserWaves = sim.UserWaves;
  s->UserDefDynWordFn = sim.UserDefDynWordFn;
  s->FileVersion = sim.FileVersion;
  s->DoCrc16 = sim.DoCrc16;
  s->DoCttit = sim.DoCttit;
  s->CrcWdNum = sim.CrcWdNum;
  return s;
}

namespace record_compare {

class Differences {
 public:
  template <typename T>
  void Field(const char* name, const T& a, const T& b) {
    if (!(a == b)) names_.emplace_back(name);
  }
  // Element-wise over an array of records; member selects the field compared.
  template <typename Array, typename Member>
  void Entries(const std::string& array, const std::string& field, const Array& a, const Array& b,
               Member member) {
    size_t runStart = 0;
    bool inRun = false;
    for (size_t i = 0; i <= a.size(); ++i) {
      const bool differs = i < a.size() && !(a[i].*member == b[i].*member);
      if (differs && !inRun) {
        runStart = i;
        inRun = true;
      } else if (!differs && inRun) {
        std::ostringstream name;
        name << array << "[" << runStart;
        if (i - 1 != runStart) name << "-" << i - 1;
        name << "]." << field;
        names_.push_back(name.str());
        inRun = false;
      }
    }
  }
  std::vector<std::string> Take() { return std::move(names_); }

 private:
  std::vector<std::string> names_;
};

}  // namespace record_compare

#define QM48_FIELD(d, a, b, f) d.Field(#f, a.f, b.f)
#define QM48_ENTRY(d, arr, a, b, type, f) d.Entries(#arr, #f, a.arr, b.arr, &type::f)

// Names of the differing fields, in declaration order; empty when equal.
inline std::vector<std::string> SetupDifferences(const SimSetupData& a, const SimSetupData& b) {
  record_compare::Differences d;
  QM48_FIELD(d, a, b, BitOrder);
  QM48_FIELD(d, a, b, SubframeMode);
  QM48_FIELD(d, a, b, SubframeDirection);
  QM48_FIELD(d, a, b, PatternLeads);
  QM48_FIELD(d, a, b, TrackDecom);
  QM48_FIELD(d, a, b, SimBitRate);
  QM48_FIELD(d, a, b, SimOutputCode);
  QM48_FIELD(d, a, b, SfIdWordNum);
  QM48_FIELD(d, a, b, SfIdStartBit);
  QM48_FIELD(d, a, b, CommonWordLength);
  QM48_FIELD(d, a, b, WordsPerMinorFrame);
  QM48_FIELD(d, a, b, NumSubframes);
  QM48_FIELD(d, a, b, FsPatternRadix);
  d.Field("FrameSyncPattern", std::string(a.FrameSyncPattern, sizeof a.FrameSyncPattern),
          std::string(b.FrameSyncPattern, sizeof b.FrameSyncPattern));
  QM48_FIELD(d, a, b, FrameSyncLength);
  QM48_FIELD(d, a, b, FirstSubFrameNum);
  QM48_FIELD(d, a, b, FacEnable);
  QM48_FIELD(d, a, b, ExtClockEnable);
  QM48_FIELD(d, a, b, Convolution);
  QM48_FIELD(d, a, b, SwapG1G2);
  QM48_FIELD(d, a, b, InvertG1);
  QM48_FIELD(d, a, b, DiffEncodingEnable);
  QM48_FIELD(d, a, b, CommonWordValue);
  QM48_ENTRY(d, DynamicWords, a, b, SimDynamicWord, SimDynamicWordNumber);
  QM48_ENTRY(d, DynamicWords, a, b, SimDynamicWord, SimDynamicWordInterval);
  QM48_ENTRY(d, DynamicWords, a, b, SimDynamicWord, SimDynamicWordWave);
  QM48_ENTRY(d, UniqueWords, a, b, SimUniqueWord, SimUniqueWordStartFrame);
  QM48_ENTRY(d, UniqueWords, a, b, SimUniqueWord, SimUniqueWordStartFrameInterval);
  QM48_ENTRY(d, UniqueWords, a, b, SimUniqueWord, SimUniqueWordStartWord);
  QM48_ENTRY(d, UniqueWords, a, b, SimUniqueWord, SimUniqueWordWordInterval);
  QM48_ENTRY(d, UniqueWords, a, b, SimUniqueWord, SimUniqueWordValue);
  QM48_ENTRY(d, Words, a, b, SimWord, SimWordLen);
  QM48_ENTRY(d, Words, a, b, SimWord, SimValue);
  return d.Take();
}

// The record's differences followed by those of the simulator object's setup members.
inline std::vector<std::string> SimDifferences(const SimSetupSnapshot& a,
                                               const SimSetupSnapshot& b) {
  std::vector<std::string> names = SetupDifferences(a.Setup, b.Setup);
  record_compare::Differences d;
  for (size_t i = 0; i < a.UserWaves.size(); ++i) {
    const UserWaveTable& x = a.UserWaves[i];
    const UserWaveTable& y = b.UserWaves[i];
    const bool same = x.NumWords == y.NumWords && x.Samples == y.Samples &&
                      x.DefaultValue == y.DefaultValue &&
                      std::memcmp(x.Name, y.Name, sizeof x.Name) == 0;
    d.Field(("UserWaves[" + std::to_string(i) + "]").c_str(), same, true);
  }
  QM48_FIELD(d, a, b, UserDefDynWordFn);
  QM48_FIELD(d, a, b, FileVersion);
  QM48_FIELD(d, a, b, DoCrc16);
  QM48_FIELD(d, a, b, DoCttit);
  QM48_FIELD(d, a, b, CrcWdNum);
  for (std::string& name : d.Take()) names.push_back(std::move(name));
  return names;
}

inline std::vector<std::string> SimDifferences(const SimSetupSnapshot& before,
                                               const progsimulatorclass& now) {
  return SimDifferences(before, *TakeSnapshot(now));
}

inline std::vector<std::string> TxDifferences(const TxSetupData& a, const TxSetupData& b) {
  record_compare::Differences d;
  QM48_FIELD(d, a, b, FreqMhz);
  QM48_FIELD(d, a, b, FmDeviation);
  QM48_FIELD(d, a, b, PreModFilterSelected);
  QM48_FIELD(d, a, b, AttenuationIndexDb);
  return d.Take();
}

#undef QM48_FIELD
#undef QM48_ENTRY
