#include "simulator/SimFileSection.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "simulator/Qm48SimulatorUnit.h"
#include "support/ProfileStore.h"
#include "support/ProgramLog.h"

namespace {

constexpr uint16_t kMaxRunWordLength = 16;

template <size_t N>
int32_t IndexOf(const std::array<const char*, N>& table, const std::string& name) {
  for (size_t i = 0; i < N; ++i)
    if (name == table[i]) return static_cast<int32_t>(i);
  return 0;
}

// An index outside its table is written as its number, which reads back as index 0.
template <size_t N>
std::string NameOf(const std::array<const char*, N>& table, int32_t index) {
  if (index >= 0 && static_cast<size_t>(index) < N) return table[static_cast<size_t>(index)];
  return std::to_string(index);
}

// Typed access to one section of one file; a read that fails leaves its target as it was.
class Section {
 public:
  Section(const std::string& path, const std::string& section) : path_(path), section_(section) {}

  bool Int(const std::string& key, int32_t& value) const {
    return ReadProfileInt(path_, section_, key, value);
  }
  bool UInt32(const std::string& key, uint32_t& value) const {
    return ReadProfileUInt(path_, section_, key, 10, value);
  }
  bool UInt16(const std::string& key, uint16_t& value) const {
    return ReadProfileUInt16(path_, section_, key, 10, value);
  }
  bool Flag(const std::string& key, bool& value) const {
    return ReadProfileBool(path_, section_, key, value);
  }
  bool Text(const std::string& key, std::string& value) const {
    return ReadProfileString(path_, section_, key, value);
  }
  template <size_t N>
  void Name(const std::string& key, const std::array<const char*, N>& table, int32_t& index) const {
    std::string text;
    if (Text(key, text)) index = IndexOf(table, text);
  }

  void PutInt(const std::string& key, int64_t value) const {
    WriteProfileString(path_, section_, key, std::to_string(value));
  }
  void PutFlag(const std::string& key, bool value) const {
    WriteProfileBool(path_, section_, key, value);
  }
  void PutText(const std::string& key, const std::string& value) const {
    WriteProfileString(path_, section_, key, value);
  }
  template <size_t N>
  void PutName(const std::string& key, const std::array<const char*, N>& table,
               int32_t index) const {
    PutText(key, NameOf(table, index));
  }

