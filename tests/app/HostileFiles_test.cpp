// Every file the programs read, made hostile: numbers past any integer, negative indexes,
// a line of a megabyte, NUL and 0xFF bytes, missing sections and keys. Each reader refuses
// the file or clamps what it took; whatever works on an accepted load copes with it.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "app/LastSetupMatch.h"
#include "app/Qm48GlobUnit.h"
#include "app/SetupFiles.h"
#include "editor/FrameMapModel.h"
#include "simulator/Qm48SimulatorUnit.h"
#include "simulator/SetupDump.h"
#include "simulator/SimValidation.h"
#include "simulator/UserWaveFiles.h"
#include "support/TempDir.h"
#include "transmitter/Qm48TransmitterUnit.h"
#include "unit/UnitStateText.h"

namespace {

// Past 32 and 64 bits, just past int32 either way, the ends of int32, and below zero.
const std::vector<std::string> kHostileNumbers = {
    "99999999999999999999", "-2147483649", "2147483648", "2147483647",
    "-2147483648",          "-1",          "4294967296"};
// Numbers saturate at the ends of 32 bits: one past each end and a negative index stand for
// all of them in the sweeps over every key.
const std::vector<std::string> kSaturatingNumbers = {"99999999999999999999", "-2147483649", "-1"};
const std::string kMegabyte(1 << 20, '7');
const std::string kBinary = std::string("\xFF\xFE", 2) + std::string(1, '\0') + "9\x01\x7F";
const std::string kSim = kSimulatorSection, kTx = kTransmitterSection;

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

struct Entry {
  std::string section, key;
};

// Every key of every section, in file order.
std::vector<Entry> Entries(const std::string& text) {
  std::vector<Entry> entries;
  std::string section;
  for (const std::string& line : CrLfLines(text))
    if (!line.empty() && line.front() == '[')
      section = line.substr(1, line.find(']') - 1);
    else if (size_t eq = line.find('='); eq != std::string::npos)
      entries.push_back({section, line.substr(0, eq)});
  return entries;
}

// The text with section/key set to value (with key "" the section's header replaced by
// value), or that entry or whole section left out when remove; lines added at the top of the
// section with add.
std::string Edited(const std::string& text, const Entry& at, const std::string& value,
                   bool remove = false, const std::string& add = "") {
  std::string out, section;
  for (const std::string& line : CrLfLines(text)) {
    const bool header = !line.empty() && line.front() == '[';
    if (header) section = line.substr(1, line.find(']') - 1);
    const bool here = section == at.section;
    if (here && (at.key.empty() ? header || remove : line.rfind(at.key + "=", 0) == 0)) {
      if (!remove) out += (at.key.empty() ? value : at.key + "=" + value) + "\r\n";
    } else {
      out += line + "\r\n";
    }
    if (header && here && !add.empty()) out += add;
  }
  return out;
}

// A setup apart from the program's, as a recall loads it.
struct Scratch {
  std::unique_ptr<progsimulatorclass> sim = std::make_unique<progsimulatorclass>();
  progtxclass tx;
  int32_t format = 0;
  std::array<std::string, 4> names;
  WholeSetup Whole() { return WholeSetup{*sim, tx, format, names}; }
};

class HostileFiles : public ::testing::Test {
 protected:
  HostileFiles() {
    dir.Enter();
    gFormatNumber = 0;
    gFormatName_ = {};
    Scratch setup;
    setup.names = {"ONE", "TWO", "", ""};
    const std::string last = "BASE.QM48";
    EXPECT_TRUE(SaveWholeFile(setup.Whole(), dir.File("BASE.QM48"), &last));
    base = ReadAll(dir.File("BASE.QM48"));
  }

