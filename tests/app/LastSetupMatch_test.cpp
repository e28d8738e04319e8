#include "app/LastSetupMatch.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>

#include "app/Qm48GlobUnit.h"
#include "app/SetupFiles.h"
#include "simulator/Qm48SimulatorUnit.h"
#include "support/ProfileStore.h"
#include "support/TempDir.h"
#include "transmitter/Qm48TransmitterUnit.h"

namespace {

void Touch(const std::string& path) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  std::ofstream(path) << "x";
}

TEST(LastSetupMatch, ExistingNameIsKeptAsItStands) {
  TempDir dir;
  Touch(dir.File("Setups/Flight.qm48"));
  EXPECT_EQ(MatchLastSetupName(dir.File("Setups/Flight.qm48"), "/"),
            dir.File("Setups/Flight.qm48"));
  EXPECT_EQ(MatchLastSetupName("Setups/Flight.qm48", dir.Path()), "Setups/Flight.qm48");
  EXPECT_EQ(MatchLastSetupName("", dir.Path()), "");
}

TEST(LastSetupMatch, UpperCasedNameIsMatchedFolderByFolder) {
  TempDir dir;
  Touch(dir.File("Setups/Flight.qm48"));
  EXPECT_EQ(MatchLastSetupName(dir.File("SETUPS/FLIGHT.QM48"), "/"),
            dir.File("Setups/Flight.qm48"));
  EXPECT_EQ(MatchLastSetupName("SETUPS/FLIGHT.QM48", dir.Path()), "Setups/Flight.qm48");
  EXPECT_EQ(MatchLastSetupName("./SETUPS//FLIGHT.QM48", dir.Path()), "./Setups/Flight.qm48");
}

TEST(LastSetupMatch, MissingAmbiguousOrFolderNamesAreForgotten) {
  TempDir dir;
  Touch(dir.File("a.qm48"));
  Touch(dir.File("A.QM48x"));
  Touch(dir.File("twin.qm48"));
  Touch(dir.File("Twin.qm48"));
  std::filesystem::create_directories(dir.File("folder"));
  EXPECT_EQ(MatchLastSetupName(dir.File("GONE.QM48"), "/"), "");
  EXPECT_EQ(MatchLastSetupName(dir.File("TWIN.QM48"), "/"), "");  // two candidates
  EXPECT_EQ(MatchLastSetupName(dir.File("twin.qm48"), "/"), dir.File("twin.qm48"));
  EXPECT_EQ(MatchLastSetupName(dir.File("FOLDER"), "/"), "");
  EXPECT_EQ(MatchLastSetupName(dir.File("NOWHERE/A.QM48"), "/"), "");
  EXPECT_EQ(MatchLastSetupName("C:\\SETUPS\\A.QM48", dir.Path()), "");
}

class RecallLastSetupTest : public ::testing::Test {
 protected:
  RecallLastSetupTest() : sim(std::make_unique<progsimulatorclass>()) {
    dir.Enter();
    gFormatNumber = 0;
    gFormatName_ = {};
    gSetupEdited = false;
  }
  WholeSetup Whole() { return ProgramSetup(*sim, tx); }

  TempDir dir;
  std::unique_ptr<progsimulatorclass> sim;
  progtxclass tx;
};

TEST_F(RecallLastSetupTest, OldUpperCaseFileNameFindsTheFileAndTheSetupLoads) {
  Touch(dir.File("Flight.qm48"));
  gFormatName_[1] = "KEPT";
  std::string upper = dir.Path() + "/FLIGHT.QM48";
  ASSERT_TRUE(SaveWholeFile(Whole(), dir.File("LastQm48.Cfg"), &upper));
  gFormatName_[1] = "";
  std::string current;
  ASSERT_TRUE(RecallLastSetup(Whole(), dir.File("LastQm48.Cfg"), current));
  EXPECT_EQ(current, dir.File("Flight.qm48"));
  EXPECT_EQ(gFormatName_[1], "KEPT");
  EXPECT_FALSE(gSetupEdited);
}

TEST_F(RecallLastSetupTest, VanishedFileIsForgottenButTheSetupStillLoads) {
  gFormatName_[2] = "STORED";
  std::string gone = dir.File("GONE.QM48");
  ASSERT_TRUE(SaveWholeFile(Whole(), dir.File("LastQm48.Cfg"), &gone));
  gFormatName_[2] = "";
  std::string current = "before";
  ASSERT_TRUE(RecallLastSetup(Whole(), dir.File("LastQm48.Cfg"), current));
  EXPECT_EQ(current, "");
  EXPECT_EQ(gFormatName_[2], "STORED");
}

TEST_F(RecallLastSetupTest, MissingOrBrokenFileChangesNothingButTheEditedFlag) {
  std::string current = "kept";
  EXPECT_FALSE(RecallLastSetup(Whole(), dir.File("LastQm48.Cfg"), current));
  EXPECT_EQ(current, "kept");
  EXPECT_FALSE(gSetupEdited);

  gFormatName_[0] = "LIVE";
  std::ofstream(dir.File("LastQm48.Cfg")) << "[LAST SETUP FILENAME]\r\nFileName=x\r\n";
  EXPECT_FALSE(RecallLastSetup(Whole(), dir.File("LastQm48.Cfg"), current));
  EXPECT_EQ(current, "kept");
  EXPECT_EQ(gFormatName_[0], "LIVE");
  EXPECT_TRUE(gSetupEdited);
}

}  // namespace
