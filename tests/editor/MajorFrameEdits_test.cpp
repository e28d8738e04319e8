// The major frame panel's edits: which record fields each menu entry changes, how the
// words-per-minor-frame prompt is asked and what a kept or unreadable answer does, and
// that the edited record still loads into the unit.
#include "editor/MajorFrameEdits.h"

#include "editor/PanelEditTestKit.h"

namespace {

using Names = std::vector<std::string>;

class MajorFrameEditsTest : public PanelEditTest {};

TEST_F(MajorFrameEditsTest, CommonWordLengthResetsTheWordsInUseOnly) {
  sim->Setup.Words[10].SimWordLen = 12;  // set in the word values dialog
  sim->Setup.Words[300].SimWordLen = 9;  // beyond the frame
  sim->Setup.SubframeMode = 1;           // "SFID"
  Snapshot();
  ASSERT_TRUE(SetCommonWordLength(sim->Setup, 8));
  EXPECT_EQ(Changed(), (Names{"CommonWordLength", "Words[0-255].SimWordLen"}));
  EXPECT_EQ(sim->Setup.Words[10].SimWordLen, 8);
  EXPECT_EQ(sim->Setup.Words[255].SimWordLen, 8);
  EXPECT_EQ(sim->Setup.Words[300].SimWordLen, 9);

  // 8-bit words put 4 sync words first: the SFID word must move past them.
  EXPECT_EQ(ValidationMessage(), "SfId Word Must be Greater than 3");
  sim->Setup.SfIdWordNum = 5;
  SimulatorImage image = LoadIntoUnit();
  EXPECT_EQ((WordAttribute(image, 1) >> 8) & 15, 7);  // length - 1
  EXPECT_EQ((WordAttribute(image, 256) >> 8) & 15, 7);

  Snapshot();
  EXPECT_FALSE(SetCommonWordLength(sim->Setup, 2));
  EXPECT_FALSE(SetCommonWordLength(sim->Setup, 17));
  EXPECT_EQ(Changed(), Names{});
}

TEST_F(MajorFrameEditsTest, WordsPerMinorFrameAsksInItsRangeAndResetsLengths) {
  sim->Setup.Words[5].SimWordLen = 12;
  Snapshot();
  op.QueueInput("300");
  ASSERT_TRUE(ApplyWordsPerMinorFrame(*sim, AskInt(kWordsPerMinorFramePrompt, 256)));
  ASSERT_EQ(op.InputBoxes().size(), 1u);
  EXPECT_EQ(op.InputBoxes()[0].title, "Input Range 3 - 16383");
  EXPECT_EQ(op.InputBoxes()[0].prompt, "Enter the number of Words per Minor Frame");
  EXPECT_EQ(op.InputBoxes()[0].initialText, "256");
  EXPECT_EQ(Changed(), (Names{"WordsPerMinorFrame", "Words[5].SimWordLen"}));
  EXPECT_EQ(sim->Setup.WordsPerMinorFrame, 300);

  SimulatorImage image = LoadIntoUnit();
  EXPECT_TRUE(WordAttribute(image, 300) & 0x8000);  // the frame's last word
  EXPECT_FALSE(WordAttribute(image, 256) & 0x8000);

  // Out of range is brought to the nearer limit, with the warning signal.
  op.QueueInput("20000");
  ASSERT_TRUE(ApplyWordsPerMinorFrame(*sim, AskInt(kWordsPerMinorFramePrompt, 300)));
  EXPECT_EQ(sim->Setup.WordsPerMinorFrame, 16383);
  EXPECT_EQ(op.CountPlayed(WarningTones()), 1);
  EXPECT_EQ(sim->Setup.Words[16382].SimWordLen, 16);
  LoadIntoUnit();
}

TEST_F(MajorFrameEditsTest, CancelOrUnreadableAnswersLeaveEveryLengthAlone) {
  sim->Setup.Words[5].SimWordLen = 12;
  Snapshot();
  op.QueueInputCancel();
  EXPECT_FALSE(ApplyWordsPerMinorFrame(*sim, AskInt(kWordsPerMinorFramePrompt, 256)));
  op.QueueInput("12a");
  EXPECT_FALSE(ApplyWordsPerMinorFrame(*sim, AskInt(kWordsPerMinorFramePrompt, 256)));
  EXPECT_EQ(ErrorSignals(), 1);
  EXPECT_EQ(Changed(), Names{});

  // OK on the offered count is an answer: the lengths go back to the common length.
  op.QueueInput("256");
  EXPECT_TRUE(ApplyWordsPerMinorFrame(*sim, AskInt(kWordsPerMinorFramePrompt, 256)));
  EXPECT_EQ(sim->Setup.Words[5].SimWordLen, 16);
}

TEST_F(MajorFrameEditsTest, ShorterFrameKeepsAnActiveCrcWordInside) {
  sim->DoCttit = true;
  sim->CrcWdNum = 200;
  Snapshot();
  op.QueueInput("100");
  ASSERT_TRUE(ApplyWordsPerMinorFrame(*sim, AskInt(kWordsPerMinorFramePrompt, 256)));
  EXPECT_EQ(Changed(), (Names{"WordsPerMinorFrame", "CrcWdNum"}));
  EXPECT_EQ(sim->CrcWdNum, 99);
  EXPECT_TRUE(WordAttribute(LoadIntoUnit(), 100) & 0x0080);

  // Without a CRC method the word number is left as it is.
  sim->DoCttit = false;
  sim->CrcWdNum = -1;
  op.QueueInput("50");
  ASSERT_TRUE(ApplyWordsPerMinorFrame(*sim, AskInt(kWordsPerMinorFramePrompt, 100)));
  EXPECT_EQ(sim->CrcWdNum, -1);
}

TEST_F(MajorFrameEditsTest, BitOrderAndSyncLocationTakeTheTag) {
  ASSERT_TRUE(SetBitOrder(sim->Setup, 1));
  EXPECT_EQ(Changed(), Names{"BitOrder"});
  ASSERT_TRUE(SetPatternLeads(sim->Setup, 0));
  EXPECT_EQ(Changed(), (Names{"BitOrder", "PatternLeads"}));
  EXPECT_EQ(ValidationMessage(), "");
  LoadIntoUnit();

  Snapshot();
  EXPECT_FALSE(SetBitOrder(sim->Setup, 2));
  EXPECT_FALSE(SetPatternLeads(sim->Setup, -1));
  EXPECT_EQ(Changed(), Names{});
}

TEST_F(MajorFrameEditsTest, SubframeModeNoneResetsTheCounterFccDoesNot) {
  sim->Setup.FirstSubFrameNum = 1;
  sim->Setup.SubframeDirection = 1;
  Snapshot();
  ASSERT_TRUE(SetSubframeMode(sim->Setup, 2));  // "FCC"
  EXPECT_EQ(Changed(), Names{"SubframeMode"});

  Snapshot();
  ASSERT_TRUE(SetSubframeMode(sim->Setup, 0));  // "NONE"
  EXPECT_EQ(Changed(),
            (Names{"SubframeMode", "SubframeDirection", "NumSubframes", "FirstSubFrameNum"}));
  EXPECT_EQ(sim->Setup.FirstSubFrameNum, 0);
  EXPECT_EQ(sim->Setup.NumSubframes, 1);
  EXPECT_EQ(sim->Setup.SubframeDirection, 0);
  LoadIntoUnit();

  Snapshot();
  EXPECT_FALSE(SetSubframeMode(sim->Setup, 4));
  EXPECT_EQ(Changed(), Names{});
}

}  // namespace
