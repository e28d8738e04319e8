// The unique word edits: cells read into the record with the shown frame offset, value
// text in decimal or "0x" hex, and the placement rules with their messages and resets.
#include "editor/UniqueWordEdits.h"

#include "editor/PanelEditTestKit.h"

namespace {

using Strings = std::vector<std::string>;

class UniqueWordEditsTest : public PanelEditTest {
 protected:
  UniqueGridCells Cells(bool hex = false) const {
    UniqueGridCells cells;
    for (int i = 0; i < kNumUniqueWords; ++i)
      cells[static_cast<size_t>(i)] = UniqueCellsOf(sim->Setup, i, hex);
    return cells;
  }
  const SimUniqueWord& Slot(int i) const { return sim->Setup.UniqueWords[static_cast<size_t>(i)]; }
  std::string LastMessage() const {
    auto boxes = op.MessageBoxes();
    return boxes.empty() ? "" : boxes.back().text;
  }
};

TEST_F(UniqueWordEditsTest, ShownCellsReadBackUnchangedInBothRadices) {
  EXPECT_EQ(UniqueCellsOf(sim->Setup, 0, true).Value, "0xBEEF");
  EXPECT_EQ(UniqueCellsOf(sim->Setup, 0, false).Value, "48879");
  EXPECT_FALSE(ReadAndCheckUniqueWords(sim->Setup, Cells(true)));
  EXPECT_FALSE(ReadAndCheckUniqueWords(sim->Setup, Cells(false)));
  EXPECT_TRUE(Changed().empty());
  sim->Setup.FirstSubFrameNum = 1;
  Snapshot();
  EXPECT_EQ(UniqueCellsOf(sim->Setup, 0, false).Frame, "1");
  EXPECT_FALSE(ReadAndCheckUniqueWords(sim->Setup, Cells()));
  EXPECT_TRUE(Changed().empty());
}

TEST_F(UniqueWordEditsTest, ValueTextInDecimalOrHex) {
  EXPECT_EQ(UniqueValueFromText("0x00FF"), 255);
  EXPECT_EQ(UniqueValueFromText("255"), 255);
  EXPECT_EQ(UniqueValueFromText("0X00FF"), 0);  // upper-case X reads as decimal
  EXPECT_EQ(UniqueValueFromText("0x"), 0);
  EXPECT_EQ(UniqueValueFromText("12"), 12);
  EXPECT_EQ(UniqueValueFromText("abc"), 0);
  EXPECT_EQ(UniqueGridKey('a'), 'A');
  EXPECT_EQ(UniqueGridKey('x'), 'x');
  EXPECT_EQ(UniqueGridKey('X'), 'X');
}

TEST_F(UniqueWordEditsTest, AnEditChangesOnlyItsCell) {
  UniqueGridCells cells = Cells();
  cells[4].Value = "0x1234";
  cells[4].WordInterval = "32";
  EXPECT_FALSE(ReadAndCheckUniqueWords(sim->Setup, cells));
  EXPECT_EQ(Changed(), (Strings{"UniqueWords[4].SimUniqueWordWordInterval",
                                "UniqueWords[4].SimUniqueWordValue"}));
  LoadIntoUnit();

  sim->Setup.FirstSubFrameNum = 1;
  sim->Setup.SubframeMode = 1;
  sim->Setup.SfIdStartBit = 7;  // counting 1..64 takes seven bits
  Snapshot();
  cells = Cells();
  cells[1].Frame = "3";
  cells[1].FrameInterval = "4";
  EXPECT_FALSE(ReadAndCheckUniqueWords(sim->Setup, cells));
  EXPECT_EQ(Slot(1).SimUniqueWordStartFrame, 2);
  EXPECT_EQ(Changed(), (Strings{"UniqueWords[1].SimUniqueWordStartFrame",
                                "UniqueWords[1].SimUniqueWordStartFrameInterval"}));
  LoadIntoUnit();
}

TEST_F(UniqueWordEditsTest, StartOnTheSyncWordsIsRefusedAndTheSlotSwitchedOff) {
  UniqueGridCells cells = Cells();
  cells[2].Word = "2";
  EXPECT_TRUE(ReadAndCheckUniqueWords(sim->Setup, cells));
  ASSERT_EQ(op.MessageBoxes().size(), 1u);
  EXPECT_EQ(LastMessage(),
            "UNIQUE WORD NUMBER 3  The Unique Word Start Must Be Greater Than 2  (check framesync "
            "pattern length).");
  EXPECT_EQ(op.MessageBoxes()[0].caption, "UNIQUE WORD SETUP ERROR");
  EXPECT_EQ(Slot(2).SimUniqueWordStartWord, -1);
  EXPECT_EQ(Slot(2).SimUniqueWordValue, 0);
  EXPECT_EQ(UniqueCellsOf(sim->Setup, 2, false).Word, "-1");
  LoadIntoUnit();
  // Switched off, it is no longer checked, whatever the other cells hold.
  op.ClearRecords();
  cells = Cells();
  cells[2].WordInterval = "99999";
  EXPECT_FALSE(ReadAndCheckUniqueWords(sim->Setup, cells));
  cells[2].Word = "0";
  EXPECT_FALSE(ReadAndCheckUniqueWords(sim->Setup, cells));
  EXPECT_TRUE(op.MessageBoxes().empty());

  sim->Setup.PatternLeads = 0;
  cells = Cells();
  cells[0].Word = "255";
  EXPECT_TRUE(ReadAndCheckUniqueWords(sim->Setup, cells));
  EXPECT_EQ(LastMessage(),
            "UNIQUE WORD NUMBER 1  The Unique Word Start Must Be Less Than 255  (check framesync "
            "pattern length).");
}

TEST_F(UniqueWordEditsTest, IntervalsAndTheSubframeIdWord) {
  UniqueGridCells cells = Cells();
  cells[0].WordInterval = "257";
  EXPECT_TRUE(ReadAndCheckUniqueWords(sim->Setup, cells));
  EXPECT_EQ(LastMessage(),
            "UNIQUE WORD NUMBER 1  The Unique Word Interval Must Be Less Than 256  (check words "
            "per minor frame).");

  // Without a subframe mode the frame rules and the SFID word are not checked.
  cells = Cells();
  cells[1].Word = "3";
  cells[1].FrameInterval = "65";
  op.ClearRecords();
  EXPECT_FALSE(ReadAndCheckUniqueWords(sim->Setup, cells));

  sim->Setup.SubframeMode = 1;
  EXPECT_TRUE(ReadAndCheckUniqueWords(sim->Setup, cells));
  EXPECT_EQ(LastMessage(),
            "UNIQUE WORD NUMBER 2  The Unique Word Start CANNOT Be (cause of sfid) 3");
  cells = Cells();
  cells[3].FrameInterval = "65";
  EXPECT_TRUE(ReadAndCheckUniqueWords(sim->Setup, cells));
  EXPECT_EQ(LastMessage(),
            "UNIQUE WORD NUMBER 4  The Unique Word Frame Interval Must Be Less Than 64");

  sim->Setup.FirstSubFrameNum = 1;
  sim->Setup.SfIdStartBit = 7;
  cells = Cells();
  cells[5].Frame = "0";
  EXPECT_TRUE(ReadAndCheckUniqueWords(sim->Setup, cells));
  EXPECT_EQ(LastMessage(),
            "UNIQUE WORD NUMBER 6  The Unique Word Start Frame Must Be Greater Than or Equal To1");
  EXPECT_EQ(op.MessageBoxes().size(), 3u);
  LoadIntoUnit();
}

}  // namespace