 private:
  const std::string& path_;
  const std::string& section_;
};

std::string Indexed(const char* key, int64_t index) {
  return key + std::to_string(index);
}

void LoadRecordKeys(const Section& in, SimSetupData& s) {
  in.Int("CommonWordLength", s.CommonWordLength);
  in.Int("WordsPerMinorFrame", s.WordsPerMinorFrame);
  in.Name("BitOrder", kBitOrderNames, s.BitOrder);
  in.Name("PatternLeads", kPatternLeadsNames, s.PatternLeads);
  in.Name("SubframeMode", kSubframeModeNames, s.SubframeMode);
  in.Flag("FacEnable", s.FacEnable);
  in.Name("FsPatternRadix", kPatternRadixNames, s.FsPatternRadix);
  in.Int("FrameSyncLength", s.FrameSyncLength);
  std::string pattern;
  if (in.Text("FrameSyncPattern", pattern)) {
    // The field holds 64 characters; a longer text keeps its first 64.
    const size_t length = std::min(pattern.size(), sizeof s.FrameSyncPattern - 1);
    std::memcpy(s.FrameSyncPattern, pattern.data(), length);
    s.FrameSyncPattern[length] = '\0';
  }
  in.Name("SubframeDirection", kSubframeDirectionNames, s.SubframeDirection);
  in.Int("FirstSubFrameNum", s.FirstSubFrameNum);
  in.Int("NumSubframes", s.NumSubframes);
  in.Int("SfIdWordNum", s.SfIdWordNum);
  in.Int("SfIdStartBit", s.SfIdStartBit);
  in.Flag("ExtClockEnable", s.ExtClockEnable);
  in.UInt32("SimBitRate", s.SimBitRate);
  in.Name("SimOutputCode", kOutputCodeNames, s.SimOutputCode);
  in.Flag("TrackDecom", s.TrackDecom);
  in.Int("Convolution", s.Convolution);
  in.Flag("SwapG1G2", s.SwapG1G2);
  in.Flag("InvertG1", s.InvertG1);
  in.Flag("DiffEncodingEnable", s.DiffEncodingEnable);
  in.Int("CommonWordValue", s.CommonWordValue);
  for (int i = 0; i < kNumDynamicWords; ++i) {
    SimDynamicWord& d = s.DynamicWords[static_cast<size_t>(i)];
    in.Int(Indexed("SimDynamicWordNumber", i), d.SimDynamicWordNumber);
    in.Int(Indexed("SimDynamicWordInterval", i), d.SimDynamicWordInterval);
    in.Name(Indexed("SimDynamicWordWave", i), kWaveNames, d.SimDynamicWordWave);
  }
  for (int i = 0; i < kNumUniqueWords; ++i) {
    SimUniqueWord& u = s.UniqueWords[static_cast<size_t>(i)];
    in.Int(Indexed("SimUniqueWordStartFrame", i), u.SimUniqueWordStartFrame);
    in.Int(Indexed("SimUniqueWordStartFrameInterval", i), u.SimUniqueWordStartFrameInterval);
    in.Int(Indexed("SimUniqueWordStartWord", i), u.SimUniqueWordStartWord);
    in.Int(Indexed("SimUniqueWordWordInterval", i), u.SimUniqueWordWordInterval);
    in.UInt16(Indexed("SimUniqueWordValue", i), u.SimUniqueWordValue);
  }
}

void SaveRecordKeys(const Section& out, const SimSetupData& s) {
  out.PutInt("CommonWordLength", s.CommonWordLength);
  out.PutInt("WordsPerMinorFrame", s.WordsPerMinorFrame);
  out.PutName("BitOrder", kBitOrderNames, s.BitOrder);
  out.PutName("PatternLeads", kPatternLeadsNames, s.PatternLeads);
  out.PutName("SubframeMode", kSubframeModeNames, s.SubframeMode);
  out.PutFlag("FacEnable", s.FacEnable);
  out.PutName("FsPatternRadix", kPatternRadixNames, s.FsPatternRadix);
  out.PutInt("FrameSyncLength", s.FrameSyncLength);
  out.PutText(
      "FrameSyncPattern",
      std::string(s.FrameSyncPattern, strnlen(s.FrameSyncPattern, sizeof s.FrameSyncPattern)));
  out.PutName("SubframeDirection", kSubframeDirectionNames, s.SubframeDirection);
  out.PutInt("FirstSubFrameNum", s.FirstSubFrameNum);
  out.PutInt("NumSubframes", s.NumSubframes);
  out.PutInt("SfIdWordNum", s.SfIdWordNum);
  out.PutInt("SfIdStartBit", s.SfIdStartBit);
  out.PutFlag("ExtClockEnable", s.ExtClockEnable);
  out.PutInt("SimBitRate", s.SimBitRate);
  out.PutName("SimOutputCode", kOutputCodeNames, s.SimOutputCode);
  out.PutFlag("TrackDecom", s.TrackDecom);
  out.PutInt("Convolution", s.Convolution);
  out.PutFlag("SwapG1G2", s.SwapG1G2);
  out.PutFlag("InvertG1", s.InvertG1);
  out.PutFlag("DiffEncodingEnable", s.DiffEncodingEnable);
  out.PutInt("CommonWordValue", s.CommonWordValue);
  for (int i = 0; i < kNumDynamicWords; ++i) {
    const SimDynamicWord& d = s.DynamicWords[static_cast<size_t>(i)];
    out.PutInt(Indexed("SimDynamicWordNumber", i), d.SimDynamicWordNumber);
    out.PutInt(Indexed("SimDynamicWordInterval", i), d.SimDynamicWordInterval);
    out.PutName(Indexed("SimDynamicWordWave", i), kWaveNames, d.SimDynamicWordWave);
  }
  for (int i = 0; i < kNumUniqueWords; ++i) {
    const SimUniqueWord& u = s.UniqueWords[static_cast<size_t>(i)];
    out.PutInt(Indexed("SimUniqueWordStartFrame", i), u.SimUniqueWordStartFrame);
    out.PutInt(Indexed("SimUniqueWordStartFrameInterval", i), u.SimUniqueWordStartFrameInterval);
    out.PutInt(Indexed("SimUniqueWordStartWord", i), u.SimUniqueWordStartWord);
    out.PutInt(Indexed("SimUniqueWordWordInterval", i), u.SimUniqueWordWordInterval);
    out.PutInt(Indexed("SimUniqueWordValue", i), u.SimUniqueWordValue);
  }
}

// The words of the frame that are stored: never more than the word table holds.
int StoredWordCount(const SimSetupData& s) {
  return std::clamp(s.WordsPerMinorFrame, 0, kMaxWordsPerMinorFrame);
}

bool SameWord(const SimWord& a, const SimWord& b) {
  return a.SimWordLen == b.SimWordLen && a.SimValue == b.SimValue;
}

void SaveWordRuns(const Section& out, const SimSetupData& s) {
  const int words = StoredWordCount(s);
  int runs = 0;
  for (int i = 0; i < words; ++i)
    if (i == 0 || !SameWord(s.Words[static_cast<size_t>(i)], s.Words[static_cast<size_t>(i - 1)]))
      ++runs;
  out.PutInt("NumChanges", runs);
  int k = 0;
  for (int i = 0; i < words; ++i) {
    const SimWord& w = s.Words[static_cast<size_t>(i)];
    if (i != 0 && SameWord(w, s.Words[static_cast<size_t>(i - 1)])) continue;
    out.PutInt(Indexed("ChangeIndex", k++), i);
    out.PutInt(Indexed("SimWordLen", i), w.SimWordLen);
    out.PutInt(Indexed("SimValue", i), w.SimValue);
  }
}

struct WordRun {
  int32_t first;  // 0-based word index as filed
  SimWord word;
};

// Each run sets every word from its first index to the end of the frame, later runs over
// earlier ones. Applied backwards each word is written once: a run only reaches up to
// where the runs after it start. A negative index starts at word 0; nothing is written
// beyond the word table.
void ApplyWordRuns(const std::vector<WordRun>& runs, SimSetupData& s) {
  int32_t boundary = StoredWordCount(s);
  for (auto run = runs.rbegin(); run != runs.rend(); ++run) {
    const int32_t start = std::max(run->first, 0);
    if (start >= boundary) continue;
    std::fill(s.Words.begin() + start, s.Words.begin() + boundary, run->word);
    boundary = start;
  }
}

void LoadWordRuns(const Section& in, SimSetupData& s) {
  int32_t count = 0;
  in.Int("NumChanges", count);
  std::vector<WordRun> runs;
  for (int32_t k = 0; k < count; ++k) {
    int32_t first = 0;
    if (!in.Int(Indexed("ChangeIndex", k), first)) {
      LogText("LoadSimulatorFileInfoWithSection, changeindex failed", k);
      break;
    }
    SimWord word;
    if (!in.UInt16(Indexed("SimWordLen", first), word.SimWordLen)) {
      LogText("LoadSimulatorFileInfoWithSection, wordlen failed", k);
      break;
    }
    if (word.SimWordLen > kMaxRunWordLength) {
      LogText("LoadSimulatorFileInfoWithSection, wordlen failed for numbits", k);
      word.SimWordLen = kMaxRunWordLength;
    }
    if (!in.UInt16(Indexed("SimValue", first), word.SimValue)) {
      LogText("LoadSimulatorFileInfoWithSection, value failed", k);
      break;
    }
    runs.push_back({first, word});
  }
  ApplyWordRuns(runs, s);
}

}  // namespace

