// The simulator data panel's edits: bit rate text and prompt, output code, the CRC
// method toggles and word number with their invariants, and the transmitter retuning.
#include "editor/SimDataEdits.h"

#include "editor/PanelEditTestKit.h"
#include "query/Qm48QueryUnit.h"
#include "transmitter/Qm48TransmitterUnit.h"

namespace {

using Names = std::vector<std::string>;

class SimDataEditsTest : public PanelEditTest {
 protected:
  IntAnswer AskCrcWord() {
    return AskInt(CrcWordNumberPrompt(sim->Setup), CrcWordNumberShown(*sim));
  }
  static bool CrcMarked(const SimulatorImage& image, int wordNumber) {
    return (WordAttribute(image, wordNumber) & 0x0080) != 0;
  }
};

TEST(BitRateTextTest, MegabitsWithoutTrailingZeros) {
  EXPECT_EQ(BitRateText(1024000), "1.024 Mbps");
  EXPECT_EQ(BitRateText(25000000), "25.0 Mbps");
  EXPECT_EQ(BitRateText(10), "0.00001 Mbps");
  EXPECT_EQ(BitRateText(1000000), "1.0 Mbps");
  EXPECT_EQ(BitRateText(33000000), "33.0 Mbps");
  EXPECT_EQ(BitRateText(123456789), "123.45678 Mbps");  // nine characters kept
}

TEST_F(SimDataEditsTest, BitRatePromptAndItsKeptAnswer) {
  op.QueueInput("1e6");
  ASSERT_TRUE(ApplySimBitRate(sim->Setup, AskUInt(kBitRatePrompt, sim->Setup.SimBitRate)));
  EXPECT_EQ(op.InputBoxes()[0].title, "Input Range 10 - 25000000");
  EXPECT_EQ(op.InputBoxes()[0].prompt, "Enter the Bit Rate");
  EXPECT_EQ(op.InputBoxes()[0].initialText, "1024000");
  EXPECT_EQ(Changed(), Names{"SimBitRate"});
  EXPECT_EQ(sim->Setup.SimBitRate, 1000000u);
  LoadIntoUnit();

  // A rate from a file above the prompt's range survives Cancel.
  sim->Setup.SimBitRate = 30000000;
  Snapshot();
  op.QueueInputCancel();
  EXPECT_FALSE(ApplySimBitRate(sim->Setup, AskUInt(kBitRatePrompt, sim->Setup.SimBitRate)));
  op.QueueInput("fast");
  EXPECT_FALSE(ApplySimBitRate(sim->Setup, AskUInt(kBitRatePrompt, sim->Setup.SimBitRate)));
  EXPECT_EQ(ErrorSignals(), 1);
  EXPECT_EQ(Changed(), Names{});

  op.QueueInput("5");
  ASSERT_TRUE(ApplySimBitRate(sim->Setup, AskUInt(kBitRatePrompt, sim->Setup.SimBitRate)));
  EXPECT_EQ(sim->Setup.SimBitRate, 10u);
  LoadIntoUnit();
}

TEST_F(SimDataEditsTest, OutputCodeTakesTheTableIndex) {
  ASSERT_TRUE(SetOutputCode(sim->Setup, 18));
  EXPECT_EQ(Changed(), Names{"SimOutputCode"});
  LoadIntoUnit();
  Snapshot();
  EXPECT_FALSE(SetOutputCode(sim->Setup, 19));
  EXPECT_FALSE(SetOutputCode(sim->Setup, -1));
  EXPECT_EQ(Changed(), Names{});
}

TEST_F(SimDataEditsTest, CrcToggleSelectsTheFirstWordAndSwitchesTheOtherOff) {
  ToggleCrc16(*sim);
  EXPECT_EQ(Changed(), (Names{"DoCrc16", "CrcWdNum"}));
  EXPECT_EQ(sim->CrcWdNum, 0);
  EXPECT_EQ(CrcMethodText(*sim), "CRC-16");
  EXPECT_EQ(CrcWordText(*sim), "1");
  EXPECT_TRUE(CrcMarked(LoadIntoUnit(), 1));

  sim->CrcWdNum = 9;
  Snapshot();
  ToggleCcitt(*sim);  // keeps the word
  EXPECT_EQ(Changed(), (Names{"DoCrc16", "DoCttit"}));
  EXPECT_EQ(CrcMethodText(*sim), "CCITT");
  EXPECT_TRUE(CrcMarked(LoadIntoUnit(), 10));

  Snapshot();
  ToggleCcitt(*sim);  // both off: no CRC word
  EXPECT_EQ(Changed(), (Names{"DoCttit", "CrcWdNum"}));
  EXPECT_EQ(CrcMethodText(*sim), "NOT USED");
  EXPECT_EQ(CrcWordText(*sim), "NOT USED");
  EXPECT_FALSE(CrcMarked(LoadIntoUnit(), 10));
}

TEST_F(SimDataEditsTest, CrcToggleBringsAWordOutsideTheFrameIn) {
  sim->DoCrc16 = true;
  sim->CrcWdNum = 400;  // the frame was shortened by a file
  ToggleCcitt(*sim);
  EXPECT_EQ(sim->CrcWdNum, 255);
  EXPECT_TRUE(CrcMarked(LoadIntoUnit(), 256));
}

TEST_F(SimDataEditsTest, CrcWordNumberZeroSwitchesBothMethodsOff) {
  ToggleCrc16(*sim);
  Snapshot();
  op.QueueInput("12");
  ASSERT_TRUE(ApplyCrcWordNumber(*sim, AskCrcWord()));
  EXPECT_EQ(op.InputBoxes()[0].title, "Input Range 0 - 256");
  EXPECT_EQ(op.InputBoxes()[0].prompt, "Enter the CRC or CCITT Word Number (0 = not used)");
  EXPECT_EQ(op.InputBoxes()[0].initialText, "1");
  EXPECT_EQ(Changed(), Names{"CrcWdNum"});
  EXPECT_TRUE(CrcMarked(LoadIntoUnit(), 12));

  op.QueueInput("999");  // brought to the last word
  ASSERT_TRUE(ApplyCrcWordNumber(*sim, AskCrcWord()));
  EXPECT_EQ(CrcWordText(*sim), "256");

  Snapshot();
  op.QueueInput("0");
  ASSERT_TRUE(ApplyCrcWordNumber(*sim, AskCrcWord()));
  EXPECT_EQ(Changed(), (Names{"DoCrc16", "CrcWdNum"}));
  EXPECT_EQ(CrcMethodText(*sim), "NOT USED");
  EXPECT_EQ(CrcWordText(*sim), "NOT USED");
  EXPECT_FALSE(CrcMarked(LoadIntoUnit(), 256));
}

TEST_F(SimDataEditsTest, CrcWordChosenWithNoMethodSwitchesCrc16On) {
  op.QueueInput("7");
  ASSERT_TRUE(ApplyCrcWordNumber(*sim, AskCrcWord()));
  EXPECT_EQ(Changed(), (Names{"DoCrc16", "CrcWdNum"}));
  EXPECT_EQ(CrcMethodText(*sim), "CRC-16");
  EXPECT_TRUE(CrcMarked(LoadIntoUnit(), 7));
}

TEST_F(SimDataEditsTest, CrcWordKeptOrUnreadableChangesNothing) {
  sim->DoCttit = true;
  sim->CrcWdNum = 300;  // beyond a 256-word frame; Cancel must not move it
  Snapshot();
  op.QueueInputCancel();
  EXPECT_FALSE(ApplyCrcWordNumber(*sim, AskCrcWord()));
  op.QueueInput("1.2.3");
  EXPECT_FALSE(ApplyCrcWordNumber(*sim, AskCrcWord()));
  EXPECT_EQ(ErrorSignals(), 1);
  EXPECT_EQ(Changed(), Names{});
}

TEST(RetuneTransmitterTest, DeviationAndFilterFollowRateAndCode) {
  progsimulatorclass sim;
  progtxclass tx;
  progqueryclass query;
  query.Results.PremodFilterFreqKhz = {100, 300, 600, 1000};
  tx.Setup.FreqMhz = 2200.5;
  tx.Setup.AttenuationIndexDb = 4;
  const TxSetupData before = tx.Setup;

  sim.Setup.SimBitRate = 1000000;
  EXPECT_TRUE(RetuneTransmitter(tx, query, sim.Setup));
  EXPECT_EQ(TxDifferences(before, tx.Setup), (Names{"FmDeviation", "PreModFilterSelected"}));
  EXPECT_EQ(tx.Setup.FmDeviation, 350);
  EXPECT_EQ(tx.Setup.PreModFilterSelected, 3);
  // The same code again needs no load.
  EXPECT_FALSE(RetuneTransmitter(tx, query, sim.Setup));

  ASSERT_TRUE(SetOutputCode(sim.Setup, 3));  // "BIOL" doubles the band
  EXPECT_TRUE(RetuneTransmitter(tx, query, sim.Setup));
  EXPECT_EQ(tx.Setup.FmDeviation, 700);
  EXPECT_EQ(tx.Setup.PreModFilterSelected, 0);
}

}  // namespace