  // Loads the file as a recall does; when it is taken, everything that works on a loaded
  // setup runs on it. Returns whether the file was taken.
  bool LoadAndUse(const std::string& bytes, const std::string& what) {
    SCOPED_TRACE(what);
    WriteFile(dir.File("HOSTILE.QM48"), bytes);
    Scratch setup;
    std::string current = "BEFORE";
    if (!LoadWholeFile(setup.Whole(), dir.File("HOSTILE.QM48"), true, current)) {
      EXPECT_EQ(current, "BEFORE");
      return false;
    }
    progsimulatorclass& sim = *setup.sim;
    const SimSetupData& s = sim.Setup;
    const TxSetupData& t = setup.tx.Setup;
    // A transmitter key missing or unreadable keeps its field (0.0 for a new record's
    // frequency); anything taken from the file lies in its range.
    const auto& f = kTxFields;
    const double freq = t.FreqMhz == TxSetupData{}.FreqMhz ? f[0].FileLow : t.FreqMhz;
    const std::tuple<double, double, double> ranges[] = {
        {setup.format, 0, 3},
        {s.FrameSyncLength, 3, 64},
        {s.FirstSubFrameNum, 0, 1},
        {freq, f[kTxFreqRegister].FileLow, f[kTxFreqRegister].FileHigh},
        {t.FmDeviation, f[kTxDeviationRegister].FileLow, f[kTxDeviationRegister].FileHigh},
        {t.PreModFilterSelected, 0, f[kTxPremodRegister].FileHigh},
        {t.AttenuationIndexDb, 0, f[kTxAttenRegister].FileHigh}};
    for (const auto& [value, low, high] : ranges) EXPECT_TRUE(value >= low && value <= high);
    EXPECT_LT(strnlen(s.FrameSyncPattern, sizeof s.FrameSyncPattern), sizeof s.FrameSyncPattern);
    for (const std::string& name : setup.names) EXPECT_LE(name.size(), 1023u);

    FrameMapModel map;
    map.Build(sim);
    if (map.Frames() > 0 && map.Words() > 0) map.CellAt(map.Frames() - 1, map.Words() - 1);
    EXPECT_FALSE(SetupDumpLines(s).empty());
    std::string message;
    if (ValidateSimulatorSetup(sim, message)) {
      sim.Prep232SimSetupData(SelectedLoadFormat());
      EXPECT_GT(sim.TxBuffer.Fill(), 0u);
    } else {  // a corrupt record is reset to the defaults; a merely inconsistent one is named
      EXPECT_TRUE(!message.empty() || s.WordsPerMinorFrame == SimSetupData{}.WordsPerMinorFrame);
    }
    return true;
  }