int32_t BitOrderIndex(const std::string& name) {
  return IndexOf(kBitOrderNames, name);
}
int32_t SubframeModeIndex(const std::string& name) {
  return IndexOf(kSubframeModeNames, name);
}
int32_t SubframeDirectionIndex(const std::string& name) {
  return IndexOf(kSubframeDirectionNames, name);
}
int32_t PatternLeadsIndex(const std::string& name) {
  return IndexOf(kPatternLeadsNames, name);
}
int32_t PatternRadixIndex(const std::string& name) {
  return IndexOf(kPatternRadixNames, name);
}
int32_t WaveIndex(const std::string& name) {
  return IndexOf(kWaveNames, name);
}
int32_t OutputCodeIndex(const std::string& name) {
  return IndexOf(kOutputCodeNames, name);
}

void AdjustSfIdStartBitForOldFiles(int32_t firstSubFrameNum, int32_t numSubframes,
                                   int32_t& sfIdStartBit) {
  if (numSubframes < 2) return;
  uint32_t top = static_cast<uint32_t>(firstSubFrameNum == 1 ? numSubframes : numSubframes - 1);
  int bits = 0;
  for (; top != 0; top >>= 1) ++bits;
  sfIdStartBit = bits - 1;
}

bool LoadSimulatorFileInfoWithSection(const std::string& path, int32_t fileVersion,
                                      SimSetupData& record, const std::string& section) {
  ProfileBatch batch(path);
  const Section in(path, section);
  LoadRecordKeys(in, record);
  record.FrameSyncLength = std::clamp(record.FrameSyncLength, 3, 64);
  record.FirstSubFrameNum = std::clamp(record.FirstSubFrameNum, 0, 1);
  LoadWordRuns(in, record);
  if (fileVersion < 2)
    AdjustSfIdStartBitForOldFiles(record.FirstSubFrameNum, record.NumSubframes,
                                  record.SfIdStartBit);
  return true;
}

