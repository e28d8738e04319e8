// The user wave editor's logic: grid texts, read-back, the three menu edits with Cancel,
// Save / Save As / Recall through the profile store, and refused wave files.
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

bool SameTable(const UserWaveTable& a, const UserWaveTable& b) {
  return a.NumWords == b.NumWords && a.Samples == b.Samples && a.DefaultValue == b.DefaultValue &&
         std::string(a.Name) == std::string(b.Name);
}

class UserWaveEditsTest : public ::testing::Test {
 protected:
  UserWaveEditsTest() {
    dir.Enter();
    RecordStartDirectory(true);
    table.NumWords = 3;
    table.Samples[0] = 255;
    table.Samples[1] = 1;
    table.Samples[2] = 2;
    table.DefaultValue = 100;
    std::strcpy(table.Name, "SINE1");
  }
  void WriteText(const std::string& name, const std::string& text) {
    std::ofstream(dir.File(name)) << text;
  }
  int Signals(const std::vector<Tone>& tones) const { return op.CountPlayed(tones); }

  TempDir dir;
  ScriptedOperator op;
  ScopedOperator scoped{op};
  UserWaveTable table;
};

TEST_F(UserWaveEditsTest, GridRowsLabelsAndCells) {
  userwaveeditclass e64(table, "", 64);
  EXPECT_EQ(e64.RowCount(), 4);
  EXPECT_EQ(e64.RowLabel(0), "1 - 17");
  EXPECT_EQ(e64.RowLabel(1), "17 - 33");
  EXPECT_EQ(userwaveeditclass(table, "", 65).RowCount(), 5);
  EXPECT_EQ(userwaveeditclass(table, "", 0).RowCount(), 1);
  EXPECT_EQ(userwaveeditclass(table, "", 5000).CellCount(), 1024);
  EXPECT_EQ(e64.CellText(0, true), "00FF");
  EXPECT_EQ(e64.CellText(0, false), "255");
  EXPECT_EQ(e64.CellText(3, false), "100");  // beyond NumWords: the default
  EXPECT_EQ(e64.DefaultValueText(true), "0064");
  EXPECT_EQ(e64.Title(), "UserDef Wave Editor : ");
  EXPECT_EQ(userwaveeditclass(table, "/x/RAMP.R4V8SimUserWave", 4).Title(),
            "UserDef Wave Editor : RAMP");
  UserWaveTable empty;
  EXPECT_EQ(userwaveeditclass(empty, "", 4).LabelText(), "Not Assigned");
}

TEST_F(UserWaveEditsTest, CellReadBackTakesNumbersAndRefusesTheRest) {
  userwaveeditclass e(table, "", 64);
  EXPECT_TRUE(e.ReadCell(0, "255", false));  // the value it has: no edit
  EXPECT_TRUE(e.ReadCell(5, "7", false));    // past the wave's three words: no edit
  EXPECT_FALSE(e.Edited());
  EXPECT_TRUE(e.ReadCell(1, "1A", true));
  EXPECT_TRUE(e.Edited());  // a changed sample marks the wave
  EXPECT_EQ(table.Samples[1], 0x1A);
  EXPECT_TRUE(e.ReadCell(10, "70000", false));
  EXPECT_EQ(table.Samples[10], 70000 & 0xFFFF);
  EXPECT_FALSE(e.ReadCell(2, "zz", false));
  EXPECT_FALSE(e.ReadCell(2, "12q", true));
  EXPECT_EQ(table.Samples[2], 2);
  EXPECT_EQ(Signals(ErrorTones()), 2);
  EXPECT_FALSE(e.ReadCell(64, "1", false));  // no such cell
}

