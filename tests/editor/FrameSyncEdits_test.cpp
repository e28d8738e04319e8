// The frame sync pattern edits: renderings, radix switches with don't-care digits, the
// length and the digits; each changes only its own fields, refusals and cancels nothing.
#include "editor/FrameSyncEdits.h"

#include <cstring>

#include "editor/PanelEditTestKit.h"
#include "simulator/SyncPatternText.h"

namespace {

using Strings = std::vector<std::string>;

class FrameSyncEditsTest : public PanelEditTest {
 protected:
  void SetPattern(const char* text, int32_t radix, int32_t length) {
    std::strcpy(sim->Setup.FrameSyncPattern, text);
    sim->Setup.FsPatternRadix = radix;
    sim->Setup.FrameSyncLength = length;
    Snapshot();
  }
};

TEST_F(FrameSyncEditsTest, RendersThePatternInAllRadicesCutToTheLength) {
  FspRenderings shown;
  ASSERT_TRUE(ShowPatternInAllRadices("FE6B2840", kPatternHex, 32, shown));
  EXPECT_EQ(shown.Hex, "FE6B2840");
  EXPECT_EQ(shown.Binary, "11111110011010110010100001000000");
  EXPECT_EQ(shown.Octal, "3763262410");  // 11 digits cut to 32 / 3

  ASSERT_TRUE(ShowPatternInAllRadices("1X01", kPatternBinary, 4, shown));
  EXPECT_EQ(shown.Hex, "X");
  EXPECT_EQ(shown.Binary, "1X01");

  ASSERT_TRUE(ShowPatternInAllRadices("0x1F", kPatternHex, 8, shown));
  EXPECT_EQ(shown.Hex, "1F");

  shown = {"a", "b", "c"};
  EXPECT_FALSE(ShowPatternInAllRadices("FE6B2840", kPatternHex, 65, shown));
  EXPECT_FALSE(ShowPatternInAllRadices("FE6B2840", kPatternHex, 2, shown));
  EXPECT_EQ(shown.Hex, "a");
  EXPECT_EQ(shown.Octal, "c");
}

TEST_F(FrameSyncEditsTest, SwitchingRadixRewritesOnlyPatternAndRadix) {
  SetPattern("FAF320", kPatternHex, 24);
  EXPECT_EQ(SwitchPatternRadix(sim->Setup, kPatternOctal), FspSwitch::Switched);
  EXPECT_STREQ(sim->Setup.FrameSyncPattern, "76571440");
  EXPECT_EQ(sim->Setup.FsPatternRadix, kPatternOctal);
  EXPECT_EQ(Changed(), (Strings{"FsPatternRadix", "FrameSyncPattern"}));
  LoadIntoUnit();

  Snapshot();
  EXPECT_EQ(SwitchPatternRadix(sim->Setup, kPatternOctal), FspSwitch::Unchanged);
  EXPECT_TRUE(Changed().empty());

  EXPECT_EQ(SwitchPatternRadix(sim->Setup, kPatternBinary), FspSwitch::Switched);
  EXPECT_STREQ(sim->Setup.FrameSyncPattern, "111110101111001100100000");
  EXPECT_EQ(SwitchPatternRadix(sim->Setup, kPatternHex), FspSwitch::Switched);
  EXPECT_STREQ(sim->Setup.FrameSyncPattern, "FAF320");
  EXPECT_TRUE(op.MessageBoxes().empty());
  LoadIntoUnit();
}

TEST_F(FrameSyncEditsTest, DontCareDigitsRefuseHexAndOctal) {
  for (int32_t radix : {kPatternHex, kPatternOctal}) {
    SetPattern("1X01", kPatternBinary, 4);
    op.ClearRecords();
    EXPECT_EQ(SwitchPatternRadix(sim->Setup, radix), FspSwitch::RefusedEndedInBinary);
    ASSERT_EQ(op.MessageBoxes().size(), 1u);
    EXPECT_EQ(op.MessageBoxes()[0].text,
              "FRAME SYNC PATTERN CONTAINS DONT CARE BITS. YOU MUST REMOVE THEM TO CONVERT TO A "
              "DIFFERENT BASE");
    EXPECT_EQ(op.MessageBoxes()[0].caption, "DONT CARE BITS SET");
    EXPECT_TRUE(Changed().empty());
  }
  // The very first digit counts too; a hex pattern with X ends in binary.
  SetPattern("X1", kPatternHex, 8);
  EXPECT_EQ(SwitchPatternRadix(sim->Setup, kPatternOctal), FspSwitch::RefusedEndedInBinary);
  EXPECT_EQ(sim->Setup.FsPatternRadix, kPatternBinary);
  EXPECT_STREQ(sim->Setup.FrameSyncPattern, "XXXX0001");
  // A hex marker in front is no don't-care digit.
  SetPattern("0X1F", kPatternHex, 12);
  EXPECT_EQ(SwitchPatternRadix(sim->Setup, kPatternOctal), FspSwitch::Switched);
  EXPECT_STREQ(sim->Setup.FrameSyncPattern, "0037");
}

TEST_F(FrameSyncEditsTest, PatternLengthPromptChangesOnlyTheLength) {
  op.QueueInput("24");
  EXPECT_TRUE(EditPatternLength(sim->Setup));
  EXPECT_EQ(op.InputBoxes().back().title, "Input Range 3 - 64");
  EXPECT_EQ(op.InputBoxes().back().prompt, "Enter the number of bits for the frame sync pattern");
  EXPECT_EQ(op.InputBoxes().back().initialText, "32");
  EXPECT_EQ(Changed(), Strings{"FrameSyncLength"});
  LoadIntoUnit();

  Snapshot();
  op.QueueInputCancel();
  EXPECT_FALSE(EditPatternLength(sim->Setup));
  op.QueueInput("12a");
  EXPECT_FALSE(EditPatternLength(sim->Setup));
  EXPECT_EQ(ErrorSignals(), 1);
  EXPECT_TRUE(Changed().empty());

  op.QueueInput("100");
  EXPECT_TRUE(EditPatternLength(sim->Setup));
  EXPECT_EQ(sim->Setup.FrameSyncLength, 64);
  EXPECT_EQ(op.CountPlayed(WarningTones()), 1);

  // A damaged file's length stays through Cancel; OK on it brings it into the range.
  sim->Setup.FrameSyncLength = 70;
  op.QueueInputCancel();
  EXPECT_FALSE(EditPatternLength(sim->Setup));
  EXPECT_EQ(sim->Setup.FrameSyncLength, 70);
  op.QueueInput("70");
  EXPECT_TRUE(EditPatternLength(sim->Setup));
  EXPECT_EQ(sim->Setup.FrameSyncLength, 64);
}

TEST_F(FrameSyncEditsTest, PatternDigitsAreStoredInUpperCaseAndCancelKeepsThem) {
  op.QueueInputCancel();
  EXPECT_FALSE(EditPatternDigits(sim->Setup));
  EXPECT_EQ(op.InputBoxes().back().title, "Input Pattern");
  EXPECT_EQ(op.InputBoxes().back().prompt, "Enter the FSP pattern in HEX");
  EXPECT_EQ(op.InputBoxes().back().initialText, "FE6B2840");
  EXPECT_TRUE(Changed().empty());

  op.QueueInput("fe6b2841");
  EXPECT_TRUE(EditPatternDigits(sim->Setup));
  EXPECT_STREQ(sim->Setup.FrameSyncPattern, "FE6B2841");
  EXPECT_EQ(Changed(), Strings{"FrameSyncPattern"});
  LoadIntoUnit();

  SetPattern("1F", kPatternHex, 8);
  op.QueueInput("0x1f");
  EXPECT_TRUE(EditPatternDigits(sim->Setup));
  EXPECT_STREQ(sim->Setup.FrameSyncPattern, "0X1F");
  EXPECT_EQ(PatternRenderedIn(sim->Setup, kPatternHex), "1F");

  // A radix of its own in the prompt.
  SetPattern("101", kPatternBinary, 3);
  EXPECT_FALSE(EditPatternDigits(sim->Setup));
  EXPECT_EQ(op.InputBoxes().back().prompt, "Enter the FSP pattern in BINARY");
}

TEST_F(FrameSyncEditsTest, TooLongAPatternIsRefused) {
  op.QueueInput(std::string(65, '1'));
  EXPECT_FALSE(EditPatternDigits(sim->Setup));
  ASSERT_EQ(op.MessageBoxes().size(), 1u);
  EXPECT_EQ(ErrorSignals(), 1);
  EXPECT_TRUE(Changed().empty());

  SetPattern("1", kPatternBinary, 64);
  op.QueueInput(std::string(64, '1'));
  EXPECT_TRUE(EditPatternDigits(sim->Setup));
  EXPECT_EQ(std::strlen(sim->Setup.FrameSyncPattern), 64u);
  LoadIntoUnit();
}

TEST_F(FrameSyncEditsTest, DigitsOutsideTheRadixAreRefused) {
  op.QueueInput("FG");
  EXPECT_FALSE(EditPatternDigits(sim->Setup));
  SetPattern("101", kPatternBinary, 3);
  op.QueueInput("1021");
  EXPECT_FALSE(EditPatternDigits(sim->Setup));
  ASSERT_EQ(op.MessageBoxes().size(), 2u);
  EXPECT_EQ(op.MessageBoxes()[1].text,
            "The pattern may hold only BINARY digits and X (don't care)");
  EXPECT_EQ(ErrorSignals(), 2);
  EXPECT_TRUE(Changed().empty());
}

}  // namespace
