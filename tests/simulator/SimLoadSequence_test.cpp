// The load's command stream: two golden streams worked out by hand, the default stream's
// ends, the registers and the clock value bit by bit, and the detail log of a load.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

#include "app/Qm48GlobUnit.h"
#include "link/TransmitBuffer.h"
#include "platform/StartDirectory.h"
#include "simulator/BitRateSynthesis.h"
#include "simulator/SimKit.h"
#include "simulator/SimRegisters.h"
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

bool Holds(const Commands& stream, const std::string& command) {
  return std::find(stream.begin(), stream.end(), command) != stream.end();
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

TEST(SimLoadSequence, DefaultStreamBeginsAndEndsAsTheUnitExpects) {
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
  // The constant and the first word value follow the sync words.
  const auto constant = std::find(stream.begin(), stream.end(), "0800 0000 M");
  ASSERT_NE(constant, stream.end());
  EXPECT_EQ(*(constant - 2), "FE6B 2401 M");
  EXPECT_EQ(*(constant - 1), "2840 2402 M");
  EXPECT_EQ(*(constant + 1), "015A 0001 M");  // 346, the generator's first number
  // A second build starts from an empty buffer.
  const uint32_t fill = sim->TxBuffer.Fill();
  sim->Prep232SimSetupData(SelectedLoadFormat());
  EXPECT_EQ(sim->TxBuffer.Fill(), fill);
}

// The three register writes, bit by bit: mode (CTTIT 0, CRC 1, LSB first 3, prescale 5..6),
// PCM encoder (the unit's code for the output code, convolution 8..9, swap 10, invert 11,
// differential 12) and frame start (start value, up 12, FAC 13, FCC 14, always 15).
TEST(SimLoadSequence, RegisterBitsWorkedByHand) {
  const struct {
    const char* edits;
    bool crc16, cttit;
    uint16_t mode, pcm, start;
  } cases[] = {
      {"", false, false, 0x0000, 0x0000, 0x9000},
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
  for (const auto& c : cases) {
    SimSetupData s;
    Apply(s, c.edits);
    EXPECT_EQ(ModeRegisterValue(s, c.crc16, c.cttit), c.mode) << c.edits;
    EXPECT_EQ(PcmEncoderRegisterValue(s), c.pcm) << c.edits;
    EXPECT_EQ(FrameStartRegisterValue(s), c.start) << c.edits;
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
  EXPECT_TRUE(Holds(Stream(*sim), "8F00 4100 M"));
  sim->DoCrc16 = true;
  EXPECT_TRUE(Holds(Stream(*sim), "8F80 4100 M"));
}

// With detail logging on, the build logs its start and end and every command it writes;
// with it off, nothing.
TEST(SimLoadSequence, DetailLoggingWritesEveryCommand) {
  TempDir dir;
  dir.Enter();
  RecordStartDirectory(true);
  LogStart("1.41", "Qm48", "", "Qm48");
  auto sim = FreshWithoutFormat();
  sim->Prep232SimSetupData(SelectedLoadFormat());  // not logged
  gDebugLogging = true;
  sim->Prep232SimSetupData(SelectedLoadFormat());
  gDebugLogging = false;
  LogEnd();
  const std::string log = ReadAll(dir.File("Qm48.Log"));
  const size_t start = log.find("SIMULATOR Prep232SimSetupData Routine START");
  EXPECT_LT(start, log.find("      Memory Write ---  : 007F 8000 M"));
  EXPECT_LT(log.find("      Run/Halt Write ---  : 1 R"),
            log.find("SIMULATOR Prep232SimSetupData Routine END"));
  size_t commands = 0;
  for (size_t p = 0; (p = log.find(" ---  : ", p)) != std::string::npos; ++p) ++commands;
  EXPECT_EQ(commands, SplitCommands(sim->TxBuffer).size());
}

TEST(BitRateSynthesis, WorkedExamplesAndRangeBoundaries) {
  const struct {
    uint32_t bitRate;
    int32_t code, convolution;
    int prescale;
    uint32_t clockRate;
  } rows[] = {
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
  for (const auto& row : rows) {
    SimSetupData setup;
    setup.SimBitRate = row.bitRate;
    setup.SimOutputCode = row.code;
    setup.Convolution = row.convolution;
    const SimClockSetting c = GetSimClockRatePrescaleNcoRate(setup);
    EXPECT_EQ(c.Prescale, row.prescale) << row.bitRate;
    EXPECT_EQ(c.ClockRate, row.clockRate) << row.bitRate;
  }
}

// Two line bits a data bit except for the NRZ codes; convolution adds 2x or 3x.
TEST(BitRateSynthesis, LineRateOfEveryCode) {
  for (int32_t code = 0; code <= 18; ++code) {
    for (int32_t convolution : {0, 1, 2}) {
      SimSetupData setup;
      setup.SimBitRate = 1000;
      setup.SimOutputCode = code;
      setup.Convolution = convolution;
      const bool nrz = code <= 2 || code == 10 || code == 14 || code == 15;
      EXPECT_EQ(SimLineRate(setup), (nrz ? 1000u : 2000u) * (convolution + 1))
          << code << " " << convolution;
    }
  }
}
