// Every file the programs read, made hostile: numbers past any integer, negative indexes,
// a line of a megabyte, NUL and 0xFF bytes, missing sections and keys. Each reader refuses
// the file or clamps what it took, never reads or writes outside its tables, and where the
// program has a message of its own for a refusal, that is the message given. What comes
// after a load that was accepted (validation, the load sequence, the dump, the frame map)
// copes with whatever the file held.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/LastSetupMatch.h"
#include "app/Qm48GlobUnit.h"
#include "app/SetupFiles.h"
#include "cli/CtlRun.h"
#include "editor/FrameMapModel.h"
#include "serial/PortConfig.h"
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

// Numbers saturate at the ends of 32 bits, so for sweeps over every key one past each end
// and a negative index stand for all of them.
const std::vector<std::string> kSaturatingNumbers = {"99999999999999999999", "-2147483649", "-1"};

const std::string kMegabyte(1 << 20, '7');
const std::string kBinary = std::string("\xFF\xFE", 2) + std::string(1, '\0') + "9\x01\x7F";

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
    start = end + 1;
  }
  return lines;
}

std::string Join(const std::vector<std::string>& lines) {
  std::string text;
  for (const auto& line : lines) text += line + "\r\n";
  return text;
}

struct Entry {
  std::string section;
  std::string key;
};

// Every key of every section, in file order.
std::vector<Entry> Entries(const std::string& text) {
  std::vector<Entry> entries;
  std::string section;
  for (const std::string& line : Lines(text)) {
    if (!line.empty() && line.front() == '[') {
      section = line.substr(1, line.find(']') - 1);
    } else if (size_t eq = line.find('='); eq != std::string::npos) {
      entries.push_back({section, line.substr(0, eq)});
    }
  }
  return entries;
}

// The text with the value of section/key replaced (with key = "" the section's header is
// replaced by value), or the entry (or the whole section) left out when remove.
std::string Edited(const std::string& text, const Entry& at, const std::string& value,
                   bool remove = false) {
  std::vector<std::string> out;
  std::string section;
  for (const std::string& line : Lines(text)) {
    if (!line.empty() && line.front() == '[') {
      section = line.substr(1, line.find(']') - 1);
      if (section == at.section && at.key.empty()) {
        if (!remove) out.push_back(value);
        continue;
      }
    } else if (section == at.section &&
               (at.key.empty() ? remove : line.rfind(at.key + "=", 0) == 0)) {
      if (!remove) out.push_back(at.key + "=" + value);
      continue;
    }
    out.push_back(line);
  }
  return Join(out);
}

// The text with lines added at the top of a section.
std::string Added(const std::string& text, const std::string& section, const std::string& lines) {
  const std::string header = "[" + section + "]\r\n";
  std::string out = text;
  const size_t at = out.find(header);
  if (at != std::string::npos) out.insert(at + header.size(), lines);
  return out;
}

class HostileFiles : public ::testing::Test {
 protected:
  HostileFiles() {
    dir.Enter();
    gFormatNumber = 0;
    gFormatName_ = {};
    auto sim = std::make_unique<progsimulatorclass>();
    progtxclass tx;
    int32_t format = 0;
    std::array<std::string, 4> names{"ONE", "TWO", "", ""};
    std::string last = "BASE.QM48";
    EXPECT_TRUE(SaveWholeFile(WholeSetup{*sim, tx, format, names}, dir.File("BASE.QM48"), &last));
    base = ReadAll(dir.File("BASE.QM48"));
  }