  TempDir dir;
  std::string base;
};

// Any number in any key, a change list starting at a hostile word index, a frame of hostile
// length; every key missing in turn keeps its field and the file loads; without a section or
// its version the file is refused.
TEST_F(HostileFiles, SetupFileKeysTakeAnythingAndMayBeMissingButNotTheSectionsAndVersions) {
  ASSERT_TRUE(LoadAndUse(base, "the file as saved"));
  ASSERT_GT(Entries(base).size(), 50u);
  for (const Entry& e : Entries(base)) {
    for (const std::string& number : kSaturatingNumbers)
      LoadAndUse(Edited(base, e, number), e.section + "/" + e.key + "=" + number);
    EXPECT_TRUE(e.key == "FileVersion" || LoadAndUse(Edited(base, e, "", true), "no " + e.key));
  }
  for (const std::string& index : kHostileNumbers) {
    const std::string changed =
        Edited(Edited(base, {kSim, "NumChanges"}, "2"), {kSim, ""}, "[" + kSim + "]", false,
               "ChangeIndex1=" + index + "\r\nSimWordLen" + index + "=99\r\nSimValue" + index +
                   "=65535\r\n");
    LoadAndUse(changed, "ChangeIndex1=" + index);
    LoadAndUse(Edited(changed, {kSim, "WordsPerMinorFrame"}, index), "WordsPerMinorFrame=" + index);
  }
  const std::pair<const char*, std::string> broken[] = {
      {"no simulator section", Edited(base, {kSim, ""}, "", true)},
      {"no transmitter section", Edited(base, {kTx, ""}, "", true)},
      {"no simulator version", Edited(base, {kSim, "FileVersion"}, "", true)},
      {"unreadable transmitter version", Edited(base, {kTx, "FileVersion"}, "1x")},
      {"binary simulator version", Edited(base, {kSim, "FileVersion"}, kBinary)},
      {"empty file", ""},
      {"only 0xFF", std::string(4096, '\xFF')}};
  for (const auto& [what, text] : broken) EXPECT_FALSE(LoadAndUse(text, what)) << what;

  // Megabyte lines and binary bytes: the file loads or is refused.
  const Entry pattern{kSim, "FrameSyncPattern"}, name{kSim, "gFormatName_1"};
  for (const std::string& value : {kMegabyte, kBinary, std::string(kMegabyte.size(), '\xFF')}) {
    for (const Entry& e : {pattern, name, Entry{kSim, "UserDefDynWordFn1"}, Entry{kTx, "FreqMhz"},
                           Entry{kSim, "WordsPerMinorFrame"}})
      LoadAndUse(Edited(base, e, value), e.key + " hostile");
    // A megabyte (or binary) line of its own, without "=", and as a section header.
    LoadAndUse(base + value + "\r\n", "trailing line");
    LoadAndUse(Edited(base, {kTx, ""}, "[" + value + "]"), "section header");
  }
  // The keys are read cut to 1023 bytes, and the pattern to its 64 characters.
  Scratch setup;
  std::string current;
  WriteFile(dir.File("LONG.QM48"), Edited(Edited(base, name, kMegabyte), pattern, kMegabyte));
  ASSERT_TRUE(LoadWholeFile(setup.Whole(), dir.File("LONG.QM48"), false, current));
  EXPECT_EQ(setup.names[0], std::string(1023, '7'));
  EXPECT_EQ(std::string(setup.sim->Setup.FrameSyncPattern), std::string(64, '7'));
  std::string binaryFile = base;  // NULs and 0xFF bytes throughout
  for (size_t i = 7; i < binaryFile.size(); i += 97) binaryFile[i] = (i % 2) ? '\0' : '\xFF';
  LoadAndUse(binaryFile, "binary bytes throughout");
}

TEST_F(HostileFiles, LastSetupFileNamingAnythingForgetsTheNameAndKeepsTheSetup) {
  const Entry last{kLastSetupSection, "FileName"};
  const std::string remembered[] = {
      kMegabyte,  kBinary,       "../../../../../../etc/passwd", "/", "BASE.QM48/../BASE.QM48",
      "//\\\\..", "(no section)"};
  for (const std::string& stored : remembered) {
    WriteFile(dir.File("LastQm48.Cfg"), stored == "(no section)"
                                            ? Edited(base, {last.section, ""}, "", true)
                                            : Edited(base, last, stored));
    Scratch setup;
    std::string current = "BEFORE";
    ASSERT_TRUE(RecallLastSetup(setup.Whole(), dir.File("LastQm48.Cfg"), current));
    EXPECT_EQ(setup.names[1], "TWO");
    // Only the name of a file that exists is taken.
    EXPECT_TRUE(current.empty() || current.find("BASE.QM48") != std::string::npos ||
                current == "../../../../../../etc/passwd")
        << current.size();
  }
}

TEST_F(HostileFiles, UserWaveFilesClampTheirCountAndKeepSamplesInSixteenBits) {
  const std::string path = dir.File("W.R4V8SimUserWave");
  UserWaveTable written;
  written.NumWords = 3;
  std::strcpy(written.Name, "WAVE");
  WriteUserWaveFile(path, written);
  const std::string text = ReadAll(path);
  const std::string common = std::string("[") + kUserWaveCommonSection + "]",
                    values = std::string("[") + kUserWaveValueSection + "]";
  for (const std::string& number : kHostileNumbers) {
    UserWaveTable table;
    WriteFile(path, common + "\r\nName=WAVE\r\nDefaultValue=" + number + "\r\nNumWords=" + number +
                        "\r\n" + values + "\r\n-1=5\r\n0=6\r\n1=" + number + "\r\n1025=7\r\n");
    ASSERT_TRUE(ReadUserWaveFile(path, table)) << number;
    EXPECT_TRUE(table.NumWords >= 0 && table.NumWords <= kUserWaveMaxWords) << number;
    EXPECT_EQ(table.Samples[1024 - 1], table.DefaultValue) << number;  // no key 1024
  }
  // Worked by hand: a name cut to 64, a default past 16 bits keeps its low 16, a sample of -1
  // is 0xFFFF, a sample not given is the default.
  UserWaveTable wave;
  WriteFile(path, common + "\nName=" + std::string(70, 'N') + "\nDefaultValue=65636\nNumWords=3\n" +
                      values + "\n1=7\n3=-1\n");
  ASSERT_TRUE(ReadUserWaveFile(path, wave));
  EXPECT_EQ(std::string(wave.Name), std::string(64, 'N'));
  EXPECT_EQ(std::tie(wave.NumWords, wave.DefaultValue), std::make_tuple(3, 100));
  EXPECT_EQ(std::vector<int>(wave.Samples.begin(), wave.Samples.begin() + 4),
            (std::vector<int>{7, 100, 0xFFFF, 100}));
  EXPECT_FALSE(ReadUserWaveFile(dir.File("none.R4V8SimUserWave"), wave));
  EXPECT_FALSE(ReadUserWaveFile(dir.Path(), wave));
  EXPECT_EQ(wave.Samples[0], 7);
  // A megabyte of digits saturates to the most samples there are; binary is no count at all.
  for (const auto& [value, words] : {std::pair{kMegabyte, kUserWaveMaxWords}, std::pair{kBinary, 0},
                                     std::pair{std::string(), 0}}) {
    UserWaveTable table;
    WriteFile(path, value.empty() ? ""
                                  : Edited(Edited(text, {kUserWaveCommonSection, "Name"}, value),
                                           {kUserWaveCommonSection, "NumWords"}, value));
    ASSERT_TRUE(ReadUserWaveFile(path, table));
    EXPECT_LT(strnlen(table.Name, sizeof table.Name), sizeof table.Name);
    EXPECT_EQ(table.NumWords, words);
  }
}

// The virtual unit's state file: a line the unit cannot hold is refused by its number and
// the state stays as it was; missing lines keep the unit as it starts.
TEST(HostileUnitState, RefusesWhatTheUnitCannotHoldAndKeepsTheStateAsItWas) {
  using namespace std::string_literals;
  for (const std::string& bad :
       {"format -2147483649"s, "register -1 0001"s, "memory 0001 -1"s,
        "clock 99999999999999999999"s, "commands 99999999999999999999"s, "commands 12 and more"s,
        "flash-saves -5"s, "name 0 \""s + kMegabyte + "\"", "name -1 \"abc\""s, "run\0 1"s,
        "memory 0001 \xFF\xFF"s, kMegabyte}) {
    UnitState state;
    state.sim.clock = 42;
    std::string error;
    EXPECT_FALSE(ParseUnitStateText("run 1\n" + bad + "\n", state, error)) << bad.substr(0, 40);
    EXPECT_EQ(error.substr(0, 8), "line 2: ") << bad.substr(0, 40);
    EXPECT_EQ(state.sim.clock, 42u);
  }
  UnitState state;
  std::string error;
  ASSERT_TRUE(ParseUnitStateText("run 1\n", state, error)) << error;
  EXPECT_EQ(state.sim.clock, 0u);
  EXPECT_TRUE(state.running);
}

}  // namespace
