#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "app/Qm48GlobUnit.h"
#include "link/TransmitBuffer.h"
#include "platform/StartDirectory.h"
#include "simulator/Qm48SimulatorUnit.h"
#include "support/ProgramLog.h"
#include "support/TempDir.h"

namespace {

using Commands = std::vector<std::string>;

std::unique_ptr<progsimulatorclass> Fresh() {
  RuntimeSrand(1);
  gFormatNumber = 0;
  gFormatName_ = {"", "", "", ""};
  return std::make_unique<progsimulatorclass>();
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

void SetPattern(SimSetupData& s, const char* text, int radix, int length) {
  std::memset(s.FrameSyncPattern, 0, sizeof s.FrameSyncPattern);
  std::strcpy(s.FrameSyncPattern, text);
  s.FsPatternRadix = radix;
  s.FrameSyncLength = length;
}

void NoDynamicOrUniqueWords(SimSetupData& s) {
  for (SimDynamicWord& d : s.DynamicWords) d.SimDynamicWordWave = kWaveNothing;
  for (SimUniqueWord& u : s.UniqueWords) u.SimUniqueWordStartWord = 0;
}

void ExpectSameStream(const Commands& actual, const Commands& expected) {
  ASSERT_EQ(actual.size(), expected.size());
  for (size_t i = 0; i < actual.size(); ++i) EXPECT_EQ(actual[i], expected[i]) << "command " << i;
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
  auto sim = Fresh();
  SimSetupData& s = sim->Setup;
  s.WordsPerMinorFrame = 6;
  s.CommonWordLength = 8;
  for (int i = 0; i < 6; ++i) s.Words[i] = {8, static_cast<uint16_t>(0x11 * (i + 1))};
  s.NumSubframes = 4;
  s.SubframeMode = 1;
  s.SfIdWordNum = 3;
  s.SfIdStartBit = 7;
  SetPattern(s, "EB90", 2, 16);
  NoDynamicOrUniqueWords(s);
  s.DynamicWords[0] = {4, 0, kWaveSquare};
  s.DynamicWords[1] = {5, 0, kWaveRampUp};
  s.UniqueWords[0] = {1, 2, 6, 0, 0xBEEF};
  s.UniqueWords[2] = {3, 0, 1, 0, 0x1234};
  s.SimBitRate = 20000;
  s.CommonWordValue = 0x1ABCD;
  sim->DoCrc16 = true;
  sim->CrcWdNum = 5;
  gFormatNumber = 1;
  gFormatName_[1] = "Fmt-A";
  ExpectSameStream(Stream(*sim), ReadGolden("small_leading_sfid.stream"));
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
  auto sim = Fresh();
  SimSetupData& s = sim->Setup;
  s.WordsPerMinorFrame = 8;
  s.CommonWordLength = 16;
  for (int i = 0; i < 8; ++i) s.Words[i] = {16, static_cast<uint16_t>(0x1001 + i)};
  s.Words[2].SimWordLen = 12;
  s.NumSubframes = 5;
  s.SubframeMode = 2;
  s.SubframeDirection = 1;
  s.FirstSubFrameNum = 1;
  s.SfIdWordNum = 2;
  s.SfIdStartBit = 11;
  SetPattern(s, "1X0110", 0, 6);
  s.PatternLeads = 0;
  s.BitOrder = 1;
  NoDynamicOrUniqueWords(s);
  s.DynamicWords[1] = {3, 4, kWaveUserDef};
  sim->UserWaves[1].NumWords = 2;
  sim->UserWaves[1].Samples[0] = 0x0AAA;
  sim->UserWaves[1].Samples[1] = 0x0BBB;
  sim->UserWaves[1].DefaultValue = 0x0CCC;
  s.UniqueWords[0] = {0, 0, 0, 0, 0x1111};  // start word 0: not active
  s.UniqueWords[1] = {2, 2, 4, 3, 0x5555};
  s.UniqueWords[3] = {0, 0, -1, 0, 0x2222};  // negative start word: not active
  s.SimBitRate = 100;
  s.SimOutputCode = 3;
  s.Convolution = 2;
  s.FacEnable = true;
  s.SwapG1G2 = true;
  s.DiffEncodingEnable = true;
  s.CommonWordValue = -1;
  sim->DoCttit = true;
  sim->CrcWdNum = 6;
  gFormatNumber = 3;
  gFormatName_[3] = "LONGNAME9";
  ExpectSameStream(Stream(*sim), ReadGolden("small_trailing_lsb_down.stream"));
  EXPECT_EQ(s.FirstSubFrameNum, 1);  // no reset: the counter's last value differs
}

TEST(SimLoadSequence, DefaultStreamBeginsAndEndsAsTheUnitExpects) {
  auto sim = Fresh();
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

TEST(SimLoadSequence, RegistersAndCrcWord) {
  auto sim = Fresh();
  sim->DoCrc16 = true;
  sim->CrcWdNum = 255;
  Commands stream = Stream(*sim);
  EXPECT_NE(std::find(stream.begin(), stream.end(), "0002 0001 T"), stream.end());
  EXPECT_NE(std::find(stream.begin(), stream.end(), "8F80 4100 M"), stream.end());
  // With both flags off the CRC word number marks nothing.
  sim->DoCrc16 = false;
  stream = Stream(*sim);
  EXPECT_NE(std::find(stream.begin(), stream.end(), "8F00 4100 M"), stream.end());
  EXPECT_NE(std::find(stream.begin(), stream.end(), "0000 0001 T"), stream.end());

  sim->Setup.SubframeDirection = 1;  // down from 0 over 64 frames: start 63, no UP bit
  stream = Stream(*sim);
  EXPECT_EQ(stream[stream.size() - 4], "803F 0000 T");
  // The frame start flags are added to the start value: a start of 0x1000 carries.
  sim->Setup.SubframeDirection = 0;
  sim->Setup.FirstSubFrameNum = 0x1000;
  sim->Setup.FacEnable = true;
  stream = Stream(*sim);
  EXPECT_EQ(stream[stream.size() - 4], "C000 0000 T");
}

TEST(SimLoadSequence, DetailLoggingWritesLabelsAndEveryCommand) {
  TempDir dir;
  dir.Enter();
  RecordStartDirectory(true);
  LogStart("1.41", "Qm48", "", "Qm48");
  auto sim = Fresh();
  gDebugLogging = false;
  sim->Prep232SimSetupData(SelectedLoadFormat());
  gDebugLogging = true;
  sim->Prep232SimSetupData(SelectedLoadFormat());
  gDebugLogging = false;
  LogEnd();

  std::ifstream in(dir.File("Qm48.Log"), std::ios::binary);
  std::stringstream all;
  all << in.rdbuf();
  std::vector<std::pair<std::string, std::string>> lines;  // tag, message
  std::string line;
  while (std::getline(all, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    // "TAG  STAMP  message": the tag is at least six digits, the stamp and blanks 23 characters.
    const size_t tagEnd = line.find(' ');
    if (tagEnd != std::string::npos && line.size() > tagEnd + 23)
      lines.push_back({line.substr(0, tagEnd), line.substr(tagEnd + 23)});
  }
  auto at = [&](const std::string& message) {
    auto it = std::find_if(lines.begin(), lines.end(),
                           [&](const auto& l) { return l.second == message; });
    return it;
  };
  const char* labels[] = {"SIMULATOR Prep232SimSetupData Routine START",
                          "The Setup Data Used is as follow:",
                          "Stop Running",
                          "      Run/Halt Write ---  : 0 R",
                          "SetFormatNumber()",
                          "      Format Number Write ---  : 0 N",
                          "SetFormatName()",
                          "      Format Name Write ---  : <H        >",
                          "SetFrameAttributes()",
                          "      Memory Write ---  : 007F 8000 M",
                          "SetWordAttributes()",
                          "SetUniqueWordValues()",
                          "SetWaveWords()",
                          "SetSfIdValue()",
                          "SetFrameSyncPattern()",
                          "dunno why this is done",
                          "SetCommonDataValues()",
                          "SetBitRate()",
                          "      Bitrate Write ---  : 000F A000 K",
                          "SetModeReg()",
                          "      Mode Reg Write ---  : 0000 0001 T",
                          "SetPcmOutput()",
                          "      PCM Encoder Write ---  : 0000 0002 T",
                          "SetFirstFrame()",
                          "      Frame Start Write ---  : 9000 0000 T",
                          "SetCommonWordValue()",
                          "Save Format To Flash",
                          "      Save Format Write ---  : S",
                          "Restart Running",
                          "      Run/Halt Write ---  : 1 R",
                          "SIMULATOR Prep232SimSetupData Routine END",
                          "--------------------------------------------"};
  auto previous = lines.begin();
  for (const char* label : labels) {
    auto it = at(label);
    ASSERT_NE(it, lines.end()) << label;
    EXPECT_GT(it, previous) << label;  // in order, and only from the logged build
    previous = it;
  }
  EXPECT_EQ(at("      Memory Write ---  : 007F 8000 M")->first, "032768");
  EXPECT_EQ(at("      Format Name Write ---  : <H        >")->first, "000009");
  EXPECT_EQ(at("SetBitRate()")->first, "000001");
  EXPECT_EQ(at("      Bitrate Write ---  : 000F A000 K")->first, "1024000");
  EXPECT_EQ(at("      Mode Reg Write ---  : 0000 0001 T")->first, "000001");
  EXPECT_EQ(at("      Run/Halt Write ---  : 1 R")->first, "000001");
  // One line per command of the build, and none from the quiet build.
  const auto commands = std::count_if(lines.begin(), lines.end(), [](const auto& l) {
    return l.second.rfind("      ", 0) == 0 && l.second.find(" ---  : ") != std::string::npos;
  });
  EXPECT_EQ(static_cast<size_t>(commands), SplitCommands(sim->TxBuffer).size());
}

namespace {

// A setup inside the unit's limits, with every field drawn over its legal range.
void RandomValidSetup(progsimulatorclass& sim, std::mt19937& rng) {
  auto in = [&](int lo, int hi) { return lo + static_cast<int>(rng() % (hi - lo + 1)); };
  SimSetupData& s = sim.Setup;
  s.WordsPerMinorFrame = rng() % 8 == 0 ? in(3, 16383) : in(3, 300);
  s.NumSubframes = rng() % 4 == 0 ? in(1, 1024) : in(1, 70);
  s.SubframeMode = in(0, 3);
  s.SubframeDirection = in(0, 1);
  s.FirstSubFrameNum = in(0, 1);
  s.PatternLeads = in(0, 1);
  s.BitOrder = in(0, 1);
  s.CommonWordLength = in(1, 16);
  for (int i = 0; i < s.WordsPerMinorFrame; ++i)
    s.Words[i] = {static_cast<uint16_t>(rng() % 3 == 0 ? in(1, 16) : s.CommonWordLength),
                  static_cast<uint16_t>(rng())};
  const int radix = in(0, 2);
  const char* digits[] = {"01X", "01234567X", "0123456789ABCDEFX"};
  const int digitCount = static_cast<int>(std::strlen(digits[radix]));
  std::string text;
  for (int i = in(1, 20); i > 0; --i) text += digits[radix][rng() % digitCount];
  SetPattern(s, text.c_str(), radix, in(3, 64));
  s.SfIdWordNum = in(1, s.WordsPerMinorFrame);
  s.SfIdStartBit = in(0, 15);
  for (SimDynamicWord& d : s.DynamicWords)
    d = {in(-3, s.WordsPerMinorFrame + 3), rng() % 3 == 0 ? in(-2, 40) : 0, in(0, 8)};
  for (UserWaveTable& w : sim.UserWaves) {
    w.NumWords = in(0, 1024);
    for (uint16_t& v : w.Samples) v = static_cast<uint16_t>(rng());
    w.DefaultValue = static_cast<uint16_t>(rng());
  }
  for (SimUniqueWord& u : s.UniqueWords)
    u = {in(-2, s.NumSubframes + 2), in(-1, 5), in(-2, s.WordsPerMinorFrame + 2),
         rng() % 3 == 0 ? in(-1, 30) : 0, static_cast<uint16_t>(rng())};
  s.SimBitRate = static_cast<uint32_t>(in(10, 33000000));
  s.SimOutputCode = in(0, 18);
  s.Convolution = in(0, 3);
  s.FacEnable = rng() % 2;
  s.SwapG1G2 = rng() % 2;
  s.InvertG1 = rng() % 2;
  s.DiffEncodingEnable = rng() % 2;
  s.CommonWordValue = static_cast<int32_t>(rng());
  sim.DoCrc16 = rng() % 3 == 0;
  sim.DoCttit = !sim.DoCrc16 && rng() % 3 == 0;
  sim.CrcWdNum = in(-1, s.WordsPerMinorFrame - 1);
  gFormatNumber = in(0, 3);
  gFormatName_[gFormatNumber] = rng() % 2 ? "HGZ WQR1" : "x";
}

// The counter range as the setup describes it: last from the direction, the one-value
// counter reset to 0 .. 255.
struct Counter {
  int64_t low, high, first;
};
Counter CounterOf(int64_t first, int64_t frames, int32_t direction) {
  int64_t last = direction == 0 ? first + frames - 1 : frames - first - 1;
  if (last == first) {
    first = 0;
    last = 255;
  }
  return {std::min(first, last), std::max(first, last), first};
}

struct MemoryCommand {
  uint32_t value, address;
};
// "vvvv aaaa L": four hex digits, a space, four hex digits, a space and the letter.
bool ParseTwoHex(const std::string& text, char letter, uint32_t& first, uint32_t& second) {
  auto hex4 = [&](size_t at, uint32_t& out) {
    out = 0;
    for (size_t i = at; i < at + 4; ++i) {
      const char c = text[i];
      if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'))) return false;
      out = out * 16 + static_cast<uint32_t>(c <= '9' ? c - '0' : c - 'A' + 10);
    }
    return true;
  };
  return text.size() == 11 && text[4] == ' ' && text[9] == ' ' && text[10] == letter &&
         hex4(0, first) && hex4(5, second);
}
bool ParseMemory(const std::string& text, MemoryCommand& out) {
  return ParseTwoHex(text, 'M', out.value, out.address);
}
bool IsCommand(const std::string& text, char letter, int64_t secondArgument = -1) {
  uint32_t first = 0, second = 0;
  return ParseTwoHex(text, letter, first, second) &&
         (secondArgument < 0 || second == static_cast<uint32_t>(secondArgument));
}

}  // namespace

// Random setups inside the unit's limits: the stream cuts back into the commands it was
// written as (their bytes back to back are the buffer), every command has its letter's
// form, and the memory writes follow the load order with the addresses of the unit's map.
TEST(SimLoadSequence, RandomSetupsFollowTheMemoryMapAndCutBackIntoTheirCommands) {
  std::mt19937 rng(20261206);
  for (int round = 0; round < 150; ++round) {
    SCOPED_TRACE(round);
    auto sim = Fresh();
    RandomValidSetup(*sim, rng);
    const SimSetupData& s = sim->Setup;
    const Counter frames = CounterOf(s.FirstSubFrameNum, s.NumSubframes, s.SubframeDirection);
    const Counter later = CounterOf(frames.first, s.NumSubframes, s.SubframeDirection);
    int activeDynamic = 0;
    for (const SimDynamicWord& d : s.DynamicWords) activeDynamic += d.SimDynamicWordWave != 0;
    const int W = s.WordsPerMinorFrame;

    const Commands stream = Stream(*sim);
    std::string joined;
    for (const std::string& c : stream) joined += c;
    ASSERT_EQ(joined, std::string(sim->TxBuffer.Bytes().begin(), sim->TxBuffer.Bytes().end()));

    size_t at = 0;
    auto next = [&]() -> const std::string& {
      static const std::string none;
      return at < stream.size() ? stream[at++] : none;
    };
    auto memory = [&](int64_t address) {
      MemoryCommand m{};
      const std::string& text = next();
      EXPECT_TRUE(ParseMemory(text, m)) << text;
      EXPECT_EQ(m.address, static_cast<uint32_t>(address)) << text;
      return m;
    };
    ASSERT_EQ(next(), "0 R");
    ASSERT_EQ(next(), std::to_string(gFormatNumber) + " N");
    ASSERT_EQ(next().size(), 9u);
    for (int64_t c = frames.low; c <= frames.high; ++c) {
      const MemoryCommand m = memory(32768 + c);
      ASSERT_EQ(m.value & 0xFF00, 0u);
    }
    for (int n = 1; n <= W; ++n) {
      const MemoryCommand m = memory(16384 + n);
      ASSERT_EQ((m.value & 0x8000) != 0, n == W);
      ASSERT_EQ((m.value & 0x0080) != 0, (sim->DoCrc16 || sim->DoCttit) && sim->CrcWdNum == n - 1);
      ASSERT_EQ((m.value >> 8) & 15, (s.Words[n - 1].SimWordLen - 1u) & 15);
    }
    for (int k = 0; k < 7; ++k) memory(8192 + k);
    for (int k = 0; k < activeDynamic; ++k)
      for (int64_t c = later.low; c <= later.high; ++c) memory(11264 + 1024 * k + c);
    for (int64_t c = later.low; c <= later.high; ++c) memory(10240 + c);
    // Frame sync words, first word of the frame first, then the constant.
    MemoryCommand m{};
    uint32_t previous = 0;
    int syncWords = 0;
    while (ParseMemory(stream[at], m) && m.address != 0) {
      ASSERT_GE(m.address, 9216u);
      ASSERT_LT(m.address, 10240u);
      if (syncWords > 0) {
        ASSERT_EQ(m.address, 9216 + (previous - 9216 + 1) % 1024);
      }
      previous = m.address;
      ++syncWords;
      ++at;
    }
    ASSERT_LE(syncWords, 22);
    ASSERT_EQ(next(), "0800 0000 M");
    for (int n = 1; n <= W; ++n) ASSERT_EQ(memory(n).value, s.Words[n - 1].SimValue);
    ASSERT_TRUE(IsCommand(next(), 'K'));
    ASSERT_TRUE(IsCommand(next(), 'T', 1));
    ASSERT_TRUE(IsCommand(next(), 'T', 2));
    ASSERT_TRUE(IsCommand(next(), 'T', 0));
    ASSERT_EQ(memory(8199).value, static_cast<uint32_t>(s.CommonWordValue) & 0xFFFF);
    ASSERT_EQ(next(), "S");
    ASSERT_EQ(next(), "1 R");
    ASSERT_EQ(at, stream.size());
  }
}

// Records and globals no file or editor would make still build a finite stream that cuts
// back into its commands, without touching memory outside any table.
TEST(SimLoadSequence, HostileRecordsBuildWithoutLeavingTheirTables) {
  std::mt19937 rng(77);
  const int32_t extremes[] = {INT32_MIN, -65536, -32769, -1, 0, 1, 16383, 16384, 32768, INT32_MAX};
  auto pick = [&]() -> int32_t {
    return rng() % 2 ? extremes[rng() % std::size(extremes)] : static_cast<int32_t>(rng());
  };
  auto sim = Fresh();
  for (int round = 0; round < 20; ++round) {
    SCOPED_TRACE(round);
    SimSetupData& s = sim->Setup;
    s.WordsPerMinorFrame = pick();
    // A few rounds with a counter that fills the largest range (the slow ones).
    const bool wide = round % 12 == 0;
    s.NumSubframes = wide ? pick() : static_cast<int32_t>(rng() % 3000) - 1000;
    s.FirstSubFrameNum = wide ? pick() : static_cast<int32_t>(rng() % 5) - 2;
    s.SubframeDirection = pick();
    s.SubframeMode = pick();
    s.PatternLeads = pick();
    s.BitOrder = pick();
    s.SfIdWordNum = pick();
    s.SfIdStartBit = pick();
    s.CommonWordLength = pick();
    s.FrameSyncLength = pick();
    s.FsPatternRadix = pick();
    s.SimOutputCode = pick();
    s.SimBitRate = static_cast<uint32_t>(pick());
    s.Convolution = pick();
    for (SimDynamicWord& d : s.DynamicWords) d = {pick(), pick(), pick()};
    for (UserWaveTable& w : sim->UserWaves) w.NumWords = pick();
    for (SimUniqueWord& u : s.UniqueWords) u = {pick(), pick(), pick(), pick(), 1};
    for (int i = 0; i < 40; ++i)
      s.Words[rng() % s.Words.size()].SimWordLen = static_cast<uint16_t>(rng());
    sim->DoCrc16 = rng() % 2;
    sim->CrcWdNum = pick();
    gFormatNumber = pick();
    const Commands stream = Stream(*sim);
    std::string joined;
    for (const std::string& c : stream) joined += c;
    EXPECT_EQ(joined, std::string(sim->TxBuffer.Bytes().begin(), sim->TxBuffer.Bytes().end()));
    ASSERT_GE(stream.size(), 3u);
    EXPECT_EQ(stream.front(), "0 R");
    EXPECT_EQ(stream.back(), "1 R");
  }
}
