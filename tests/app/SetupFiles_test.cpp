// Setup files: save and recall, the last-setup file and its name (matched without regard
// to case), random round trips, the window's place, TMATS.
#include "app/SetupFiles.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>

#include "app/LastSetupMatch.h"
#include "app/Qm48GlobUnit.h"
#include "app/TmatsFiles.h"
#include "app/WindowPlace.h"
#include "common/RandomSimSetup.h"
#include "common/ScriptedOperator.h"
#include "simulator/Qm48SimulatorUnit.h"
#include "support/ProfileStore.h"
#include "support/TempDir.h"
#include "transmitter/Qm48TransmitterUnit.h"

namespace {

void Touch(const std::string& path) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  std::ofstream(path) << "x";
}

auto Tie(const WindowPlace& p) {
  return std::tie(p.left, p.top, p.width, p.height, p.maximised);
}

// A fresh setup in a fresh current directory; the format globals and the edited mark are the
// program's, reset here (the one place these tests reach them).
class SetupFilesTest : public ::testing::Test {
 protected:
  SetupFilesTest() : sim(std::make_unique<progsimulatorclass>()) {
    dir.Enter();
    gFormatNumber = 0;
    gFormatName_ = {};
    gSetupEdited = false;
  }
  WholeSetup Whole() { return ProgramSetup(*sim, tx); }
  std::string Read(const std::string& path, const char* section, const char* key) {
    std::string text = "(missing)";
    ReadProfileString(path, section, key, text);
    return text;
  }

  TempDir dir;
  std::unique_ptr<progsimulatorclass> sim;
  progtxclass tx;
  std::string current;
};

TEST_F(SetupFilesTest, SaveWritesBothSectionsAndTheLastSetupFile) {
  current = dir.File("ONE.QM48");
  gFormatName_[0] = "FMT";
  gSetupEdited = true;
  ASSERT_EQ(SaveSetup(Whole(), current), SaveOutcome::Saved);
  EXPECT_FALSE(gSetupEdited);
  EXPECT_EQ(Read(current, kSimulatorSection, "FileVersion"), "2");
  EXPECT_EQ(Read(current, kTransmitterSection, "FileVersion"), "1");
  EXPECT_EQ(Read(current, kTransmitterSection, "FreqMhz"), "0.000000000");
  EXPECT_EQ(Read(current, kLastSetupSection, "FileName"), "(missing)");
  EXPECT_EQ(Read(LastSetupPath(), kLastSetupSection, "FileName"), current);
  EXPECT_EQ(Read(LastSetupPath(), kSimulatorSection, "gFormatName_1"), "FMT");
  EXPECT_EQ(SaveSetup(Whole(), ""), SaveOutcome::NeedsName);
  EXPECT_EQ(SaveSetup(Whole(), dir.Path() + "/"), SaveOutcome::NoFileName);

  if (::geteuid() == 0) return;  // root may write any file
  std::filesystem::remove(LastSetupPath());
  current = dir.File("RO.QM48");
  std::ofstream(current) << "[X]\n";
  std::filesystem::permissions(current, std::filesystem::perms::owner_read);
  EXPECT_EQ(SaveSetup(Whole(), current), SaveOutcome::ReadOnly);
  EXPECT_FALSE(std::filesystem::exists(LastSetupPath()));
}

TEST_F(SetupFilesTest, LastSetupNameIsMatchedFolderByFolderWithoutRegardToCase) {
  for (const char* name : {"Setups/Flight.qm48", "a.qm48", "A.QM48x", "twin.qm48", "Twin.qm48"})
    Touch(dir.File(name));
  std::filesystem::create_directories(dir.File("folder"));
  const std::string d = dir.Path();
  // The name stored, the folder it is taken from, the name matched.
  const std::tuple<std::string, std::string, std::string> cases[] = {
      {dir.File("Setups/Flight.qm48"), "/", dir.File("Setups/Flight.qm48")},
      {"Setups/Flight.qm48", d, "Setups/Flight.qm48"},
      {"", d, ""},
      {dir.File("SETUPS/FLIGHT.QM48"), "/", dir.File("Setups/Flight.qm48")},
      {"SETUPS/FLIGHT.QM48", d, "Setups/Flight.qm48"},
      {"./SETUPS//FLIGHT.QM48", d, "./Setups/Flight.qm48"},
      {dir.File("GONE.QM48"), "/", ""},
      {dir.File("TWIN.QM48"), "/", ""},  // two candidates
      {dir.File("twin.qm48"), "/", dir.File("twin.qm48")},
      {dir.File("FOLDER"), "/", ""},
      {dir.File("NOWHERE/A.QM48"), "/", ""},
      {"C:\\SETUPS\\A.QM48", d, ""},
  };
  for (const auto& [stored, base, matched] : cases)
    EXPECT_EQ(MatchLastSetupName(stored, base), matched) << stored;

  // The setup of an old upper-case name loads with the file found; a vanished file is
  // forgotten and its setup still loads; a missing or broken file changes nothing.
  const std::string last = dir.File("LastQm48.Cfg");
  for (const auto& [stored, expected] :
       {std::pair{d + "/SETUPS/FLIGHT.QM48", dir.File("Setups/Flight.qm48")},
        std::pair{dir.File("GONE.QM48"), std::string()}}) {
    gFormatName_[1] = "KEPT";
    std::string name = stored;
    ASSERT_TRUE(SaveWholeFile(Whole(), last, &name));
    gFormatName_[1] = "";
    current = "before";
    ASSERT_TRUE(RecallLastSetup(Whole(), last, current));
    EXPECT_EQ(std::tie(current, gFormatName_[1], gSetupEdited),
              std::make_tuple(expected, "KEPT", false));
  }
  current = "kept";
  EXPECT_FALSE(RecallLastSetup(Whole(), dir.File("NONE.Cfg"), current));
  EXPECT_FALSE(gSetupEdited);
  gFormatName_[0] = "LIVE";
  std::ofstream(last, std::ios::trunc) << "[LAST SETUP FILENAME]\r\nFileName=x\r\n";
  EXPECT_FALSE(RecallLastSetup(Whole(), last, current));
  EXPECT_EQ(std::tie(current, gFormatName_[0], gSetupEdited),
            std::make_tuple("kept", "LIVE", true));
}

