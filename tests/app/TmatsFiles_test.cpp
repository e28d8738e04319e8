// The File menu's TMATS entries through a scripted operator: the export writes the file
// chosen (with the queried filter corner), the import asks which link of several, and a
// link the unit cannot send is refused with its attribute and leaves the setup alone.
#include "app/TmatsFiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>

#include "common/ScriptedOperator.h"
#include "simulator/Qm48SimulatorUnit.h"
#include "support/TempDir.h"
#include "transmitter/Qm48TransmitterUnit.h"

namespace {

class TmatsFiles : public ::testing::Test {
 protected:
  ScriptedOperator op;
  ScopedOperator scope{op};
  TempDir dir;
  std::unique_ptr<progsimulatorclass> sim = std::make_unique<progsimulatorclass>();
  progtxclass tx;
};

TEST_F(TmatsFiles, ExportWritesTheChosenFileWithTheTransmitter) {
  tx.Setup.FreqMhz = 2250.5;
  tx.Setup.FmDeviation = 358;
  tx.Setup.PreModFilterSelected = 2;
  op.QueueChosenFile(dir.File("range.tmt"));
  ASSERT_TRUE(ExportTmatsChosen(*sim, tx, {100, 300, 600, 1000}, "/x/flight7.QM48"));
  const std::string text = ReadAll(dir.File("range.tmt"));
  for (const char* line :
       {"G\\PN:flight7;", "T-1\\RF1:2250.5;", "T-1\\RF5:716;", "T-1\\PMF1:600;", "P-1\\MF1:255;"})
    EXPECT_NE(text.find(line), std::string::npos) << line;
  EXPECT_EQ(op.FileChoosers().at(0).suggestedName, "flight7");
  EXPECT_FALSE(std::filesystem::exists(dir.File("range.tmt.part")));

  op.QueueChooserCancel();
  EXPECT_FALSE(ExportTmatsChosen(*sim, tx, {}, ""));
  EXPECT_TRUE(op.MessageBoxes().empty());
}

TEST_F(TmatsFiles, ImportAsksForTheLinkAndRefusesWhatTheUnitCannotSend) {
  op.QueueChosenFile(dir.File("a.tmt"));
  ASSERT_TRUE(ExportTmatsChosen(*sim, tx, {}, "a"));
  const std::string one = ReadAll(dir.File("a.tmt"));
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
