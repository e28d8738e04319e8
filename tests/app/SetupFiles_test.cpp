#include "app/SetupFiles.h"

#include <gtest/gtest.h>

#include <unistd.h>
#include <fstream>

#include <cstring>
#include <memory>

#include "app/Qm48GlobUnit.h"
#include "common/RandomSimSetup.h"
#include "link/TransmitBuffer.h"
#include "simulator/Qm48SimulatorUnit.h"
#include "simulator/UserWaveFiles.h"
#include "support/ProfileStore.h"
#include "support/TempDir.h"
#include "transmitter/Qm48TransmitterUnit.h"

namespace {

class SetupFilesTest : public ::testing::Test {
 protected:
  SetupFilesTest() : sim(std::make_unique<progsimulatorclass>()) {
    dir.Enter();
    gFormatNumber = 0;
    gFormatName_ = {};
    gSetupEdited = false;
  }
  WholeSetup Whole() { return ProgramSetup(*sim, tx); }

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
  int32_t version = 0;
  std::string text;
  EXPECT_TRUE(ReadProfileInt(current, kSimulatorSection, "FileVersion", version));
  EXPECT_EQ(version, 2);
  EXPECT_TRUE(ReadProfileInt(current, kTransmitterSection, "FileVersion", version));
  EXPECT_EQ(version, 1);
  EXPECT_TRUE(ReadProfileString(current, kTransmitterSection, "FreqMhz", text));
  EXPECT_EQ(text, "0.000000000");
  EXPECT_FALSE(ReadProfileString(current, kLastSetupSection, "FileName", text));
  EXPECT_TRUE(ReadProfileString(LastSetupPath(), kLastSetupSection, "FileName", text));
  EXPECT_EQ(text, current);
  EXPECT_TRUE(ReadProfileString(LastSetupPath(), kSimulatorSection, "gFormatName_1", text));
  EXPECT_EQ(text, "FMT");

