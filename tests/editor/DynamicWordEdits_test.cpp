// The dynamic word edits: typed numbers within their ranges, the placement rules with
// their messages and slot resets, and the wave choice with the user wave editor.
#include "editor/DynamicWordEdits.h"

#include "editor/PanelEditTestKit.h"

namespace {

using Strings = std::vector<std::string>;

class DynamicWordEditsTest : public PanelEditTest {
 protected:
  // The grid as it shows the record now, with slot's cells replaced.
  DynamicGridCells Cells(int slot = -1, std::string start = "", std::string interval = "") {
    DynamicGridCells cells;
    for (int i = 0; i < kNumDynamicWords; ++i) {
      const SimDynamicWord& w = sim->Setup.DynamicWords[static_cast<size_t>(i)];
      cells[static_cast<size_t>(i)] = {std::to_string(w.SimDynamicWordNumber),
                                       std::to_string(w.SimDynamicWordInterval)};
    }
    if (slot >= 0) cells[static_cast<size_t>(slot)] = {std::move(start), std::move(interval)};
    return cells;
  }
  const SimDynamicWord& Slot(int i) const {
    return sim->Setup.DynamicWords[static_cast<size_t>(i)];
  }
  std::string LastMessage() const {
    auto boxes = op.MessageBoxes();
    return boxes.empty() ? "" : boxes.back().text;
  }
};

TEST_F(DynamicWordEditsTest, TypedNumbersChangeOnlyTheirSlotWithinRange) {
  EXPECT_FALSE(ReadAndCheckDynamicWords(sim->Setup, Cells(2, "100", "16")));
  EXPECT_EQ(Changed(), (Strings{"DynamicWords[2].SimDynamicWordNumber",
                                "DynamicWords[2].SimDynamicWordInterval"}));
  LoadIntoUnit();

  // Empty or zero start reads as 1 (slot 0 made "NOTHING" so 1 is not on the sync words).
  sim->Setup.DynamicWords[0].SimDynamicWordWave = kWaveNothing;
  ReadAndCheckDynamicWords(sim->Setup, Cells(0, "", "9999"));
  EXPECT_EQ(Slot(0).SimDynamicWordNumber, 1);
  EXPECT_EQ(Slot(0).SimDynamicWordInterval, 256);
  ReadAndCheckDynamicWords(sim->Setup, Cells(0, "0", "-5"));
  EXPECT_EQ(Slot(0).SimDynamicWordNumber, 1);
  EXPECT_EQ(Slot(0).SimDynamicWordInterval, 0);
  ReadAndCheckDynamicWords(sim->Setup, Cells(0, "70000", "12abc"));
  EXPECT_EQ(Slot(0).SimDynamicWordNumber, 256);
  EXPECT_EQ(Slot(0).SimDynamicWordInterval, 12);
  EXPECT_TRUE(op.MessageBoxes().empty());
}

TEST_F(DynamicWordEditsTest, StartOnTheLeadingSyncWordsIsRefusedAndTheSlotReset) {
  EXPECT_TRUE(ReadAndCheckDynamicWords(sim->Setup, Cells(0, "2", "3")));
  ASSERT_EQ(op.MessageBoxes().size(), 1u);
  EXPECT_EQ(LastMessage(),
            "The Wave Word Start Must Be Greater Than 2  (check framesync pattern length).");
  EXPECT_EQ(op.MessageBoxes()[0].caption, "DYNAMIC WORD SETUP ERROR");
  EXPECT_EQ(Slot(0).SimDynamicWordWave, kWaveNothing);
  EXPECT_EQ(Slot(0).SimDynamicWordInterval, 0);
  EXPECT_EQ(Slot(0).SimDynamicWordNumber, 1);
  LoadIntoUnit();

  // A 24-bit pattern still takes two 16-bit words.
  sim->Setup.FrameSyncLength = 24;
  std::strcpy(sim->Setup.FrameSyncPattern, "FAF320");
  EXPECT_TRUE(ReadAndCheckDynamicWords(sim->Setup, Cells(1, "2", "0")));
  EXPECT_EQ(Slot(1).SimDynamicWordWave, kWaveNothing);
}

TEST_F(DynamicWordEditsTest, StartOnTheTrailingSyncWordsIsRefused) {
  sim->Setup.PatternLeads = 0;
  sim->Setup.SfIdWordNum = 100;
  Snapshot();
  EXPECT_FALSE(ReadAndCheckDynamicWords(sim->Setup, Cells(0, "254", "0")));
  EXPECT_EQ(Changed(), Strings{"DynamicWords[0].SimDynamicWordNumber"});
  EXPECT_TRUE(ReadAndCheckDynamicWords(sim->Setup, Cells(0, "255", "0")));
  EXPECT_EQ(LastMessage(),
            "The Wave Word Start Must Be Less Than 255  (check framesync pattern length).");
  LoadIntoUnit();
}

TEST_F(DynamicWordEditsTest, TheSubframeIdWordIsRefusedOnlyWithASubframeMode) {
  sim->Setup.SubframeMode = 1;
  EXPECT_TRUE(ReadAndCheckDynamicWords(sim->Setup, Cells(3, "3", "0")));
  EXPECT_EQ(LastMessage(), "The Wave Word Start CANNOT Be (cause of sfid) 3");
  EXPECT_EQ(Slot(3).SimDynamicWordWave, kWaveNothing);

  sim->Setup.SubframeMode = 0;
  sim->Setup.DynamicWords[3].SimDynamicWordWave = kWaveSine;
  op.ClearRecords();
  EXPECT_FALSE(ReadAndCheckDynamicWords(sim->Setup, Cells(3, "3", "0")));
  EXPECT_EQ(Slot(3).SimDynamicWordNumber, 3);
  EXPECT_TRUE(op.MessageBoxes().empty());
}

TEST_F(DynamicWordEditsTest, EveryBrokenSlotGetsItsOwnMessage) {
  DynamicGridCells cells = Cells();
  cells[0].Start = "1";
  cells[4].Start = "2";
  EXPECT_TRUE(ReadAndCheckDynamicWords(sim->Setup, cells));
  EXPECT_EQ(op.MessageBoxes().size(), 2u);
  // A "NOTHING" slot is never checked.
  op.ClearRecords();
  EXPECT_FALSE(ReadAndCheckDynamicWords(sim->Setup, cells));
  EXPECT_TRUE(op.MessageBoxes().empty());
}

TEST_F(DynamicWordEditsTest, ANewWaveSizesTheUserWaveToTheMinorFrames) {
  EXPECT_TRUE(ChooseDynamicWave(*sim, 0, kWaveSquare, nullptr));
  EXPECT_EQ(sim->UserWaves[0].NumWords, 64);
  EXPECT_EQ(Changed(), (Strings{"DynamicWords[0].SimDynamicWordWave", "UserWaves[0]"}));
  LoadIntoUnit();

  Snapshot();
  EXPECT_FALSE(ChooseDynamicWave(*sim, 0, kWaveSquare, nullptr));
  EXPECT_FALSE(ChooseDynamicWave(*sim, 5, kWaveSine, nullptr));
  EXPECT_FALSE(ChooseDynamicWave(*sim, 0, 9, nullptr));
  EXPECT_TRUE(Changed().empty());

  // More minor frames than a user wave holds: the table's size.
  sim->Setup.NumSubframes = 5000;
  EXPECT_TRUE(ChooseDynamicWave(*sim, 1, kWaveRandom, nullptr));
  EXPECT_EQ(sim->UserWaves[1].NumWords, 1024);
}

TEST_F(DynamicWordEditsTest, UserDefOpensTheEditorAndItsCancelTakesTheChoiceBack) {
  int calls = 0;
  auto cancel = [&](UserWaveTable& table, std::string& name, int cells) {
    ++calls;
    EXPECT_EQ(cells, 64);
    table.Samples[0] = 7;  // the editor puts its own edits back on Cancel
    table.Samples[0] = 0;
    name = "WRONG";
    name.clear();
    return false;
  };
  EXPECT_FALSE(ChooseDynamicWave(*sim, 2, kWaveUserDef, cancel));
  EXPECT_EQ(calls, 1);
  EXPECT_TRUE(Changed().empty());

  auto accept = [&](UserWaveTable& table, std::string& name, int) {
    ++calls;
    table.Samples[3] = 0x1234;
    name = "RAMP.R4V8SimUserWave";
    return true;
  };
  EXPECT_TRUE(ChooseDynamicWave(*sim, 2, kWaveUserDef, accept));
  EXPECT_EQ(Changed(),
            (Strings{"DynamicWords[2].SimDynamicWordWave", "UserWaves[2]", "UserDefDynWordFn"}));
  EXPECT_EQ(sim->UserWaves[2].NumWords, 64);
  // Chosen again while it already is USERDEF: the editor opens again.
  EXPECT_TRUE(ChooseDynamicWave(*sim, 2, kWaveUserDef, accept));
  EXPECT_EQ(calls, 3);
  LoadIntoUnit();
}

TEST_F(DynamicWordEditsTest, AWaveMovedOntoTheSyncWordsIsResetAfterTheChoice) {
  sim->Setup.DynamicWords[1] = {1, 0, kWaveNothing};
  Snapshot();
  EXPECT_TRUE(ChooseDynamicWave(*sim, 1, kWaveSine, nullptr));
  EXPECT_EQ(LastMessage(),
            "The Wave Word Start Must Be Greater Than 2  (check framesync pattern length).");
  EXPECT_EQ(Slot(1).SimDynamicWordWave, kWaveNothing);
  EXPECT_TRUE(Changed().empty());
}

}  // namespace