TEST_F(UserWaveEditsTest, MenuEditsAndTheirCancels) {
  userwaveeditclass e(table, "", 64);
  const UserWaveTable before = table;
  op.QueueInputCancel();
  op.QueueInputCancel();
  op.QueueInputCancel();
  EXPECT_FALSE(e.EditLabel());
  EXPECT_FALSE(e.EditDefaultValue(true));
  EXPECT_FALSE(e.EditNumWords());
  EXPECT_TRUE(SameTable(before, table));
  EXPECT_FALSE(e.Edited());
  auto boxes = op.InputBoxes();
  EXPECT_EQ(boxes[0].title, "Input Name");
  EXPECT_EQ(boxes[0].prompt, "Enter the Label to use for the Wave Shape");
  EXPECT_EQ(boxes[1].title, "Input Range 0x00000000 - 0x0000FFFF");
  EXPECT_EQ(boxes[1].prompt, "Enter the Default Wave Word Value");
  EXPECT_EQ(boxes[1].initialText, "64");
  EXPECT_EQ(boxes[2].title, "Input Range 1 - 64");
  EXPECT_EQ(boxes[2].prompt, "Enter the Number of non-default Wave Words to use");

  op.QueueInput(std::string(70, 'L'));
  EXPECT_TRUE(e.EditLabel());
  EXPECT_EQ(std::string(table.Name), std::string(64, 'L'));
  EXPECT_EQ(e.Title(), "*UserDef Wave Editor : ");
  op.QueueInput("FFFF");
  EXPECT_TRUE(e.EditDefaultValue(true));
  EXPECT_EQ(table.DefaultValue, 0xFFFF);
  op.QueueInput("100");
  EXPECT_TRUE(e.EditNumWords());
  EXPECT_EQ(table.NumWords, 64);
  EXPECT_EQ(Signals(WarningTones()), 1);
  op.QueueInput("0");
  EXPECT_TRUE(e.EditNumWords());
  EXPECT_EQ(table.NumWords, 1);  // a wave keeps at least one sample
  op.QueueInput("x1");
  EXPECT_FALSE(e.EditNumWords());
  EXPECT_EQ(Signals(ErrorTones()), 1);
  EXPECT_EQ(table.NumWords, 1);

  EXPECT_EQ(e.Cancel(), "");
  EXPECT_TRUE(SameTable(before, table));
}

TEST_F(UserWaveEditsTest, SaveAsThenRecallRoundTrips) {
  userwaveeditclass e(table, "", 64);
  op.QueueInput("WAVE A");
  e.EditLabel();
  const std::string path = dir.File("WAVEA.R4V8SimUserWave");
  op.QueueChosenFile(path);
  e.Save();  // no name yet: Save As
  ASSERT_EQ(op.FileChoosers().size(), 1u);
  EXPECT_EQ(op.FileChoosers()[0].defaultExtension, "R4V8SimUserWave");
  EXPECT_EQ(e.FileName(), path);
  EXPECT_FALSE(e.Edited());

  UserWaveTable other;
  userwaveeditclass r(other, "", 64);
  op.QueueChosenFile(path);
  r.Recall();
  EXPECT_EQ(r.FileName(), path);
  EXPECT_EQ(std::string(other.Name), "WAVE A");
  EXPECT_EQ(other.NumWords, 3);
  EXPECT_EQ(other.Samples[0], 255);
  EXPECT_EQ(other.Samples[5], 100);
  // Cancel after a Recall: the table and the name the editor opened with.
  EXPECT_EQ(r.Cancel(), "");
  EXPECT_EQ(other.NumWords, 0);
  EXPECT_EQ(other.Name[0], '\0');

  // Save with a name writes there without asking.
  table.Samples[1] = 4242;
  op.ClearRecords();
  e.Save();
  EXPECT_TRUE(op.FileChoosers().empty());
  UserWaveTable again;
  ASSERT_TRUE(ReadUserWaveFile(path, again));
  EXPECT_EQ(again.Samples[1], 4242);
}

