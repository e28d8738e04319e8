// The load's command stream (golden streams worked out by hand, the default stream's ends,
// registers and clock bit by bit, the detail log) and the setup's validation before it.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

#include "app/Qm48GlobUnit.h"
#include "platform/StartDirectory.h"
#include "simulator/BitRateSynthesis.h"
#include "simulator/SimKit.h"
#include "simulator/SimRegisters.h"
#include "simulator/SimValidation.h"
#include "support/ProgramLog.h"
#include "support/TempDir.h"

namespace {

using Commands = std::vector<std::string>;

constexpr int32_t kBiphaseL = 3;  // an output code of two line bits a data bit

std::unique_ptr<progsimulatorclass> FreshWithoutFormat() {
  gFormatNumber = 0;
  gFormatName_ = {"", "", "", ""};
  return Fresh();
}

Commands Stream(progsimulatorclass& sim) {
  sim.Prep232SimSetupData(SelectedLoadFormat());
  return SplitCommands(sim.TxBuffer);
}

Commands ReadGolden(const std::string& name) {
  std::ifstream in(std::string(QM48_TEST_DATA_DIR) + "/golden/" + name);
  EXPECT_TRUE(in.good()) << name;
  Commands lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

}  // namespace

// Golden stream 1, worked out by hand command by command: 6 words of 8 bits, 4 minor frames
// counted up from 0 with the SFID in word 3 from bit 7 (shift 6: c << 6), pattern EB90
// leading (words EB, 90), SQUARE in word 4 (64 / 192 around h = 2) and RAMPUP in word 5
// (0, 85, 170, 255), unique word 0 from frame 1 every 2 frames in word 6 (frames 1 and 3,
// mask bit 0) and unique word 2 in frame 3 in word 1 (list index 1, mask bit 1), frame 3
// ends the major frame (0x83), CRC-16 in word 6 (bit 7 with bit 15: 0x8781), 20000 bps NRZL
// (prescale 1: 320000 = 0004 E200; mode 0x22), format 1 "Fmt-A", common value 0x1ABCD sent
// as ABCD.
TEST(SimLoadSequence, GoldenLeadingPatternWithSfId) {
  auto sim = FreshWithoutFormat();
  SimSetupData& s = sim->Setup;
  Apply(s,
        "WordsPerMinorFrame=6 CommonWordLength=8 NumSubframes=4 SubframeMode=1 SfIdWordNum=3 "
        "SfIdStartBit=7 SimBitRate=20000 CommonWordValue=0x1ABCD");
  for (int i = 0; i < 6; ++i) s.Words[i] = {8, static_cast<uint16_t>(0x11 * (i + 1))};
  SetPattern(s, "EB90", 2, 16);
  NoDynamicOrUniqueWords(s);
  s.DynamicWords[0] = {4, 0, kWaveSquare};
  s.DynamicWords[1] = {5, 0, kWaveRampUp};
  s.UniqueWords[0] = {1, 2, 6, 0, 0xBEEF};
  s.UniqueWords[2] = {3, 0, 1, 0, 0x1234};
  sim->DoCrc16 = true;
  sim->CrcWdNum = 5;
  gFormatNumber = 1;
  gFormatName_[1] = "Fmt-A";
  EXPECT_EQ(Stream(*sim), ReadGolden("small_leading_sfid.stream"));
}

// Golden stream 2, worked out by hand: 8 words of 16 bits except word 3 (12 bits), FCC
// counting down from 1 over 5 frames (the counter runs 1..3, frame attributes at
// 32768 + f + 1 for f = 0..2 with the end mark on f = 0), SFID in word 2 from bit 11
// (shift 10), a 6-bit binary pattern 1X0110 trailing with LSB-first words (the reversed
// 16-character chunk keeps "XXXX01": the last word is 0x8000), USERDEF in word 3 every 4
// words (words 3 and 7, type 3) from slot 1's own table (0AAA, 0BBB, then the default
// 0CCC), unique word slot 1 from frame 2 (+1) in words 4 and 7, CCITT CRC in word 7,
// 100 bps BIOL with convolution 2 (600 bps: prescale 2, 600 << 8 = 0002 5800; mode 0x4B;
// PCM 8 + 0x300 + swap 0x400 + differential 0x1000), FAC on (frame start 3 + 0x2000 +
// 0x4000 + 0x8000), format 3 named "LONGNAME9" (cut to 8, lower case), common value -1.
TEST(SimLoadSequence, GoldenTrailingLsbFirstDownCounter) {
  auto sim = FreshWithoutFormat();
  SimSetupData& s = sim->Setup;
  for (int i = 0; i < 8; ++i) s.Words[i] = {16, static_cast<uint16_t>(0x1001 + i)};
  Apply(s,
        "WordsPerMinorFrame=8 CommonWordLength=16 Word3Len=12 NumSubframes=5 SubframeMode=2 "
        "SubframeDirection=1 FirstSubFrameNum=1 SfIdWordNum=2 SfIdStartBit=11 PatternLeads=0 "
        "BitOrder=1 SimBitRate=100 SimOutputCode=3 Convolution=2 FacEnable=1 SwapG1G2=1 "
        "DiffEncodingEnable=1 CommonWordValue=-1");
  SetPattern(s, "1X0110", 0, 6);
  NoDynamicOrUniqueWords(s);
  s.DynamicWords[1] = {3, 4, kWaveUserDef};
  sim->UserWaves[1].NumWords = 2;
  sim->UserWaves[1].Samples[0] = 0x0AAA;
  sim->UserWaves[1].Samples[1] = 0x0BBB;
  sim->UserWaves[1].DefaultValue = 0x0CCC;
  s.UniqueWords[0] = {0, 0, 0, 0, 0x1111};  // start word 0: not active
  s.UniqueWords[1] = {2, 2, 4, 3, 0x5555};
  s.UniqueWords[3] = {0, 0, -1, 0, 0x2222};  // negative start word: not active
  sim->DoCttit = true;
  sim->CrcWdNum = 6;
  gFormatNumber = 3;
  gFormatName_[3] = "LONGNAME9";
  EXPECT_EQ(Stream(*sim), ReadGolden("small_trailing_lsb_down.stream"));
  EXPECT_EQ(s.FirstSubFrameNum, 1);  // no reset: the counter's last value differs
}

// The default stream's ends; built again with detail logging on, it starts from an empty
// buffer and logs its start, its end and every command (the first build, nothing).
TEST(SimLoadSequence, DefaultStreamAndItsDetailLog) {
  TempDir dir;
  dir.Enter();
  RecordStartDirectory(true);
  LogStart("1.41", "Qm48", "", "Qm48");
  auto sim = FreshWithoutFormat();
  const Commands stream = Stream(*sim);
  // halt, format, name; 64 frame attributes, 256 word attributes, 7 unique values,
  // 5 x 64 wave values, 64 SFID values, 2 sync words, the constant, 256 word values,
  // clock, three registers, common value, save, run.
  ASSERT_EQ(stream.size(), 3u + 64 + 256 + 7 + 320 + 64 + 2 + 1 + 256 + 1 + 3 + 1 + 2);
  EXPECT_EQ(Commands(stream.begin(), stream.begin() + 4),
            (Commands{"0 R", "0 N", "H        ", "007F 8000 M"}));
  EXPECT_EQ(Commands(stream.end() - 7, stream.end()),
            (Commands{"000F A000 K", "0000 0001 T", "0000 0002 T", "9000 0000 T", "0001 2007 M",
                      "S", "1 R"}));
  // The sync words, the constant and the first word value (346, the generator's first).
  const auto constant = std::ranges::find(stream, "0800 0000 M");
  ASSERT_NE(constant, stream.end());
  EXPECT_EQ(Commands(constant - 2, constant + 2),
            (Commands{"FE6B 2401 M", "2840 2402 M", "0800 0000 M", "015A 0001 M"}));

  gDebugLogging = true;
  sim->Prep232SimSetupData(SelectedLoadFormat());
  gDebugLogging = false;
  LogEnd();
  EXPECT_EQ(SplitCommands(sim->TxBuffer).size(), stream.size());
  const std::string log = ReadAll(dir.File("Qm48.Log"));
  const size_t start = log.find("SIMULATOR Prep232SimSetupData Routine START");
  EXPECT_LT(start, log.find("      Memory Write ---  : 007F 8000 M"));
  EXPECT_LT(log.find("      Run/Halt Write ---  : 1 R"),
            log.find("SIMULATOR Prep232SimSetupData Routine END"));
  size_t commands = 0;
  for (size_t p = 0; (p = log.find(" ---  : ", p)) != std::string::npos; ++p) ++commands;
  EXPECT_EQ(commands, stream.size());
}

// The three register writes, bit by bit: mode (CTTIT 0, CRC 1, LSB first 3, prescale 5..6),
// PCM encoder (the unit's code for the output code, convolution 8..9, swap 10, invert 11,
// differential 12) and frame start (start value, up 12, FAC 13, FCC 14, always 15).
TEST(SimLoadSequence, RegisterBitsWorkedByHand) {
  // Edits, CRC-16, CTTIT; mode, PCM encoder, frame start.
  const std::tuple<const char*, bool, bool, uint16_t, uint16_t, uint16_t> cases[] = {
      {"", false, true, 0x0003, 0x0000, 0x9000},
      {"BitOrder=1 SimBitRate=20000", true, false, 0x002A, 0, 0x9000},
      {"SimBitRate=10", false, false, 0x0060, 0x0000, 0x9000},
      {"SimOutputCode=4 Convolution=1", false, false, 0, 0x010A, 0x9000},
      {"SimOutputCode=15 SwapG1G2=1 InvertG1=1", false, false, 0, 0x0C20, 0x9000},
      {"SimOutputCode=16 DiffEncodingEnable=1", false, false, 0, 0x1000, 0x9000},
      {"SimOutputCode=99", false, false, 0, 0, 0x9000},  // unknown: 0
      {"SimOutputCode=-1", false, false, 0, 0, 0x9000},
      {"FirstSubFrameNum=1 SubframeMode=2", false, false, 0, 0, 0xD001},
      {"SubframeDirection=1 FacEnable=1", false, false, 0, 0, 0xA03F},
      {"SubframeDirection=1 NumSubframes=5 FirstSubFrameNum=1", false, false, 0, 0, 0x8003},
      // The frame start flags are added to the start value: a start of 0x1000 carries.
      {"FirstSubFrameNum=4096 FacEnable=1", false, false, 0, 0, 0xC000},
  };
  for (const auto& [edits, crc16, cttit, mode, pcm, start] : cases) {
    SimSetupData s;
    Apply(s, edits);
    EXPECT_EQ(ModeRegisterValue(s, crc16, cttit), mode) << edits;
    EXPECT_EQ(PcmEncoderRegisterValue(s), pcm) << edits;
    EXPECT_EQ(FrameStartRegisterValue(s), start) << edits;
  }
  // A format number outside the four selects no name (7 goes out as "7 N").
  for (int32_t format : {-12, 7}) {
    auto sim = FreshWithoutFormat();
    gFormatNumber = format;
    gFormatName_ = {"a", "b", "c", "d"};
    const Commands stream = Stream(*sim);
    EXPECT_EQ(stream.at(1).back(), 'N');
    EXPECT_EQ(stream.at(2), "H        ");
    EXPECT_TRUE(format != 7 || stream.at(1) == "7 N") << stream.at(1);
  }
  // The CRC word's end-of-frame attribute carries the CRC mark only with a CRC chosen.
  auto sim = FreshWithoutFormat();
  sim->CrcWdNum = 255;
  for (const char* attribute : {"8F00 4100 M", "8F80 4100 M"}) {
    const Commands stream = Stream(*sim);
    EXPECT_NE(std::ranges::find(stream, attribute), stream.end()) << attribute;
    sim->DoCrc16 = true;
  }
}

TEST(BitRateSynthesis, WorkedExamplesRangeBoundariesAndLineRates) {
  // Bit rate, output code, convolution; prescale, clock rate.
  const std::tuple<uint32_t, int32_t, int32_t, int, uint32_t> rows[] = {
      {1024000, kBiphaseL, 0, 0, 2048000u},
      {10, 0, 0, 3, 40960u},
      {20000000, kBiphaseL, 2, 0, 33000000u},
      {63, 0, 0, 3, 63u << 12},
      {64, 0, 0, 2, 64u << 8},
      {16383, 0, 0, 2, 16383u << 8},
      {16384, 0, 0, 1, 16384u << 4},
      {262143, 0, 0, 1, 262143u << 4},
      {262144, 0, 0, 0, 262144u},
      {32, kBiphaseL, 0, 2, 64u << 8},
      {21, 0, 2, 3, 63u << 12},
      {22, 0, 2, 2, 66u << 8},
      {8192, 0, 1, 1, 16384u << 4},
      {131072, 13, 0, 0, 262144u},
      {33000000, 0, 0, 0, 33000000u},
      {16500001, kBiphaseL, 0, 0, 33000000u},
      // Unchecked rates do not wrap; convolution values other than 1 and 2 add no factor.
      {0, 0, 0, 3, 0u},
      {0xFFFFFFFFu, kBiphaseL, 2, 0, 33000000u},
      {1000000, 0, 3, 0, 1000000u},
      {1000000, 0, -1, 0, 1000000u},
  };
  for (const auto& [bitRate, code, convolution, prescale, clockRate] : rows) {
    SimSetupData setup;
    std::tie(setup.SimBitRate, setup.SimOutputCode, setup.Convolution) =
        std::tie(bitRate, code, convolution);
    const SimClockSetting c = GetSimClockRatePrescaleNcoRate(setup);
    EXPECT_EQ(std::tie(c.Prescale, c.ClockRate), std::tie(prescale, clockRate)) << bitRate;
  }
  // Two line bits a data bit except for the NRZ codes; convolution adds 2x or 3x.
  for (int32_t code = 0; code <= 18; ++code) {
    for (int32_t convolution : {0, 1, 2}) {
      SimSetupData setup;
      std::tie(setup.SimBitRate, setup.SimOutputCode, setup.Convolution) =
          std::make_tuple(1000u, code, convolution);
      const bool nrz = code <= 2 || code == 10 || code == 14 || code == 15;
      EXPECT_EQ(SimLineRate(setup), (nrz ? 1000u : 2000u) * (convolution + 1))
          << code << " " << convolution;
    }
  }
}

// The operator's message for each rule, the first broken one in the order they are checked.
TEST(SimValidation, EachRuleHasItsMessageAndACorruptRecordIsReset) {
  const std::string sfid = "SubframeMode=1 ",
                    fromOne = "FirstSubFrameNum=1 SfIdWordNum=2 SfIdStartBit=6 ";
  const std::string bits =
      "Not enough bits for SF ID for the number of minor frames. Check Start Bit";
  // A field outside its list is a corrupt record: reset to the defaults, user waves kept,
  // with no message, before any rule (that these sizes would fail) is looked at.
  const std::string corrupt = "FrameSyncLength=99 WordsPerMinorFrame=99 ", reset = "(reset)";
  std::vector<std::pair<std::string, std::string>> cases = {
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
  for (const char* field :
       {"BitOrder=2", "BitOrder=-1", "SubframeMode=4", "SubframeDirection=2", "PatternLeads=-1",
        "SimBitRate=9", "SimBitRate=33000001", "SimOutputCode=-1", "SimOutputCode=19"})
    cases.push_back({corrupt + field, reset});
  for (const auto& [edits, expected] : cases) {
    auto sim = std::make_unique<progsimulatorclass>();
    sim->UserWaves[2].NumWords = 7;
    sim->UserDefDynWordFn[2] = "WAVE.R4V8SimUserWave";
    Apply(sim->Setup, edits);
    std::string message = "stale";
    const bool ok = ValidateSimulatorSetup(*sim, message);
    EXPECT_EQ(ok, message.empty() && expected != reset) << message;
    EXPECT_EQ(message, expected == reset ? "" : expected) << edits;
    if (expected != reset) continue;
    EXPECT_EQ(std::tie(sim->Setup.FrameSyncLength, sim->Setup.WordsPerMinorFrame),
              std::make_tuple(32, 256));
    EXPECT_EQ(sim->UserWaves[2].NumWords, 7);
    EXPECT_EQ(sim->UserDefDynWordFn[2], "WAVE.R4V8SimUserWave");
  }
  for (const auto& [value, bits] : {std::pair{0u, 0}, {1u, 1}, {63u, 6}, {64u, 7}, {~0u, 32}})
    EXPECT_EQ(BitsNeeded(value), bits) << value;
}