// Saved, recalled into a new simulator and saved again into a new file: the same file, and
// the same stream built from it.
TEST_F(SetupFilesTest, RandomSetupsRoundTrip) {
  tx.Setup = {2250.3, 350, 2, 4};
  for (uint32_t seed = 1; seed <= 40; ++seed) {
    const std::string file = dir.File(std::to_string(seed) + ".QM48");
    RandomSimSetup(seed).Fill(*sim, gFormatNumber, gFormatName_);
    ASSERT_TRUE(SaveWholeFile(Whole(), file, nullptr));
    const std::string saved = ReadAll(file);
    const auto [number, names] = std::pair(gFormatNumber, gFormatName_);
    RuntimeSrand(seed);
    sim->Prep232SimSetupData(SelectedLoadFormat());
    const auto expected = SplitCommands(sim->TxBuffer);

    sim = std::make_unique<progsimulatorclass>();
    gFormatNumber = 0;
    gFormatName_ = {};
    ASSERT_TRUE(RecallSetup(Whole(), file, current));
    EXPECT_EQ(std::tie(gFormatNumber, gFormatName_), std::tie(number, names));
    ASSERT_TRUE(SaveWholeFile(Whole(), file + "2", nullptr));
    EXPECT_EQ(ReadAll(file + "2"), saved) << "seed " << seed;
    RuntimeSrand(seed);
    sim->Prep232SimSetupData(SelectedLoadFormat());
    EXPECT_EQ(SplitCommands(sim->TxBuffer), expected) << "seed " << seed;
  }
}