  // Loads the file as a recall does; when it is taken, everything that works on a loaded
  // setup runs on it. Returns whether the file was taken.
  bool LoadAndUse(const std::string& bytes, const std::string& what) {
    SCOPED_TRACE(what);
    const std::string path = dir.File("HOSTILE.QM48");
    WriteFile(path, bytes);
    auto sim = std::make_unique<progsimulatorclass>();
    progtxclass tx;
    int32_t format = 0;
    std::array<std::string, 4> names;
    std::string current = "BEFORE";
    if (!LoadWholeFile(WholeSetup{*sim, tx, format, names}, path, true, current)) {
      EXPECT_EQ(current, "BEFORE");
      return false;
    }
    const SimSetupData& s = sim->Setup;
    EXPECT_GE(format, 0);
    EXPECT_LE(format, 3);
    EXPECT_GE(s.FrameSyncLength, 3);
    EXPECT_LE(s.FrameSyncLength, 64);
    EXPECT_GE(s.FirstSubFrameNum, 0);
    EXPECT_LE(s.FirstSubFrameNum, 1);
    EXPECT_LT(strnlen(s.FrameSyncPattern, sizeof s.FrameSyncPattern), sizeof s.FrameSyncPattern);
    for (const std::string& name : names) EXPECT_LE(name.size(), 1023u);
    // A transmitter key that is missing or unreadable leaves its field as it was (0.0 for
    // the frequency of a new record); anything taken from the file lies in its range.
    const TxSetupData& t = tx.Setup;
    if (t.FreqMhz != TxSetupData{}.FreqMhz) {
      EXPECT_GE(t.FreqMhz, kTxFields[kTxFreqRegister].FileLow);
      EXPECT_LE(t.FreqMhz, kTxFields[kTxFreqRegister].FileHigh);
    }
    EXPECT_GE(t.FmDeviation, kTxFields[kTxDeviationRegister].FileLow);
    EXPECT_LE(t.FmDeviation, kTxFields[kTxDeviationRegister].FileHigh);
    EXPECT_GE(t.PreModFilterSelected, 0);
    EXPECT_LE(t.PreModFilterSelected, kTxFields[kTxPremodRegister].FileHigh);
    EXPECT_GE(t.AttenuationIndexDb, 0);
    EXPECT_LE(t.AttenuationIndexDb, kTxFields[kTxAttenRegister].FileHigh);

    FrameMapModel map;
    map.Build(*sim);
    if (map.Frames() > 0 && map.Words() > 0) map.CellAt(map.Frames() - 1, map.Words() - 1);
    EXPECT_FALSE(SetupDumpLines(sim->Setup).empty());
    std::string message;
    if (ValidateSimulatorSetup(*sim, message)) {
      sim->Prep232SimSetupData(SelectedLoadFormat());
      EXPECT_GT(sim->TxBuffer.Fill(), 0u);
    } else {
      // A corrupt record is reset to the defaults; a merely inconsistent one is named.
      EXPECT_TRUE(!message.empty() ||
                  sim->Setup.WordsPerMinorFrame == SimSetupData{}.WordsPerMinorFrame);
    }
    return true;
  }

  TempDir dir;
  std::string base;
};

TEST_F(HostileFiles, SetupFileKeysTakeAnyNumberWithoutHarm) {
  ASSERT_TRUE(LoadAndUse(base, "the file as saved"));
  const std::vector<Entry> entries = Entries(base);
  ASSERT_GT(entries.size(), 50u);
  for (const Entry& e : entries)
    for (const std::string& number : kSaturatingNumbers)
      LoadAndUse(Edited(base, e, number), e.section + "/" + e.key + "=" + number);
}

TEST_F(HostileFiles, SetupFileChangeListWithHostileIndexesStaysInsideTheWordTable) {
  const Entry changes{"SIMULATOR SETUP", "NumChanges"};
  for (const std::string& index : kHostileNumbers) {
    // A run starting at a hostile word index, and a frame of hostile length.
    std::string text = Edited(base, changes, "2");
    text = Added(text, "SIMULATOR SETUP",
                 "ChangeIndex1=" + index + "\r\nSimWordLen" + index + "=99\r\nSimValue" + index +
                     "=65535\r\n");
    LoadAndUse(text, "ChangeIndex1=" + index);
    LoadAndUse(Edited(text, {"SIMULATOR SETUP", "WordsPerMinorFrame"}, index),
               "WordsPerMinorFrame=" + index);
  }
}

TEST_F(HostileFiles, SetupFileWithMegabyteLinesAndBinaryBytesLoadsOrIsRefused) {
  const Entry pattern{"SIMULATOR SETUP", "FrameSyncPattern"};
  const Entry name{"SIMULATOR SETUP", "gFormatName_1"};
  const Entry wave{"SIMULATOR SETUP", "UserDefDynWordFn1"};
  for (const std::string& value : {kMegabyte, kBinary, std::string(kMegabyte.size(), '\xFF')}) {
    for (const Entry& e : {pattern, name, wave, Entry{"TRANSMITTER SETUP", "FreqMhz"},
                           Entry{"SIMULATOR SETUP", "WordsPerMinorFrame"}})
      LoadAndUse(Edited(base, e, value), e.key + " hostile");
    // A megabyte (or binary) line of its own, without "=", and as a section header.
    LoadAndUse(base + value + "\r\n", "trailing line");
    LoadAndUse(Edited(base, {"TRANSMITTER SETUP", ""}, "[" + value + "]"), "section header");
  }
  // The keys are read cut to 1023 bytes, and the pattern to its 64 characters.
  ASSERT_TRUE(LoadAndUse(Edited(base, name, kMegabyte), "long name"));
  auto sim = std::make_unique<progsimulatorclass>();
  progtxclass tx;
  int32_t format = 0;
  std::array<std::string, 4> names;
  std::string current;
  WriteFile(dir.File("LONG.QM48"), Edited(Edited(base, name, kMegabyte), pattern, kMegabyte));
  ASSERT_TRUE(
      LoadWholeFile(WholeSetup{*sim, tx, format, names}, dir.File("LONG.QM48"), false, current));
  EXPECT_EQ(names[0], std::string(1023, '7'));
  EXPECT_EQ(std::string(sim->Setup.FrameSyncPattern), std::string(64, '7'));
  // Bytes of a whole file, NULs and all, and a file of nothing but 0xFF.
  std::string binaryFile = base;
  for (size_t i = 7; i < binaryFile.size(); i += 97) binaryFile[i] = (i % 2) ? '\0' : '\xFF';
  LoadAndUse(binaryFile, "binary bytes throughout");
  EXPECT_FALSE(LoadAndUse(std::string(4096, '\xFF'), "only 0xFF"));
}

