// Validation of the simulator setup before a load: the operator's message for each rule,
// in the order the rules are checked, and a corrupt record reset to the defaults.
#include "simulator/SimValidation.h"

#include <gtest/gtest.h>

#include <cstdint>

#include "simulator/SimKit.h"

namespace {

TEST(SimValidation, EachRuleHasItsMessage) {
  const std::string sfid = "SubframeMode=1 ",
                    fromOne = "FirstSubFrameNum=1 SfIdWordNum=2 SfIdStartBit=6 ";
  const std::string bits =
      "Not enough bits for SF ID for the number of minor frames. Check Start Bit";
  const std::pair<std::string, std::string> cases[] = {
      {"", ""},
      {sfid, ""},
      // Rules in order: the first broken one is named.
      {"FrameSyncLength=2 CommonWordLength=0", "Sync Pattern Length MUST be between 3 and 64"},
      {"FrameSyncLength=65", "Sync Pattern Length MUST be between 3 and 64"},
      {"FrameSyncLength=64 CommonWordLength=0", "Common Word Length MUST be at least 1"},
      {"CommonWordLength=-5 WordsPerMinorFrame=20000", "Common Word Length MUST be at least 1"},
      {"WordsPerMinorFrame=16384", "Words Per Minor Frame MUST be less than 16383"},
      {"WordsPerMinorFrame=16383", ""},
      {"WordsPerMinorFrame=-7", ""},  // no lower bound without SFID
      // Subframe rules only with a subframe mode.
      {"NumSubframes=5000 SfIdWordNum=99999", ""},
      {sfid + "NumSubframes=1025", "Too Many Subframes, Max is 1024"},
      {sfid + "NumSubframes=1024 SfIdWordNum=99999",
       "SFID MUST be less than Words Per Minor Frame 256"},
      {sfid + "WordsPerMinorFrame=300 SfIdWordNum=12000",
       "SFID MUST be less than Words Per Minor Frame 300"},
      // The SFID word away from the sync words (a 32-bit pattern in 16-bit words leads).
      {sfid + "SfIdWordNum=2", ""},
      {sfid + "SfIdWordNum=1", "SfId Word Must be Greater than 1"},
      {sfid + fromOne, "SfId Word Must be Greater than 2"},
      // Counting down from 1, the SFID word is compared with the sync words alone.
      {sfid + fromOne + "SubframeDirection=1", ""},
      {sfid + fromOne + "SubframeDirection=1 SfIdWordNum=1", "SfId Word Must be Greater than 2"},
      {sfid + fromOne + "SubframeDirection=1 SfIdWordNum=1 FrameSyncLength=33",  // three words
       "SfId Word Must be Greater than 3"},
      {sfid + "PatternLeads=0 SfIdWordNum=254", ""},
      {sfid + "PatternLeads=0 SfIdWordNum=255", "SfId Word Must be Less than 254"},
      {sfid + "PatternLeads=0 SubframeDirection=1 SfIdWordNum=255",
       "SfId Word Must be Less than 254"},
      // The counter must fit the SFID word from its start bit.
      {sfid + "SfIdStartBit=4", bits},
      {sfid + "SfIdStartBit=16", "SF ID Start Bit MUST be in the range of 0 to 15"},
      {sfid + "SfIdStartBit=-1", "SF ID Start Bit MUST be in the range of 0 to 15"},
      {sfid + "Word3Len=8 SfIdStartBit=8", "SF ID Start Bit MUST be in the range of 0 to 7"},
      {sfid + "Word3Len=8 SfIdStartBit=7", ""},
      {sfid + "SubframeDirection=1 SfIdStartBit=0", ""},
      {sfid + "NumSubframes=-3", bits},  // a negative top needs every bit
      // A word number below 1 is refused, never read.
      {sfid + "SubframeDirection=1 FrameSyncLength=3 SfIdWordNum=1 SfIdStartBit=0", ""},
      {sfid + "SubframeDirection=1 FrameSyncLength=3 PatternLeads=0 SfIdWordNum=0 SfIdStartBit=0",
       "SFID MUST be greater than 0"},
      {sfid + "SubframeDirection=1 FrameSyncLength=3 PatternLeads=0 SfIdWordNum=-2147483648",
       "SFID MUST be greater than 0"},
      // Hostile numbers do not overflow.
      {sfid + "PatternLeads=0 WordsPerMinorFrame=-2147483648 SfIdWordNum=-2147483648",
       "SfId Word Must be Less than -2147483650"},
      {sfid + "NumSubframes=-2147483648 FirstSubFrameNum=1", bits},
      {"SimBitRate=10 SimOutputCode=18", ""},
      {"SimBitRate=33000000", ""},
  };
  for (const auto& [edits, expected] : cases) {
    auto sim = std::make_unique<progsimulatorclass>();
    Apply(sim->Setup, edits);
    std::string message = "stale";
    const bool ok = ValidateSimulatorSetup(*sim, message);
    EXPECT_EQ(ok, message.empty()) << message;
    EXPECT_EQ(message, expected) << edits;
  }
}

// A field outside its list is a corrupt record: it is reset to the defaults, user waves
// kept, with no message, before any rule is looked at.
TEST(SimValidation, CorruptRecordIsResetKeepingUserWaves) {
  for (const char* corrupt :
       {"BitOrder=2", "BitOrder=-1", "SubframeMode=4", "SubframeDirection=2", "PatternLeads=-1",
        "SimBitRate=9", "SimBitRate=33000001", "SimOutputCode=-1", "SimOutputCode=19"}) {
    auto sim = std::make_unique<progsimulatorclass>();
    sim->UserWaves[2].NumWords = 7;
    sim->UserDefDynWordFn[2] = "WAVE.R4V8SimUserWave";
    // Would fail a rule if the reset let it through.
    Apply(sim->Setup, std::string("FrameSyncLength=99 WordsPerMinorFrame=99 ") + corrupt);
    std::string message = "stale";
    EXPECT_FALSE(ValidateSimulatorSetup(*sim, message));
    EXPECT_EQ(message, "");
    EXPECT_EQ(std::tie(sim->Setup.FrameSyncLength, sim->Setup.WordsPerMinorFrame),
              std::make_tuple(32, 256));
    EXPECT_EQ(sim->UserWaves[2].NumWords, 7);
    EXPECT_EQ(sim->UserDefDynWordFn[2], "WAVE.R4V8SimUserWave");
  }
  for (const auto& [value, bits] : {std::pair{0u, 0}, {1u, 1}, {63u, 6}, {64u, 7}, {~0u, 32}})
    EXPECT_EQ(BitsNeeded(value), bits) << value;
}

}  // namespace