TEST_F(UserWaveEditsTest, BadWaveFilesAreRefusedAndChangeNothing) {
  WriteText("NOCOUNT.R4V8SimUserWave", "[UserDef Wave Info Common Area]\r\nName=X\r\n");
  WriteText("BADCOUNT.R4V8SimUserWave", "[UserDef Wave Info Common Area]\r\nNumWords=lots\r\n");
  WriteText("BADSAMPLE.R4V8SimUserWave",
            "[UserDef Wave Info Common Area]\r\nNumWords=2\r\n"
            "[UserDef Wave Info Word Value Area (1 based)]\r\n1=5\r\n2=70000\r\n");
  WriteText("BADDEFAULT.R4V8SimUserWave",
            "[UserDef Wave Info Common Area]\r\nNumWords=2\r\nDefaultValue=-3\r\n");
  WriteText("GARBAGE.R4V8SimUserWave", std::string("\x01\x02\xff binary", 10));
  const UserWaveTable before = table;
  for (const char* name :
       {"NOCOUNT", "BADCOUNT", "BADSAMPLE", "BADDEFAULT", "GARBAGE", "MISSING"}) {
    userwaveeditclass e(table, "KEEP", 64);
    op.ClearRecords();
    op.QueueChosenFile(dir.File(std::string(name) + ".R4V8SimUserWave"));
    e.Recall();
    ASSERT_EQ(op.MessageBoxes().size(), 1u) << name;
    EXPECT_NE(op.MessageBoxes()[0].text.find(name), std::string::npos) << op.MessageBoxes()[0].text;
    EXPECT_EQ(Signals(ErrorTones()), 1);
    EXPECT_EQ(e.FileName(), "KEEP");
    EXPECT_TRUE(SameTable(before, table)) << name;
  }
}

TEST_F(UserWaveEditsTest, FileEdgeCasesOfTheReader) {
  WriteText("GAP.R4V8SimUserWave",
            "[UserDef Wave Info Common Area]\r\nNumWords=3\r\nDefaultValue=100\r\n"
            "[UserDef Wave Info Word Value Area (1 based)]\r\n1=7\r\n3=9\r\n");
  WriteText("BIG.R4V8SimUserWave", "[UserDef Wave Info Common Area]\r\nNumWords=5000\r\n");
  std::string message;
  UserWaveTable t;
  ASSERT_TRUE(LoadUserWaveFile(dir.File("GAP.R4V8SimUserWave"), t, message)) << message;
  EXPECT_EQ(t.Samples[0], 7);
  EXPECT_EQ(t.Samples[1], 100);
  EXPECT_EQ(t.Samples[2], 9);
  EXPECT_EQ(t.Samples[1023], 100);
  ASSERT_TRUE(LoadUserWaveFile(dir.File("BIG.R4V8SimUserWave"), t, message)) << message;
  EXPECT_EQ(t.NumWords, 1024);
}

TEST_F(UserWaveEditsTest, AcceptAsksToSaveAnEditedWave) {
  userwaveeditclass e(table, "OLD", 64);
  op.QueueInput("NEW NAME");
  e.EditLabel();
  op.QueueAnswer(MsgAnswer::No);
  EXPECT_EQ(e.Accept(), "OLD");
  ASSERT_EQ(op.MessageBoxes().size(), 1u);
  EXPECT_EQ(op.MessageBoxes()[0].text, "Setup Edited Without Saving.  Save First?");
  EXPECT_EQ(op.MessageBoxes()[0].caption, "SAVE");
  EXPECT_EQ(op.MessageBoxes()[0].buttons, MsgButtons::YesNoCancel);

  op.QueueAnswer(MsgAnswer::Yes);
  op.QueueChosenFile(dir.File("NEW.R4V8SimUserWave"));
  EXPECT_EQ(e.Accept(), dir.File("NEW.R4V8SimUserWave"));
  EXPECT_TRUE(PathExists(dir.File("NEW.R4V8SimUserWave")));

  // A grid edit alone asks the same question.
  userwaveeditclass grid(table, "OLD", 64);
  grid.ReadCell(2, "9", false);
  EXPECT_EQ(grid.Title(), "*UserDef Wave Editor : OLD");
  op.QueueAnswer(MsgAnswer::No);
  grid.Accept();
  EXPECT_EQ(op.MessageBoxes().size(), 3u);
}

TEST_F(UserWaveEditsTest, AFailedWriteIsToldAndKeepsTheEditedMark) {
  userwaveeditclass e(table, dir.File("nodir/W.R4V8SimUserWave"), 64);
  op.QueueInput("N");
  e.EditLabel();
  e.Save();
  EXPECT_TRUE(e.Edited());
  ASSERT_EQ(op.MessageBoxes().size(), 1u);
  EXPECT_NE(op.MessageBoxes()[0].text.find("could not be written"), std::string::npos);
}

}  // namespace
