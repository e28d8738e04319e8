// The minor frame panel's edits of the subframe ID counter, the prompts' ranges and
// texts, and the bits of the sync ID word the picture marks.
#include "editor/MinorFrameEdits.h"

#include "editor/PanelEditTestKit.h"

namespace {

using Names = std::vector<std::string>;

class MinorFrameEditsTest : public PanelEditTest {
 protected:
  void SetUp() override {
    sim->Setup.SubframeMode = 1;  // "SFID": the counter is checked and loaded
    Snapshot();
  }
};

TEST_F(MinorFrameEditsTest, MenuChoicesChangeOnlyTheirField) {
  ASSERT_TRUE(SetSubframeDirection(sim->Setup, 1));
  EXPECT_EQ(Changed(), Names{"SubframeDirection"});
  ASSERT_TRUE(SetSfIdStartBit(sim->Setup, 9));
  EXPECT_EQ(Changed(), (Names{"SubframeDirection", "SfIdStartBit"}));
  LoadIntoUnit();

  Snapshot();
  ASSERT_TRUE(SetFirstSubFrameNum(sim->Setup, 1));
  EXPECT_EQ(Changed(), Names{"FirstSubFrameNum"});
  ASSERT_TRUE(SetFirstSubFrameNum(sim->Setup, 7));  // kept within 0..1
  EXPECT_EQ(sim->Setup.FirstSubFrameNum, 1);
  LoadIntoUnit();

  Snapshot();
  EXPECT_FALSE(SetSubframeDirection(sim->Setup, 2));
  EXPECT_FALSE(SetSfIdStartBit(sim->Setup, 16));
  EXPECT_FALSE(SetSfIdStartBit(sim->Setup, -1));
  EXPECT_EQ(Changed(), Names{});
}

TEST_F(MinorFrameEditsTest, MinorFrameCountIsClampedToOneTo1024) {
  op.QueueInput("0");
  ASSERT_TRUE(ApplyMinorFrameCount(sim->Setup, AskInt(kMinorFrameCountPrompt, 64)));
  EXPECT_EQ(op.InputBoxes()[0].title, "Input Range 1 - 1024");
  EXPECT_EQ(op.InputBoxes()[0].prompt, "Enter the number of Minor Frames per Major Frame");
  EXPECT_EQ(sim->Setup.NumSubframes, 1);
  EXPECT_EQ(Changed(), Names{"NumSubframes"});
  LoadIntoUnit();

  op.QueueInput("2000");
  ASSERT_TRUE(ApplyMinorFrameCount(sim->Setup, AskInt(kMinorFrameCountPrompt, 1)));
  EXPECT_EQ(sim->Setup.NumSubframes, 1024);
  // 1024 frames need 10 counter bits; the msb at bit 5 is the Part's refusal.
  EXPECT_EQ(ValidationMessage(),
            "Not enough bits for SF ID for the number of minor frames. Check Start Bit");
  ASSERT_TRUE(SetSfIdStartBit(sim->Setup, 9));
  LoadIntoUnit();
}

TEST_F(MinorFrameEditsTest, SyncIdWordNumberIsLeftToValidation) {
  op.QueueInput("300");
  ASSERT_TRUE(ApplySfIdWordNum(sim->Setup, AskInt(kSfIdWordNumPrompt, 3)));
  EXPECT_EQ(op.InputBoxes()[0].title, "Input Range 1 - 16383");
  EXPECT_EQ(op.InputBoxes()[0].prompt, "Enter the Word Number for the SF ID");
  EXPECT_EQ(Changed(), Names{"SfIdWordNum"});
  EXPECT_EQ(ValidationMessage(), "SFID MUST be less than Words Per Minor Frame 256");

  op.QueueInput("0x20");
  ASSERT_TRUE(ApplySfIdWordNum(sim->Setup, AskInt(kSfIdWordNumPrompt, 300)));
  EXPECT_EQ(sim->Setup.SfIdWordNum, 32);
  LoadIntoUnit();
}

TEST_F(MinorFrameEditsTest, KeptAndUnreadableAnswersChangeNothing) {
  sim->Setup.NumSubframes = 5000;  // from a file, outside the prompt's range
  sim->Setup.SfIdWordNum = 0;
  Snapshot();
  op.QueueInputCancel();
  EXPECT_FALSE(ApplyMinorFrameCount(sim->Setup, AskInt(kMinorFrameCountPrompt, 5000)));
  op.QueueInputCancel();
  EXPECT_FALSE(ApplySfIdWordNum(sim->Setup, AskInt(kSfIdWordNumPrompt, 0)));
  EXPECT_EQ(ErrorSignals(), 0);
  op.QueueInput("12a");
  EXPECT_FALSE(ApplyMinorFrameCount(sim->Setup, AskInt(kMinorFrameCountPrompt, 5000)));
  op.QueueInput("");  // an empty text reads as 0, brought to 1
  EXPECT_TRUE(ApplySfIdWordNum(sim->Setup, AskInt(kSfIdWordNumPrompt, 0)));
  EXPECT_EQ(ErrorSignals(), 1);
  EXPECT_EQ(Changed(), Names{"SfIdWordNum"});
  EXPECT_EQ(sim->Setup.SfIdWordNum, 1);
}

TEST_F(MinorFrameEditsTest, PictureMarksTheCounterBits) {
  SfIdBitMarks m = SfIdBits(sim->Setup);  // 64 frames from 0, msb 5, 16-bit word
  EXPECT_EQ(m.WordLength, 16);
  EXPECT_EQ(m.Low, 0);
  EXPECT_EQ(m.High, 5);

  sim->Setup.FirstSubFrameNum = 1;  // largest value 64: 7 bits, low end limited to 0
  m = SfIdBits(sim->Setup);
  EXPECT_EQ(m.Low, 0);
  EXPECT_EQ(m.High, 5);
  EXPECT_TRUE(m.Used(5));
  EXPECT_FALSE(m.Used(6));

  sim->Setup.NumSubframes = 4;  // values 1..4: 3 bits below the msb 12
  sim->Setup.SfIdStartBit = 12;
  m = SfIdBits(sim->Setup);
  EXPECT_EQ(m.Low, 10);
  EXPECT_EQ(m.High, 12);

  sim->Setup.Words[2].SimWordLen = 8;
  sim->Setup.SfIdStartBit = 15;  // high end limited to the word's msb
  EXPECT_EQ(SfIdBits(sim->Setup).High, 7);

  sim->Setup.Words[2].SimWordLen = 0;
  EXPECT_EQ(SfIdBits(sim->Setup).WordLength, 1);

  // Word numbers from a damaged file name no word and are not read.
  sim->Setup.SfIdWordNum = 0;
  EXPECT_EQ(SfIdBits(sim->Setup).WordLength, 1);
  sim->Setup.SfIdWordNum = 20000;
  EXPECT_EQ(SfIdBits(sim->Setup).WordLength, 1);
  sim->Setup.SfIdStartBit = INT32_MIN;
  EXPECT_EQ(SfIdBits(sim->Setup).Low, 0);
}

}  // namespace
