// Validation of the simulator setup before a load: the operator's message for each rule,
// in the order the rules are checked, and a corrupt record reset to the defaults.
#include "simulator/SimValidation.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>

#include "simulator/Qm48SimulatorUnit.h"

namespace {

using Edit = std::function<void(SimSetupData&)>;

TEST(SimValidation, EachRuleHasItsMessage) {
  const auto sfid = [](SimSetupData& s) { s.SubframeMode = 1; };
  const auto fromOne = [](SimSetupData& s) {
    s.FirstSubFrameNum = 1, s.SfIdWordNum = 2, s.SfIdStartBit = 6;
  };
  const struct {
    std::vector<Edit> edits;
    const char* message;
  } cases[] = {
      {{}, ""},
      {{sfid}, ""},
      // Rules in order: the first broken one is named.
      {{[](SimSetupData& s) { s.FrameSyncLength = 2, s.CommonWordLength = 0; }},
       "Sync Pattern Length MUST be between 3 and 64"},
      {{[](SimSetupData& s) { s.FrameSyncLength = 65; }},
       "Sync Pattern Length MUST be between 3 and 64"},
      {{[](SimSetupData& s) { s.FrameSyncLength = 64, s.CommonWordLength = 0; }},
       "Common Word Length MUST be at least 1"},
      {{[](SimSetupData& s) { s.CommonWordLength = -5, s.WordsPerMinorFrame = 20000; }},
       "Common Word Length MUST be at least 1"},
      {{[](SimSetupData& s) { s.WordsPerMinorFrame = 16384; }},
       "Words Per Minor Frame MUST be less than 16383"},
      {{[](SimSetupData& s) { s.WordsPerMinorFrame = 16383; }}, ""},
      {{[](SimSetupData& s) { s.WordsPerMinorFrame = -7; }}, ""},  // no lower bound without SFID
      // Subframe rules only with a subframe mode.
      {{[](SimSetupData& s) { s.NumSubframes = 5000, s.SfIdWordNum = 99999; }}, ""},
      {{sfid, [](SimSetupData& s) { s.NumSubframes = 1025; }}, "Too Many Subframes, Max is 1024"},
      {{sfid, [](SimSetupData& s) { s.NumSubframes = 1024, s.SfIdWordNum = 99999; }},
       "SFID MUST be less than Words Per Minor Frame 256"},
      {{sfid, [](SimSetupData& s) { s.WordsPerMinorFrame = 300, s.SfIdWordNum = 12000; }},
       "SFID MUST be less than Words Per Minor Frame 300"},
      // The SFID word away from the sync words (a 32-bit pattern in 16-bit words leads).
      {{sfid, [](SimSetupData& s) { s.SfIdWordNum = 2; }}, ""},
      {{sfid, [](SimSetupData& s) { s.SfIdWordNum = 1; }}, "SfId Word Must be Greater than 1"},
      {{sfid, fromOne}, "SfId Word Must be Greater than 2"},
      // Counting down from 1, the SFID word is compared with the sync words alone.
      {{sfid, fromOne, [](SimSetupData& s) { s.SubframeDirection = 1; }}, ""},
      {{sfid, fromOne, [](SimSetupData& s) { s.SubframeDirection = 1, s.SfIdWordNum = 1; }},
       "SfId Word Must be Greater than 2"},
      {{sfid, fromOne, [](SimSetupData& s) { s.SubframeDirection = 1, s.SfIdWordNum = 1; },
        [](SimSetupData& s) { s.FrameSyncLength = 33; }},  // 33 bits need three words
       "SfId Word Must be Greater than 3"},
      {{sfid, [](SimSetupData& s) { s.PatternLeads = 0, s.SfIdWordNum = 254; }}, ""},
      {{sfid, [](SimSetupData& s) { s.PatternLeads = 0, s.SfIdWordNum = 255; }},
       "SfId Word Must be Less than 254"},
      {{sfid, [](SimSetupData& s) { s.PatternLeads = 0, s.SubframeDirection = 1; },
        [](SimSetupData& s) { s.SfIdWordNum = 255; }},
       "SfId Word Must be Less than 254"},
      // The counter must fit the SFID word from its start bit.
      {{sfid, [](SimSetupData& s) { s.SfIdStartBit = 4; }},
       "Not enough bits for SF ID for the number of minor frames. Check Start Bit"},
      {{sfid, [](SimSetupData& s) { s.SfIdStartBit = 16; }},
       "SF ID Start Bit MUST be in the range of 0 to 15"},
      {{sfid, [](SimSetupData& s) { s.SfIdStartBit = -1; }},
       "SF ID Start Bit MUST be in the range of 0 to 15"},
      {{sfid, [](SimSetupData& s) { s.Words[2].SimWordLen = 8, s.SfIdStartBit = 8; }},
       "SF ID Start Bit MUST be in the range of 0 to 7"},
      {{sfid, [](SimSetupData& s) { s.Words[2].SimWordLen = 8, s.SfIdStartBit = 7; }}, ""},
      {{sfid, [](SimSetupData& s) { s.SubframeDirection = 1, s.SfIdStartBit = 0; }}, ""},
      {{sfid, [](SimSetupData& s) { s.NumSubframes = -3; }},  // a negative top needs every bit
       "Not enough bits for SF ID for the number of minor frames. Check Start Bit"},
      // A word number below 1 is refused, never read.
      {{sfid, [](SimSetupData& s) { s.SubframeDirection = 1, s.FrameSyncLength = 3; },
        [](SimSetupData& s) { s.SfIdWordNum = 1, s.SfIdStartBit = 0; }},
       ""},
      {{sfid, [](SimSetupData& s) { s.SubframeDirection = 1, s.FrameSyncLength = 3; },
        [](SimSetupData& s) { s.PatternLeads = 0, s.SfIdWordNum = 0, s.SfIdStartBit = 0; }},
       "SFID MUST be greater than 0"},
      {{sfid, [](SimSetupData& s) { s.SubframeDirection = 1, s.FrameSyncLength = 3; },
        [](SimSetupData& s) { s.PatternLeads = 0, s.SfIdWordNum = INT32_MIN; }},
       "SFID MUST be greater than 0"},
      // Hostile numbers do not overflow.
      {{sfid, [](SimSetupData& s) { s.PatternLeads = 0, s.WordsPerMinorFrame = INT32_MIN; },
        [](SimSetupData& s) { s.SfIdWordNum = INT32_MIN; }},
       "SfId Word Must be Less than -2147483650"},
      {{sfid, [](SimSetupData& s) { s.NumSubframes = INT32_MIN, s.FirstSubFrameNum = 1; }},
       "Not enough bits for SF ID for the number of minor frames. Check Start Bit"},
      {{[](SimSetupData& s) { s.SimBitRate = 10, s.SimOutputCode = 18; }}, ""},
      {{[](SimSetupData& s) { s.SimBitRate = 33000000; }}, ""},
  };
  for (const auto& c : cases) {
    auto sim = std::make_unique<progsimulatorclass>();
    for (const Edit& edit : c.edits) edit(sim->Setup);
    std::string message = "stale";
    const bool ok = ValidateSimulatorSetup(*sim, message);
    EXPECT_EQ(ok, message.empty()) << message;
    EXPECT_EQ(message, c.message);
  }
}

// A field outside its list is a corrupt record: it is reset to the defaults, user waves
// kept, with no message, before any rule is looked at.
TEST(SimValidation, CorruptRecordIsResetKeepingUserWaves) {
  const Edit corruptions[] = {
      [](SimSetupData& s) { s.BitOrder = 2; },
      [](SimSetupData& s) { s.BitOrder = -1; },
      [](SimSetupData& s) { s.SubframeMode = 4; },
      [](SimSetupData& s) { s.SubframeDirection = 2; },
      [](SimSetupData& s) { s.PatternLeads = -1; },
      [](SimSetupData& s) { s.SimBitRate = 9; },
      [](SimSetupData& s) { s.SimBitRate = 33000001; },
      [](SimSetupData& s) { s.SimOutputCode = -1; },
      [](SimSetupData& s) { s.SimOutputCode = 19; },
  };
  for (const Edit& corrupt : corruptions) {
    auto sim = std::make_unique<progsimulatorclass>();
    sim->UserWaves[2].NumWords = 7;
    sim->UserDefDynWordFn[2] = "WAVE.R4V8SimUserWave";
    sim->Setup.FrameSyncLength = 99;  // would fail a rule if the reset let it through
    sim->Setup.WordsPerMinorFrame = 99;
    corrupt(sim->Setup);
    std::string message = "stale";
    EXPECT_FALSE(ValidateSimulatorSetup(*sim, message));
    EXPECT_EQ(message, "");
    EXPECT_EQ(sim->Setup.FrameSyncLength, 32);
    EXPECT_EQ(sim->Setup.WordsPerMinorFrame, 256);
    EXPECT_EQ(sim->UserWaves[2].NumWords, 7);
    EXPECT_EQ(sim->UserDefDynWordFn[2], "WAVE.R4V8SimUserWave");
  }
  for (const auto& [value, bits] : {std::pair{0u, 0}, {1u, 1}, {63u, 6}, {64u, 7}, {~0u, 32}})
    EXPECT_EQ(BitsNeeded(value), bits) << value;
}

}  // namespace
