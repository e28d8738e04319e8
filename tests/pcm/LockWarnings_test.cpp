// Warnings for setups the unit loads but no decommutator can follow (or may follow falsely),
// each worked out by hand from a small frame.
#include "pcm/LockWarnings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <memory>
#include <tuple>

#include "app/LoadAll.h"
#include "link/UnitLink.h"
#include "platform/StartDirectory.h"
#include "simulator/Qm48SimulatorUnit.h"
#include "simulator/SimValidation.h"
#include "support/ProgramLog.h"
#include "support/TempDir.h"

namespace {

constexpr int32_t kSfIdMode = 1;
constexpr int32_t kFccMode = 2;
constexpr int32_t kDown = 1;

// 16 words of 16 bits, 4 minor frames, "FE6B2840" leading in words 1-2, the SFID counter
// in word 3, no dynamic or unique words; the data values never hold the pattern.
void SmallFrame(progsimulatorclass& sim) {
  SimSetupData& s = sim.Setup;
  s.WordsPerMinorFrame = 16;
  s.NumSubframes = 4;
  s.SubframeMode = kSfIdMode;
  s.SfIdStartBit = 1;
  for (int i = 0; i < 16; ++i) s.Words[size_t(i)] = {16, static_cast<uint16_t>(0x0101 * i)};
  for (SimDynamicWord& d : s.DynamicWords) d.SimDynamicWordWave = kWaveNothing;
  for (SimUniqueWord& u : s.UniqueWords) u.SimUniqueWordStartWord = 0;
}

void Pattern(progsimulatorclass& sim, const char* hex, int length) {
  std::strcpy(sim.Setup.FrameSyncPattern, hex);
  sim.Setup.FrameSyncLength = length;
}

void Values(progsimulatorclass& sim, std::initializer_list<std::pair<int, uint16_t>> values) {
  for (const auto& [word, value] : values) sim.Setup.Words[size_t(word)].SimValue = value;
}

// The warning for the pattern in the data at `where`.
std::string InData(const std::string& where) {
  return "the frame sync pattern also shows in the fixed words at " + where +
         " of the minor frame: a decommutator may lock there";
}

TEST(LockWarningsTest, EachKindOnASmallFrame) {
  const std::string twelveBits =
      "the frame sync pattern has 12 bits a decommutator compares, fewer than 16: it may lock "
      "on the same bits in the data";
  const struct {
    const char* what;
    std::function<void(progsimulatorclass&)> edit;
    std::string text;  // the one warning, or none
    std::vector<int> words;
  } cases[] = {
      {"a frame anyone can lock to", [](auto&) {}, "", {}},
      // Counting down, validation lets word 2 (the second of two sync words) pass.
      {"the SFID word among the sync words",
       [](auto& sim) {
         sim.Setup.SubframeDirection = kDown;
         sim.Setup.SfIdWordNum = 2;
       },
       "word 2, the subframe ID word, lies among the frame sync words: the pattern is broken "
       "there, and no decommutator can lock to it",
       {1}},
      {"no encoder setting",
       [](auto& sim) { sim.Setup.SimOutputCode = 16; },
       "output code RNRZ17: the unit has no encoder setting for it and sends NRZL (encoder code 0)",
       {}},
      {"a 12-bit pattern", [](auto& sim) { Pattern(sim, "EB9", 12); }, twelveBits, {0}},
      // 32 digits long, but only FE6 is compared.
      {"a pattern of don't-cares",
       [](auto& sim) { Pattern(sim, "FE6XXXXX", 32); },
       twelveBits,
       {0, 1}},
      {"16 compared bits are enough", [](auto& sim) { Pattern(sim, "FE6BXXXX", 32); }, "", {}},
      {"the pattern in the data",
       [](auto& sim) {
         Values(sim, {{9, 0xFE6B}, {10, 0x2840}});
       },
       InData("bit 144 (words 10-11)"),
       {9, 10}},
      // Word 16 and word 1 of the next frame send FE6B FE6B: bit 15 * 16 = 240.
      {"the pattern across the frame's end",
       [](auto& sim) {
         Pattern(sim, "FE6BFE6B", 32);
         Values(sim, {{15, 0xFE6B}});
       },
       InData("bit 240 (from word 16 into the next minor frame)"),
       {15}},
      {"its complement (~FE6B ~2840), with FCC",
       [](auto& sim) {
         sim.Setup.SubframeMode = kFccMode;
         Values(sim, {{4, 0x0194}, {5, 0xD7BF}});
       },
       InData("bit 64 (words 5-6)"),
       {4, 5}},
      {"words the subframe ID counter changes are not fixed",
       [](auto& sim) {
         Values(sim, {{2, 0xFE6B}, {3, 0x2840}});
       },
       "",
       {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    auto sim = std::make_unique<progsimulatorclass>();
    SmallFrame(*sim);
    c.edit(*sim);
    std::string message;
    ASSERT_TRUE(ValidateSimulatorSetup(*sim, message)) << message;
    const std::vector<LockWarning> got =
        LockWarnings(sim->Setup, sim->UserWaves, {sim->DoCrc16, sim->DoCttit, sim->CrcWdNum});
    ASSERT_EQ(got.size(), c.text.empty() ? 0u : 1u) << (got.empty() ? "" : got[0].Text);
    for (const LockWarning& w : got)
      EXPECT_EQ(std::tie(w.Text, w.Words), std::tie(c.text, c.words));
  }
}

// Words from 8192 on share their addresses with the unique word values (8192..8198), the
// common word value (8199), the frame sync table (9216 + n) and the SFID table (10240 + c).
TEST(LockWarningsTest, ALongFrameWritesOverTheUnitsTables) {
  auto sim = std::make_unique<progsimulatorclass>();
  SmallFrame(*sim);
  SimSetupData& s = sim->Setup;
  s.WordsPerMinorFrame = 10300;
  s.NumSubframes = 64;
  s.SfIdStartBit = 5;
  for (int i = 16; i < 10300; ++i) s.Words[size_t(i)] = {16, 0x0505};
  std::string message;
  ASSERT_TRUE(ValidateSimulatorSetup(*sim, message)) << message;
  const std::vector<LockWarning> got = LockWarnings(s, sim->UserWaves, {});
  ASSERT_GE(got.size(), 2u);
  EXPECT_EQ(got[0].Text,
            "words 8192 to 10300 of this long frame share the unit's memory with its unique "
            "word, subframe ID and frame sync tables, and the load writes the word values last, "
            "over those tables");
  // Words 8192..8198, 9217..9218 (the sync slots of words 1 and 2), 10240..10300 (counter
  // values 0..60), and the sync and SFID words that read those tables.
  std::vector<int> words = {0, 1, 2};
  for (int n = 8192; n <= 8198; ++n) words.push_back(n - 1);
  words.push_back(9216);
  words.push_back(9217);
  for (int n = 10240; n <= 10300; ++n) words.push_back(n - 1);
  EXPECT_EQ(got[0].Words, words);
  EXPECT_EQ(got[1].Text,
            "word 8199 shares its memory word with the common word value, which the load writes "
            "over it last");
  EXPECT_EQ(got[1].Words, std::vector<int>{8198});
}

// A load logs each warning (with no port open nothing is sent); working them out leaves the
// record and the random generator as they were.
TEST(LockWarningsTest, TheLoadLogsThemAndTheRecordStays) {
  TempDir dir;  // the log of this test alone
  dir.Enter();
  RecordStartDirectory(true);
  LogStart("1.41", "Qm48", "", "Qm48");
  auto sim = std::make_unique<progsimulatorclass>();
  SmallFrame(*sim);
  sim->Setup.DynamicWords[0] = {5, 0, kWaveRandom};
  sim->Setup.NumSubframes = 1;  // a load resets FirstSubFrameNum of this one
  sim->Setup.FirstSubFrameNum = 1;
  RuntimeSrand(77);
  LockWarnings(sim->Setup, sim->UserWaves, {});
  EXPECT_EQ(RuntimeRandState(), 77u);
  EXPECT_EQ(sim->Setup.FirstSubFrameNum, 1);
  sim->Setup.SimOutputCode = 18;  // RNRZ9
  UnitLink unconnected;
  LoadSimulator(unconnected, *sim);
  LogEnd();
  EXPECT_NE(
      ReadAll(dir.File("Qm48.Log"))
          .find(
              "SIMULATOR SETUP WARNING: output code RNRZ9: the unit has no encoder setting for it "
              "and sends NRZL (encoder code 0)\r\n"),
      std::string::npos);
}

}  // namespace