void SaveSimulatorFileInfoWithSection(const std::string& path, const SimSetupData& record,
                                      const std::string& section) {
  ProfileBatch batch(path);
  const Section out(path, section);
  SaveRecordKeys(out, record);
  SaveWordRuns(out, record);
}

bool LoadSimulatorFileInfo(progsimulatorclass& sim, SimFormatSelection format,
                           const std::string& path, const std::string& section) {
  ProfileBatch batch(path);  // one read of the file for the whole section
  const Section in(path, section);
  int32_t fileVersion = 0;
  if (!in.Int("FileVersion", fileVersion)) return false;

  int32_t formatNumber = 0;
  if (in.Int("gFormatNumber", formatNumber)) format.number = std::clamp(formatNumber, 0, 3);
  in.Flag("DoCrc16", sim.DoCrc16);
  in.Flag("DoCttit", sim.DoCttit);
  in.Int("CrcWdNum", sim.CrcWdNum);
  if (sim.DoCrc16) sim.DoCttit = false;
  if (sim.DoCttit) sim.DoCrc16 = false;
  if (!sim.DoCrc16 && !sim.DoCttit) sim.CrcWdNum = -1;
  for (size_t i = 0; i < format.names.size(); ++i)
    in.Text(Indexed("gFormatName_", static_cast<int64_t>(i) + 1), format.names[i]);

  LoadSimulatorFileInfoWithSection(path, fileVersion, sim.Setup, section);

  for (size_t i = 0; i < sim.UserDefDynWordFn.size(); ++i) {
    std::string name;
    in.Text(Indexed("UserDefDynWordFn", static_cast<int64_t>(i) + 1), name);
    sim.UserDefDynWordFn[i] = name;
  }
  return true;
}

void SaveSimulatorFileInfo(const progsimulatorclass& sim, const SimFormatSelection& format,
                           const std::string& path, const std::string& section) {
  ProfileBatch batch(path);  // one write of the file for the whole section
  const Section out(path, section);
  out.PutInt("FileVersion", sim.FileVersion);
  out.PutInt("gFormatNumber", format.number);
  out.PutFlag("DoCrc16", sim.DoCrc16);
  out.PutFlag("DoCttit", sim.DoCttit);
  out.PutInt("CrcWdNum", sim.CrcWdNum);
  for (size_t i = 0; i < format.names.size(); ++i)
    out.PutText(Indexed("gFormatName_", static_cast<int64_t>(i) + 1), format.names[i]);
  SaveSimulatorFileInfoWithSection(path, sim.Setup, section);
  for (size_t i = 0; i < sim.UserDefDynWordFn.size(); ++i)
    out.PutText(Indexed("UserDefDynWordFn", static_cast<int64_t>(i) + 1), sim.UserDefDynWordFn[i]);
}
