// The user wave editor: grid texts and read-back, menu edits, files saved, recalled, refused.
#include "simulator/UserWaveEdits.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>

#include "common/ScriptedOperator.h"
#include "platform/StartDirectory.h"
#include "simulator/UserWaveFiles.h"
#include "support/ProfileStore.h"
#include "support/Signals.h"
#include "support/TempDir.h"

namespace {

class UserWaveEditsTest : public ::testing::Test {
 protected:
  UserWaveEditsTest() {
    dir.Enter();
    RecordStartDirectory(true);
    table.NumWords = 3;
    table.Samples = {255, 1, 2};
    table.DefaultValue = 100;
    std::strcpy(table.Name, "SINE1");
    before = table;
  }
  bool Unchanged() const {
    return table.NumWords == before.NumWords && table.Samples == before.Samples &&
           table.DefaultValue == before.DefaultValue && std::string(table.Name) == before.Name;
  }
  std::string Wave(const std::string& name) const { return dir.File(name + ".R4V8SimUserWave"); }
  int Played(const std::vector<Tone>& tones) const { return op.CountPlayed(tones); }

  TempDir dir;
  ScriptedOperator op;
  ScopedOperator scoped{op};
  UserWaveTable table, before;
};

TEST_F(UserWaveEditsTest, GridAndMenuEdits) {
  userwaveeditclass e(table, "", 64);
  EXPECT_EQ(e.RowCount() * 100 + userwaveeditclass(table, "", 65).RowCount() * 10 +
                userwaveeditclass(table, "", 0).RowCount(),
            451);
  EXPECT_EQ(e.RowLabel(1) + " " + e.CellText(0, true) + " " + e.CellText(0, false) + " " +
                e.CellText(3, false),  // beyond NumWords: the default
            "17 - 33 00FF 255 100");
  EXPECT_EQ(userwaveeditclass(table, "", 5000).CellCount(), 1024);
  EXPECT_EQ(e.DefaultValueText(true) + " " + e.LabelText(), "0064 SINE1");
  UserWaveTable empty;
  EXPECT_EQ(userwaveeditclass(empty, "", 4).LabelText(), "Not Assigned");
  for (int i = 0; i < 3; ++i) op.QueueInputCancel();
  EXPECT_FALSE(e.EditLabel() || e.EditDefaultValue(true) || e.EditNumWords());
  EXPECT_TRUE(Unchanged());
  EXPECT_TRUE(e.ReadCell(0, "255", false) && e.ReadCell(5, "7", false));  // no change: no edit
  EXPECT_EQ(e.Title(), "UserDef Wave Editor : ");

  EXPECT_TRUE(e.ReadCell(1, "1A", true) && e.ReadCell(10, "70000", false));
  EXPECT_EQ(std::pair(int(table.Samples[1]), int(table.Samples[10])),
            std::pair(0x1A, 70000 & 0xFFFF));
  EXPECT_EQ(e.Title(), "*UserDef Wave Editor : ");
  EXPECT_FALSE(e.ReadCell(2, "zz", false) || e.ReadCell(2, "12q", true) ||
               e.ReadCell(64, "1", false));
  EXPECT_EQ(table.Samples[2], 2);
  op.QueueInput(std::string(70, 'L'));
  op.QueueInput("FFFF");
  EXPECT_TRUE(e.EditLabel() && e.EditDefaultValue(true));
  EXPECT_EQ(std::string(table.Name), std::string(64, 'L'));
  EXPECT_EQ(table.DefaultValue, 0xFFFF);
  for (auto [typed, words, edited] :
       {std::tuple{"100", 64, true}, {"0", 1, true}, {"x1", 1, false}}) {
    op.QueueInput(typed);
    EXPECT_EQ(e.EditNumWords(), edited);
    EXPECT_EQ(table.NumWords, words);  // within 1..the minor frames
  }
  EXPECT_EQ(Played(WarningTones()) * 10 + Played(ErrorTones()), 23);
  EXPECT_EQ(e.Cancel(), "");
  EXPECT_TRUE(Unchanged());
}

TEST_F(UserWaveEditsTest, SaveAsRecallAndSaveAgain) {
  userwaveeditclass e(table, "", 64);
  op.QueueInput("WAVE A");
  e.EditLabel();
  op.QueueChosenFile(Wave("WAVEA"));
  e.Save();  // no name yet: Save As
  EXPECT_EQ(op.FileChoosers().at(0).defaultExtension, "R4V8SimUserWave");
  EXPECT_EQ(e.FileName(), Wave("WAVEA"));
  EXPECT_FALSE(e.Edited());
  UserWaveTable other;
  userwaveeditclass r(other, "", 64);
  op.QueueChosenFile(Wave("WAVEA"));
  r.Recall();
  EXPECT_EQ(r.FileName(), Wave("WAVEA"));
  EXPECT_EQ(std::string(other.Name) + " " + std::to_string(other.NumWords), "WAVE A 3");
  EXPECT_EQ(other.Samples[0] * 1000 + other.Samples[5], 255100);  // the default after the wave
  EXPECT_EQ(r.Cancel(), "");  // the table and name the editor opened with
  EXPECT_EQ(other.NumWords, 0);
  table.Samples[1] = 4242;  // Save with a name writes there without asking
  op.ClearRecords();
  e.Save();
  EXPECT_TRUE(op.FileChoosers().empty());
  ASSERT_TRUE(ReadUserWaveFile(Wave("WAVEA"), other));
  EXPECT_EQ(other.Samples[1], 4242);
  // Samples a file leaves out take the default value; more words than a wave holds are cut.
  std::ofstream(Wave("GAP"))
      << "[UserDef Wave Info Common Area]\r\nNumWords=5000\r\nDefaultValue=100\r\n"
         "[UserDef Wave Info Word Value Area (1 based)]\r\n1=7\r\n3=9\r\n";
  std::string message;
  ASSERT_TRUE(LoadUserWaveFile(Wave("GAP"), other, message)) << message;
  EXPECT_EQ(std::vector<int>(other.Samples.begin(), other.Samples.begin() + 4),
            (std::vector<int>{7, 100, 9, 100}));
  EXPECT_EQ(other.NumWords, 1024);
}

TEST_F(UserWaveEditsTest, BadWaveFilesAreRefusedAndChangeNothing) {
  const std::pair<const char*, std::string> files[] = {
      {"NOCOUNT", "[UserDef Wave Info Common Area]\r\nName=X\r\n"},
      {"BADCOUNT", "[UserDef Wave Info Common Area]\r\nNumWords=lots\r\n"},
      {"BADSAMPLE",
       "[UserDef Wave Info Common Area]\r\nNumWords=2\r\n"
       "[UserDef Wave Info Word Value Area (1 based)]\r\n1=5\r\n2=70000\r\n"},
      {"BADDEFAULT", "[UserDef Wave Info Common Area]\r\nNumWords=2\r\nDefaultValue=-3\r\n"},
      {"GARBAGE", std::string("\x01\x02\xff binary", 10)},
      {"MISSING", ""},
  };
  for (const auto& [name, text] : files) {
    if (!text.empty()) std::ofstream(Wave(name)) << text;
    userwaveeditclass e(table, "KEEP", 64);
    op.ClearRecords();
    op.QueueChosenFile(Wave(name));
    e.Recall();
    ASSERT_EQ(op.MessageBoxes().size(), 1u) << name;
    EXPECT_NE(op.MessageBoxes()[0].text.find(name), std::string::npos) << op.MessageBoxes()[0].text;
    EXPECT_EQ(Played(ErrorTones()), 1);
    EXPECT_EQ(e.FileName(), "KEEP");
    EXPECT_TRUE(Unchanged()) << name;
  }
}

TEST_F(UserWaveEditsTest, AcceptAsksToSaveAnEditedWave) {
  userwaveeditclass e(table, "OLD", 64);
  e.ReadCell(2, "9", false);  // a grid edit marks the wave edited too
  op.QueueAnswer(MsgAnswer::No);
  EXPECT_EQ(e.Accept(), "OLD");
  EXPECT_EQ(op.MessageBoxes().at(0).text, "Setup Edited Without Saving.  Save First?");
  op.QueueAnswer(MsgAnswer::Yes);
  op.QueueChosenFile(Wave("NEW"));
  EXPECT_EQ(e.Accept(), Wave("NEW"));
  EXPECT_TRUE(PathExists(Wave("NEW")));
  // A failed write is told and keeps the edited mark.
  userwaveeditclass lost(table, dir.File("nodir/W.R4V8SimUserWave"), 64);
  lost.ReadCell(2, "10", false);
  op.ClearRecords();
  lost.Save();
  EXPECT_TRUE(lost.Edited());
  EXPECT_NE(op.MessageBoxes().at(0).text.find("could not be written"), std::string::npos);
}

}  // namespace