  EXPECT_EQ(SaveSetup(Whole(), ""), SaveOutcome::NeedsName);
  EXPECT_EQ(SaveSetup(Whole(), dir.Path() + "/"), SaveOutcome::NoFileName);
}

TEST_F(SetupFilesTest, ReadOnlyFileIsNotWrittenNorTheLastSetup) {
  if (::geteuid() == 0) GTEST_SKIP() << "root may write any file";
  current = dir.File("RO.QM48");
  std::ofstream(current) << "[X]\n";
  std::filesystem::permissions(current, std::filesystem::perms::owner_read);
  EXPECT_EQ(SaveSetup(Whole(), current), SaveOutcome::ReadOnly);
  EXPECT_FALSE(std::filesystem::exists(LastSetupPath()));
}

TEST_F(SetupFilesTest, RecallIsAllOrNothing) {
  const std::string good = dir.File("GOOD.QM48");
  sim->Setup.WordsPerMinorFrame = 77;
  gFormatNumber = 2;
  tx.Setup = {2250.3, 350, 2, 4};
  ASSERT_TRUE(SaveWholeFile(Whole(), good, nullptr));

  // A broken transmitter section: nothing of the simulator section is taken either.
  const std::string broken = dir.File("BROKEN.QM48");
  std::ofstream(broken) << "[SIMULATOR SETUP]\nFileVersion=2\nWordsPerMinorFrame=99\n"
                           "gFormatNumber=3\n[TRANSMITTER SETUP]\nFreqMhz=2250.5\n";
  current = good;
  EXPECT_FALSE(RecallSetup(Whole(), broken, current));
  EXPECT_EQ(sim->Setup.WordsPerMinorFrame, 77);
  EXPECT_EQ(gFormatNumber, 2);
  EXPECT_EQ(current, good);
  EXPECT_TRUE(gSetupEdited);

  std::ofstream(broken) << "[SIMULATOR SETUP]\nWordsPerMinorFrame=99\n"
                           "[TRANSMITTER SETUP]\nFileVersion=1\nFreqMhz=2250.5\n";
  EXPECT_FALSE(RecallSetup(Whole(), broken, current));
  EXPECT_EQ(tx.Setup.FreqMhz, 2250.3);

  sim->Setup.WordsPerMinorFrame = 5;
  tx.Setup = {};
  EXPECT_FALSE(RecallSetup(Whole(), dir.File("MISSING.QM48"), current));
  EXPECT_TRUE(RecallSetup(Whole(), good, current));
  EXPECT_EQ(sim->Setup.WordsPerMinorFrame, 77);
  EXPECT_EQ(tx.Setup.FreqMhz, 2250.3);
  EXPECT_EQ(tx.Setup.AttenuationIndexDb, 4);
  EXPECT_EQ(current, good);
  EXPECT_FALSE(gSetupEdited);
  std::string text;
  EXPECT_TRUE(ReadProfileString(LastSetupPath(), kLastSetupSection, "FileName", text));
  EXPECT_EQ(text, good);
}

TEST_F(SetupFilesTest, StartUpTakesTheLastNameOnlyWhenItsFileExists) {
  const std::string named = dir.File("NAMED.QM48");
  current = named;
  ASSERT_TRUE(SaveWholeFile(Whole(), LastSetupPath(), &current));
  current.clear();
  EXPECT_TRUE(LoadWholeFile(Whole(), LastSetupPath(), true, current));
  EXPECT_EQ(current, "");  // NAMED.QM48 does not exist
  std::ofstream(named) << "\n";
  EXPECT_TRUE(LoadWholeFile(Whole(), LastSetupPath(), true, current));
  EXPECT_EQ(current, named);

  // A recalled file's own last-name entry is ignored.
  std::string other = "OTHER";
  EXPECT_TRUE(RecallSetup(Whole(), LastSetupPath(), other));
  EXPECT_EQ(other, LastSetupPath());
}

TEST_F(SetupFilesTest, UserWaveFilesAreReadForUserDefinedSlotsOnly) {
  UserWaveTable wave;
  std::strcpy(wave.Name, "STEPS");
  wave.DefaultValue = 100;
  wave.NumWords = 3;
  wave.Samples = {};
  wave.Samples[0] = 1;
  wave.Samples[1] = 2;
  wave.Samples[2] = 3;
  WriteUserWaveFile("STEPS.R4V8SimUserWave", wave);

  sim->Setup.DynamicWords[1].SimDynamicWordWave = kWaveUserDef;
  sim->UserDefDynWordFn[1] = "STEPS.R4V8SimUserWave";
  sim->Setup.DynamicWords[3].SimDynamicWordWave = kWaveUserDef;
  sim->UserDefDynWordFn[3] = "GONE.R4V8SimUserWave";
  sim->UserDefDynWordFn[0] = "IGNORED.R4V8SimUserWave";
  const std::string file = dir.File("W.QM48");
  ASSERT_TRUE(SaveWholeFile(Whole(), file, nullptr));

  auto fresh = std::make_unique<progsimulatorclass>();
  fresh->UserWaves[3].Samples[0] = 4321;  // a missing wave file leaves its table alone
  progtxclass freshTx;
  ASSERT_TRUE(LoadWholeFile(ProgramSetup(*fresh, freshTx), file, false, current));
  EXPECT_EQ(fresh->UserDefDynWordFn[0], "");
  EXPECT_EQ(fresh->UserDefDynWordFn[1], "STEPS.R4V8SimUserWave");
  EXPECT_STREQ(fresh->UserWaves[1].Name, "STEPS");
  EXPECT_EQ(fresh->UserWaves[1].NumWords, 3);
  EXPECT_EQ(fresh->UserWaves[1].Samples[2], 3);
  EXPECT_EQ(fresh->UserWaves[1].Samples[3], 100);
  EXPECT_EQ(fresh->UserWaves[1].Samples[1023], 100);
  EXPECT_EQ(fresh->UserDefDynWordFn[3], "GONE.R4V8SimUserWave");
  EXPECT_EQ(fresh->UserWaves[3].Samples[0], 4321);
}

TEST_F(SetupFilesTest, UserWaveFileReadEdgeCases) {
  std::ofstream("a.R4V8SimUserWave")
      << "[UserDef Wave Info Common Area]\nName=" << std::string(70, 'N')
      << "\nDefaultValue=65636\nNumWords=3\n"
         "[UserDef Wave Info Word Value Area (1 based)]\n1=7\n3=-1\n";
  UserWaveTable wave;
  ASSERT_TRUE(ReadUserWaveFile("a.R4V8SimUserWave", wave));
  EXPECT_EQ(std::string(wave.Name), std::string(64, 'N'));
  EXPECT_EQ(wave.DefaultValue, 100);
  EXPECT_EQ(wave.Samples[0], 7);
  EXPECT_EQ(wave.Samples[1], 100);
  EXPECT_EQ(wave.Samples[2], 0xFFFF);
  EXPECT_EQ(wave.Samples[3], 100);

  std::ofstream("b.R4V8SimUserWave") << "[UserDef Wave Info Common Area]\nNumWords=5000\n";
  ASSERT_TRUE(ReadUserWaveFile("b.R4V8SimUserWave", wave));
  EXPECT_EQ(wave.NumWords, 1024);
  EXPECT_EQ(wave.DefaultValue, 0);
  EXPECT_STREQ(wave.Name, "");
  std::ofstream("c.R4V8SimUserWave") << "[UserDef Wave Info Common Area]\nNumWords=-5\n";
  ASSERT_TRUE(ReadUserWaveFile("c.R4V8SimUserWave", wave));
  EXPECT_EQ(wave.NumWords, 0);
  wave.Samples[0] = 9;
  EXPECT_FALSE(ReadUserWaveFile("none.R4V8SimUserWave", wave));
  EXPECT_FALSE(ReadUserWaveFile(dir.Path(), wave));
  EXPECT_EQ(wave.Samples[0], 9);
}

TEST_F(SetupFilesTest, RandomSetupsSavedAndRecalledBuildTheSameStream) {
  for (uint32_t seed = 100; seed < 115; ++seed) {
    RandomSimSetup(seed).Fill(*sim, gFormatNumber, gFormatName_);
    const std::string file = dir.File("R" + std::to_string(seed) + ".QM48");
    ASSERT_TRUE(SaveWholeFile(Whole(), file, nullptr));
    RuntimeSrand(seed);
    sim->Prep232SimSetupData(SelectedLoadFormat());
    const auto expected = SplitCommands(sim->TxBuffer);

    auto recalled = std::make_unique<progsimulatorclass>();
    progtxclass recalledTx;
    gFormatNumber = 0;
    gFormatName_ = {};
    ASSERT_TRUE(RecallSetup(ProgramSetup(*recalled, recalledTx), file, current));
    RuntimeSrand(seed);
    recalled->Prep232SimSetupData(SelectedLoadFormat());
    EXPECT_EQ(SplitCommands(recalled->TxBuffer), expected) << "seed " << seed;
  }
}

}  // namespace