TEST_F(HostileFiles, SetupFileWithoutASectionOrItsVersionIsRefusedWithTheProgramsMessage) {
  const std::vector<std::pair<std::string, std::string>> broken = {
      {"no simulator section", Edited(base, {"SIMULATOR SETUP", ""}, "", true)},
      {"no transmitter section", Edited(base, {"TRANSMITTER SETUP", ""}, "", true)},
      {"no simulator version", Edited(base, {"SIMULATOR SETUP", "FileVersion"}, "", true)},
      {"unreadable transmitter version", Edited(base, {"TRANSMITTER SETUP", "FileVersion"}, "1x")},
      {"binary simulator version", Edited(base, {"SIMULATOR SETUP", "FileVersion"}, kBinary)},
      {"empty file", ""},
  };
  for (const auto& [what, text] : broken) {
    EXPECT_FALSE(LoadAndUse(text, what)) << what;
    WriteFile(dir.File("BROKEN.QM48"), text);
    CtlResult r = RunCtl("validate BROKEN.QM48", dir);
    EXPECT_EQ(r.code, 2) << what;
    EXPECT_EQ(r.err, "INVALID SETUP FILE..ABORT LOAD\n") << what;
  }
  // Keys missing one by one keep their fields as they were: the file still loads.
  for (const Entry& e : Entries(base))
    if (e.key != "FileVersion") LoadAndUse(Edited(base, e, "", true), "without " + e.key);
}

TEST_F(HostileFiles, LastSetupFileNamingAnythingForgetsTheNameAndKeepsTheSetup) {
  const Entry last{"LAST SETUP FILENAME", "FileName"};
  for (const std::string& stored :
       {kMegabyte, kBinary, std::string("../../../../../../etc/passwd"), std::string("/"),
        std::string("BASE.QM48/../BASE.QM48"), std::string("//\\\\..")}) {
    WriteFile(dir.File("LastQm48.Cfg"), Edited(base, last, stored));
    auto sim = std::make_unique<progsimulatorclass>();
    progtxclass tx;
    int32_t format = 0;
    std::array<std::string, 4> names;
    std::string current = "BEFORE";
    ASSERT_TRUE(
        RecallLastSetup(WholeSetup{*sim, tx, format, names}, dir.File("LastQm48.Cfg"), current));
    EXPECT_EQ(names[1], "TWO");
    // Only the name of a file that exists is taken.
    EXPECT_TRUE(current.empty() || current.find("BASE.QM48") != std::string::npos ||
                current == "../../../../../../etc/passwd")
        << current.size();
  }
  WriteFile(dir.File("LastQm48.Cfg"), Edited(base, {"LAST SETUP FILENAME", ""}, "", true));
  auto sim = std::make_unique<progsimulatorclass>();
  progtxclass tx;
  int32_t format = 0;
  std::array<std::string, 4> names;
  std::string current = "BEFORE";
  ASSERT_TRUE(
      RecallLastSetup(WholeSetup{*sim, tx, format, names}, dir.File("LastQm48.Cfg"), current));
  EXPECT_EQ(current, "");
}