// The place survives the setup written again at every close and Load All; an older file
// without it loads and leaves the place alone; a damaged section is not taken.
TEST_F(SetupFilesTest, WindowPlaceLivesInTheLastSetupFileAndIsFittedToTheScreen) {
  const std::string last = dir.File(kLastSetupFileName);
  sim->Setup.WordsPerMinorFrame = 77;
  ASSERT_TRUE(SaveWholeFile(Whole(), last, &current));
  WindowPlace place{1, 2, 3, 4, false};
  EXPECT_FALSE(ReadWindowPlace(last, place));
  EXPECT_FALSE(ReadWindowPlace(dir.File("none.cfg"), place));
  EXPECT_EQ(Tie(place), Tie({1, 2, 3, 4, false}));

  for (const WindowPlace& written :
       {WindowPlace{-40, 25, 1400, 900, true}, WindowPlace{10, 20, 960, 632, false}}) {
    ASSERT_TRUE(WriteWindowPlace(last, written));
    sim->Setup.WordsPerMinorFrame = 100;
    ASSERT_TRUE(SaveWholeFile(Whole(), last, &current));
    ASSERT_TRUE(ReadWindowPlace(last, place));
    EXPECT_EQ(Tie(place), Tie(written));
    sim = std::make_unique<progsimulatorclass>();
    ASSERT_TRUE(LoadWholeFile(Whole(), last, true, current));
    EXPECT_EQ(sim->Setup.WordsPerMinorFrame, 100);
  }

  const std::pair<const char*, bool> sections[] = {
      {"Left=5\nTop=6\nWidth=970\nHeight=640\n", true},  // no Maximized: not maximised
      {"Left=5\nTop=6\nWidth=970\n", false},             // no height
      {"Left=5\nTop=6\nWidth=0\nHeight=640\n", false},
      {"Left=5\nTop=6\nWidth=99999999\nHeight=640\n", false},
      {"Left=99999999999\nTop=6\nWidth=970\nHeight=640\n", false},
      {"Left=five\nTop=6\nWidth=970\nHeight=640\n", false},
  };
  for (const auto& [section, taken] : sections) {
    std::ofstream(last, std::ios::trunc) << "[MAIN WINDOW]\n" << section;
    place = {1, 2, 3, 4, true};
    EXPECT_EQ(ReadWindowPlace(last, place), taken) << section;
    EXPECT_EQ(Tie(place),
              Tie(taken ? WindowPlace{5, 6, 970, 640, false} : WindowPlace{1, 2, 3, 4, true}))
        << section;
  }

  // Fitted to the screen: no smaller than the least size (960 x 632), no larger than the
  // screen, and on it.
  const ScreenArea screen{0, 0, 1280, 1000}, small{10, 20, 800, 600};
  const std::tuple<const char*, WindowPlace, WindowPlace, ScreenArea> fits[] = {
      {"fits as it is", {100, 50, 1000, 700, false}, {100, 50, 1000, 700, false}, screen},
      {"smaller than the least", {100, 50, 500, 300, true}, {100, 50, 960, 632, true}, screen},
      {"larger than the screen", {0, 0, 3000, 2000, false}, {0, 0, 1280, 1000, false}, screen},
      {"off right and below", {1200, 900, 1000, 700, false}, {280, 300, 1000, 700, false}, screen},
      {"off left and above", {-500, -80, 1000, 700, false}, {0, 0, 1000, 700, false}, screen},
      {"screen below the least", {300, 300, 960, 632, false}, {10, 20, 960, 632, false}, small},
  };
  for (const auto& [name, remembered, fitted, area] : fits)
    EXPECT_EQ(Tie(FitWindowPlace(remembered, 960, 632, area)), Tie(fitted)) << name;
}

// Export writes the chosen file with the transmitter and the queried filter corner; import
// asks which link of several, and refuses one the unit cannot send, leaving the setup alone.
TEST_F(SetupFilesTest, TmatsExportAndImportThroughTheOperator) {
  ScriptedOperator op;
  ScopedOperator scope(op);
  tx.Setup = {2250.5, 358, 2, 0};
  op.QueueChosenFile(dir.File("a.tmt"));
  ASSERT_TRUE(ExportTmatsChosen(*sim, tx, {100, 300, 600, 1000}, "/x/flight7.QM48"));
  const std::string one = ReadAll(dir.File("a.tmt"));
  for (const char* line :
       {"G\\PN:flight7;", "T-1\\RF1:2250.5;", "T-1\\RF5:716;", "T-1\\PMF1:600;", "P-1\\MF1:255;"})
    EXPECT_NE(one.find(line), std::string::npos) << line;
  EXPECT_EQ(op.FileChoosers().at(0).suggestedName, "flight7");
  EXPECT_FALSE(std::filesystem::exists(dir.File("a.tmt.part")));
  op.QueueChooserCancel();
  EXPECT_FALSE(ExportTmatsChosen(*sim, tx, {}, ""));
  EXPECT_TRUE(op.MessageBoxes().empty());

  std::string second = one;
  for (size_t at; (at = second.find("P-1\\")) != std::string::npos;) second.replace(at, 4, "P-2\\");
  second.replace(second.find("P-2\\DLN:QM48-PCM"), 16, "P-2\\DLN:FAST");
  second.replace(second.find("P-2\\D2:1024000"), 14, "P-2\\D2:2000000");
  std::ofstream(dir.File("two.tmt")) << one << second;
  op.QueueChosenFile(dir.File("two.tmt"));
  op.QueueInput("FAST");
  ASSERT_TRUE(ImportTmatsChosen(*sim, tx));
  EXPECT_EQ(sim->Setup.SimBitRate, 2000000u);
  EXPECT_NE(op.InputBoxes().at(0).prompt.find("QM48-PCM, FAST"), std::string::npos);

  std::string odd = one;
  odd.replace(odd.find("P-1\\F3:NO"), 9, "P-1\\F3:EV");
  std::ofstream(dir.File("odd.tmt")) << odd;
  op.QueueChosenFile(dir.File("odd.tmt"));
  EXPECT_FALSE(ImportTmatsChosen(*sim, tx));
  EXPECT_EQ(sim->Setup.SimBitRate, 2000000u) << "the setup stays as it was";
  ASSERT_EQ(op.MessageBoxes().size(), 1u);
  EXPECT_NE(op.MessageBoxes()[0].text.find("P-1\\F3:EV"), std::string::npos);
  EXPECT_EQ(op.MessageBoxes()[0].caption, "TMATS");
}

}  // namespace
