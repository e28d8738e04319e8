#include "simulator/SimValidation.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

#include "simulator/Qm48SimulatorUnit.h"

namespace {

class SimValidationTest : public ::testing::Test {
 protected:
  void SetUp() override { sim = std::make_unique<progsimulatorclass>(); }
  SimSetupData& S() { return sim->Setup; }
  std::string Check() {
    std::string message = "stale";
    bool ok = ValidateSimulatorSetup(*sim, message);
    EXPECT_EQ(ok, message.empty()) << message;
    return message;
  }
  void UseSfid() { S().SubframeMode = 1; }
  std::unique_ptr<progsimulatorclass> sim;
};

TEST_F(SimValidationTest, DefaultsPass) {
  EXPECT_EQ(Check(), "");
  UseSfid();
  EXPECT_EQ(Check(), "");
}

TEST_F(SimValidationTest, CorruptRecordIsResetKeepingUserWaves) {
  sim->UserWaves[2].NumWords = 7;
  sim->UserWaves[2].Samples[0] = 1234;
  sim->UserDefDynWordFn[2] = "WAVE.R4V8SimUserWave";
  S().WordsPerMinorFrame = 99;
  S().SimOutputCode = 19;
  std::string message = "stale";
  EXPECT_FALSE(ValidateSimulatorSetup(*sim, message));
  EXPECT_EQ(message, "");
  EXPECT_EQ(S().WordsPerMinorFrame, 256);
  EXPECT_EQ(S().SimOutputCode, 0);
  EXPECT_EQ(sim->UserWaves[2].NumWords, 7);
  EXPECT_EQ(sim->UserWaves[2].Samples[0], 1234);
  EXPECT_EQ(sim->UserDefDynWordFn[2], "WAVE.R4V8SimUserWave");
}

TEST_F(SimValidationTest, EveryCorruptFieldIsCaught) {
  const std::vector<std::function<void(SimSetupData&)>> corruptions = {
      [](SimSetupData& s) { s.BitOrder = 2; },
      [](SimSetupData& s) { s.BitOrder = -1; },
      [](SimSetupData& s) { s.SubframeMode = 4; },
      [](SimSetupData& s) { s.SubframeDirection = 2; },
      [](SimSetupData& s) { s.PatternLeads = -1; },
      [](SimSetupData& s) { s.SimBitRate = 9; },
      [](SimSetupData& s) { s.SimBitRate = 33000001; },
      [](SimSetupData& s) { s.SimOutputCode = -1; },
  };
  for (const auto& corrupt : corruptions) {
    SetUp();
    S().FrameSyncLength = 99;  // would fail stage 2 if stage 1 let it through
    corrupt(S());
    std::string message = "stale";
    EXPECT_FALSE(ValidateSimulatorSetup(*sim, message));
    EXPECT_EQ(message, "");
    EXPECT_EQ(S().FrameSyncLength, 32);
  }
  SetUp();
  S().SimBitRate = 10;
  S().SimOutputCode = 18;
  EXPECT_EQ(Check(), "");
  S().SimBitRate = 33000000;
  EXPECT_EQ(Check(), "");
}

TEST_F(SimValidationTest, RulesInOrder) {
  S().FrameSyncLength = 2;
  S().CommonWordLength = 0;
  S().WordsPerMinorFrame = 20000;
  EXPECT_EQ(Check(), "Sync Pattern Length MUST be between 3 and 64");
  S().FrameSyncLength = 65;
  EXPECT_EQ(Check(), "Sync Pattern Length MUST be between 3 and 64");
  S().FrameSyncLength = 64;
  EXPECT_EQ(Check(), "Common Word Length MUST be at least 1");
  S().CommonWordLength = -5;
  EXPECT_EQ(Check(), "Common Word Length MUST be at least 1");
  S().CommonWordLength = 1;
  EXPECT_EQ(Check(), "Words Per Minor Frame MUST be less than 16383");
  S().WordsPerMinorFrame = 16384;
  EXPECT_EQ(Check(), "Words Per Minor Frame MUST be less than 16383");
  S().WordsPerMinorFrame = 16383;
  EXPECT_EQ(Check(), "");
  S().WordsPerMinorFrame = -7;  // no lower bound without a subframe ID
  EXPECT_EQ(Check(), "");
}

TEST_F(SimValidationTest, SubframeRulesOnlyWithSubframeMode) {
  S().NumSubframes = 5000;
  S().SfIdWordNum = 99999;
  EXPECT_EQ(Check(), "");
  UseSfid();
  EXPECT_EQ(Check(), "Too Many Subframes, Max is 1024");
  S().NumSubframes = 1024;
  EXPECT_EQ(Check(), "SFID MUST be less than Words Per Minor Frame 256");
  S().WordsPerMinorFrame = 300;
  S().SfIdWordNum = 12000;
  EXPECT_EQ(Check(), "SFID MUST be less than Words Per Minor Frame 300");
}

TEST_F(SimValidationTest, SfidAwayFromSyncWords) {
  UseSfid();  // 32-bit pattern in 16-bit words: two sync words, pattern leads
  S().SfIdWordNum = 2;
  S().SfIdStartBit = 5;
  EXPECT_EQ(Check(), "");
  S().SfIdWordNum = 1;
  EXPECT_EQ(Check(), "SfId Word Must be Greater than 1");
  S().FirstSubFrameNum = 1;
  S().SfIdWordNum = 2;
  S().SfIdStartBit = 6;
  EXPECT_EQ(Check(), "SfId Word Must be Greater than 2");
  S().SubframeDirection = 1;  // down: compared with the sync words alone
  EXPECT_EQ(Check(), "");
  S().SfIdWordNum = 1;
  EXPECT_EQ(Check(), "SfId Word Must be Greater than 2");
  S().FrameSyncLength = 33;  // 33 bits need three 16-bit words
  EXPECT_EQ(Check(), "SfId Word Must be Greater than 3");

  SetUp();
  UseSfid();
  S().PatternLeads = 0;
  S().SfIdWordNum = 254;
  EXPECT_EQ(Check(), "");
  S().SfIdWordNum = 255;
  EXPECT_EQ(Check(), "SfId Word Must be Less than 254");
  S().SubframeDirection = 1;
  EXPECT_EQ(Check(), "SfId Word Must be Less than 254");
}

TEST_F(SimValidationTest, CounterMustFitTheSfidWord) {
  UseSfid();
  S().SfIdStartBit = 4;
  EXPECT_EQ(Check(), "Not enough bits for SF ID for the number of minor frames. Check Start Bit");
  S().SfIdStartBit = 16;
  EXPECT_EQ(Check(), "SF ID Start Bit MUST be in the range of 0 to 15");
  S().SfIdStartBit = -1;
  EXPECT_EQ(Check(), "SF ID Start Bit MUST be in the range of 0 to 15");
  S().Words[2].SimWordLen = 8;  // word 3 is the SFID word
  S().SfIdStartBit = 8;
  EXPECT_EQ(Check(), "SF ID Start Bit MUST be in the range of 0 to 7");
  S().SfIdStartBit = 7;
  EXPECT_EQ(Check(), "");
  S().SubframeDirection = 1;  // a downward counter only needs FirstSubFrameNum's bits
  S().SfIdStartBit = 0;
  EXPECT_EQ(Check(), "");
  S().SubframeDirection = 0;
  S().NumSubframes = -3;  // a negative top needs every bit
  EXPECT_EQ(Check(), "Not enough bits for SF ID for the number of minor frames. Check Start Bit");
}

TEST_F(SimValidationTest, SfidWordNumberBelowOneIsRejectedNotRead) {
  UseSfid();
  S().SubframeDirection = 1;
  S().FrameSyncLength = 3;
  S().SfIdWordNum = 1;  // passes the sync rule (one sync word) ...
  S().SfIdStartBit = 0;
  EXPECT_EQ(Check(), "");
  S().PatternLeads = 0;
  S().SfIdWordNum = 0;  // ... and 0 or less passes a trailing pattern's rule
  EXPECT_EQ(Check(), "SFID MUST be greater than 0");
  S().SfIdWordNum = -2147483647 - 1;
  EXPECT_EQ(Check(), "SFID MUST be greater than 0");
}

TEST_F(SimValidationTest, HostileNumbersDoNotOverflow) {
  UseSfid();
  S().PatternLeads = 0;
  S().WordsPerMinorFrame = -2147483647 - 1;
  S().SfIdWordNum = -2147483647 - 1;
  EXPECT_EQ(Check(), "SfId Word Must be Less than -2147483650");
  SetUp();
  UseSfid();
  S().NumSubframes = -2147483647 - 1;
  S().FirstSubFrameNum = 1;
  S().SfIdWordNum = 3;
  EXPECT_EQ(Check(), "Not enough bits for SF ID for the number of minor frames. Check Start Bit");
}

TEST(BitsNeeded, CountsSignificantBits) {
  EXPECT_EQ(BitsNeeded(0), 0);
  EXPECT_EQ(BitsNeeded(1), 1);
  EXPECT_EQ(BitsNeeded(63), 6);
  EXPECT_EQ(BitsNeeded(64), 7);
  EXPECT_EQ(BitsNeeded(0xFFFFFFFFu), 32);
}

}  // namespace