TEST_F(HostileFiles, UserWaveFilesClampTheirCountAndKeepSamplesInSixteenBits) {
  const std::string path = dir.File("W.R4V8SimUserWave");
  UserWaveTable written;
  written.NumWords = 3;
  written.DefaultValue = 0x1111;
  written.Samples[0] = 1;
  std::strcpy(written.Name, "WAVE");
  WriteUserWaveFile(path, written);
  const std::string text = ReadAll(path);
  const Entry count{kUserWaveCommonSection, "NumWords"};
  const Entry label{kUserWaveCommonSection, "Name"};
  for (const std::string& number : kHostileNumbers) {
    UserWaveTable table;
    WriteFile(path, std::string("[") + kUserWaveCommonSection + "]\r\nName=WAVE\r\nDefaultValue=" +
                        number + "\r\nNumWords=" + number + "\r\n[" + kUserWaveValueSection +
                        "]\r\n-1=5\r\n0=6\r\n1=" + number + "\r\n1025=7\r\n");
    ASSERT_TRUE(ReadUserWaveFile(path, table)) << number;
    EXPECT_GE(table.NumWords, 0) << number;
    EXPECT_LE(table.NumWords, kUserWaveMaxWords) << number;
    EXPECT_EQ(table.Samples[1024 - 1], table.DefaultValue) << number;  // no key 1024
  }
  // Numbers past 32 bits saturate, so a megabyte of digits is the most samples there are;
  // a count that is no number at all is none.
  for (const auto& [value, words] :
       {std::pair{kMegabyte, kUserWaveMaxWords}, std::pair{kBinary, 0}}) {
    UserWaveTable table;
    WriteFile(path, Edited(Edited(text, label, value), count, value));
    ASSERT_TRUE(ReadUserWaveFile(path, table));
    EXPECT_LT(strnlen(table.Name, sizeof table.Name), sizeof table.Name);
    EXPECT_EQ(table.NumWords, words);
  }
  UserWaveTable table;
  WriteFile(path, "");
  ASSERT_TRUE(ReadUserWaveFile(path, table));
  EXPECT_EQ(table.NumWords, 0);
}

TEST_F(HostileFiles, PortConfigurationKeepsItsFieldsInsideTheirTables) {
  const std::string path = dir.File("Qm48Com.Cfg");
  ASSERT_TRUE(SavePortConfig(PortConfig{}, path));
  const std::string text = ReadAll(path);
  for (const Entry& e : Entries(text)) {
    for (const std::string& value : kHostileNumbers) {
      WriteFile(path, Edited(text, e, value));
      PortConfig config;
      SCOPED_TRACE(e.key + "=" + value);
      // Numbers saturate at the ends of 32 bits; whatever lies outside a table falls back.
      EXPECT_TRUE(LoadPortConfig(config, path));
      EXPECT_GE(config.PortNum, 0);
      EXPECT_LT(config.PortNum, kPortCount);
      EXPECT_GE(config.BaudRate, 0);
      EXPECT_LT(config.BaudRate, kBaudRateCount);
      EXPECT_GE(config.FlowControl, 0);
      EXPECT_LT(config.FlowControl, kFlowControlCount);
      EXPECT_GE(config.DataBits, 0);
      EXPECT_LT(config.DataBits, kDataBitsCount);
      EXPECT_GE(config.Parity, 0);
      EXPECT_LT(config.Parity, kParityCount);
      EXPECT_GE(config.StopBits, 0);
      EXPECT_LT(config.StopBits, kStopBitsCount);
      EXPECT_GE(config.MaxRxBufSize, 32u);
      EXPECT_GE(config.MaxTxBufSize, 32u);
    }
  }
  for (const std::string& value : {kMegabyte, kBinary}) {
    WriteFile(path, Edited(text, {"PortConfig", "PortName"}, value) +
                        "[PortDevices]\r\nCOM1=" + value + "\r\n");
    PortConfig config;
    ASSERT_TRUE(LoadPortConfig(config, path));
    EXPECT_LE(std::strlen(config.PortName), 10u);
    EXPECT_LE(PortDevicePath(0, path).size(), 1023u);
  }
}

TEST(HostileUnitState, RefusesWhatTheUnitCannotHoldAndKeepsTheStateAsItWas) {
  for (const std::string& bad :
       {std::string("format 99999999999999999999"), std::string("format -2147483649"),
        std::string("register -1 0001"), std::string("tx 2147483648 0"),
        std::string("memory -1 0001"), std::string("memory 0001 -1"),
        std::string("clock 99999999999999999999"), std::string("commands -1"),
        std::string("commands 99999999999999999999"), std::string("flash-saves -5"),
        std::string("commands 12 and more"), std::string("name 0 \"") + kMegabyte + "\"",
        std::string("name -1 \"abc\""), std::string("run") + std::string(1, '\0') + " 1",
        std::string("memory 0001 \xFF\xFF"), kMegabyte}) {
    UnitState state;
    state.sim.clock = 42;
    std::string error;
    EXPECT_FALSE(ParseUnitStateText("run 1\n" + bad + "\n", state, error)) << bad.substr(0, 40);
    EXPECT_EQ(error.substr(0, 8), "line 2: ") << bad.substr(0, 40);
    EXPECT_EQ(state.sim.clock, 42u);
  }
  // Missing lines keep the unit as it starts.
  UnitState state;
  std::string error;
  ASSERT_TRUE(ParseUnitStateText("run 1\n", state, error)) << error;
  EXPECT_EQ(state.sim.clock, 0u);
  EXPECT_TRUE(state.running);
}

}  // namespace
