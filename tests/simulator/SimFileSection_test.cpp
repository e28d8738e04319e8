// The simulator's section of a setup file: the keys in their order, word tables as runs,
// what loading makes of odd, missing and hostile values.
#include "simulator/SimFileSection.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <tuple>

#include "simulator/Qm48SimulatorUnit.h"
#include "support/TempDir.h"

namespace {

const char* const kSection = "SIMULATOR SETUP";

class SimFileSection : public ::testing::Test {
 protected:
  SimFileSection() : sim(std::make_unique<progsimulatorclass>()), path(dir.File("s.QM48")) {}
  SimFormatSelection Format() { return SimFormatSelection{formatNumber, formatNames}; }
  // Saves into a new file, or over the one there (keys updated where they stand).
  void Save(bool fresh = true) {
    if (fresh) std::filesystem::remove(path);
    SaveSimulatorFileInfo(*sim, Format(), path, kSection);
  }
  bool Load(const std::string& body) {
    std::ofstream(path) << "[" << kSection << "]\n" << body;
    return LoadSimulatorFileInfo(*sim, Format(), path, kSection);
  }
  // The file's lines, each ended by "|" in place of its line end.
  std::string Joined() {
    std::string joined = "|";
    for (char c : ReadAll(path))
      if (c != '\r') joined += c == '\n' ? '|' : c;
    return joined;
  }
  bool Has(const std::string& lines) {
    return Joined().find("|" + lines + "|") != std::string::npos;
  }

  TempDir dir;
  std::unique_ptr<progsimulatorclass> sim;
  std::string path;
  int32_t formatNumber = 0;
  std::array<std::string, 4> formatNames;
};

TEST_F(SimFileSection, DefaultSetupSavesKeysInOrder) {
  RuntimeSrand(1);  // as at program start: word 1 is 346
  sim = std::make_unique<progsimulatorclass>();
  Save();
  const std::string joined = Joined();
  EXPECT_TRUE(joined.starts_with(
      "|[SIMULATOR SETUP]|FileVersion=2|gFormatNumber=0|DoCrc16=NO|DoCttit=NO|CrcWdNum=-1|"
      "gFormatName_1=|gFormatName_2=|gFormatName_3=|gFormatName_4=|CommonWordLength=16|"
      "WordsPerMinorFrame=256|BitOrder=MSB FIRST|PatternLeads=LEADS|SubframeMode=NONE|"
      "FacEnable=NO|FsPatternRadix=HEX|FrameSyncLength=32|FrameSyncPattern=FE6B2840|"
      "SubframeDirection=UP|FirstSubFrameNum=0|NumSubframes=64|SfIdWordNum=3|SfIdStartBit=5|"
      "ExtClockEnable=NO|SimBitRate=1024000|SimOutputCode=NRZL|TrackDecom=YES|Convolution=0|"
      "SwapG1G2=NO|InvertG1=NO|DiffEncodingEnable=NO|CommonWordValue=1|"
      "SimDynamicWordNumber0=4|SimDynamicWordInterval0=0|SimDynamicWordWave0=SINE|"))
      << joined.substr(0, 800);
  const auto at = [&joined](const std::string& line) { return joined.find("|" + line + "|"); };
  EXPECT_LT(at("SimDynamicWordWave4=RAMPUP"), at("SimUniqueWordStartFrame0=0"));
  EXPECT_LT(at("SimUniqueWordStartWord0=9"), at("SimUniqueWordValue0=48879"));
  EXPECT_LT(at("SimUniqueWordValue6=48879"),
            at("NumChanges=256|ChangeIndex0=0|SimWordLen0=16|SimValue0=346"));
  EXPECT_TRUE(
      joined.ends_with("|UserDefDynWordFn1=|UserDefDynWordFn2=|UserDefDynWordFn3=|"
                       "UserDefDynWordFn4=|UserDefDynWordFn5=|"));

  // Runs of equal words are saved once.
  for (int i = 0; i < 256; ++i) sim->Setup.Words[i] = SimWord{16, 0};
  Save();
  EXPECT_TRUE(Has("NumChanges=1"));
  for (int i = 0; i < 10; ++i) sim->Setup.Words[i] = SimWord{16, 5};
  for (int i = 10; i < 256; ++i) sim->Setup.Words[i] = SimWord{12, 0};
  Save();
  EXPECT_TRUE(
      Has("NumChanges=2|ChangeIndex0=0|SimWordLen0=16|SimValue0=5|ChangeIndex1=10|"
          "SimWordLen10=12|SimValue10=0"));
}

TEST_F(SimFileSection, LoadClampsLooksUpNamesKeepsWhatItCannotReadAndMovesOldCounters) {
  sim->UserDefDynWordFn = {"A", "B", "C", "D", "E"};
  formatNames = {"ONE", "TWO", "", ""};
  ASSERT_TRUE(
      Load("FileVersion=2\ngFormatNumber=9\nFrameSyncLength=70\nFirstSubFrameNum=5\n"
           "BitOrder=msb first\nPatternLeads=TRAILS\nSimOutputCode=XYZ\nSubframeMode=URC\n"
           "SimDynamicWordWave2=USERDEF\nSimUniqueWordValue3=48879\nSimBitRate=33000000\n"
           "NumChanges=1\nChangeIndex0=0\nSimWordLen0=20\nSimValue0=7\nWordsPerMinorFrame=12x\n"
           "DoCrc16=YES\nDoCttit=YES\nCrcWdNum=20\ngFormatName_2=NEW\n"
           "UserDefDynWordFn1=W1.R4V8SimUserWave\nUserDefDynWordFn2=W2\nUserDefDynWordFn4=W4\n"
           "UserDefDynWordFn5=W5\nFrameSyncPattern=\nSimDynamicWordNumber1=\n"));
  // Out of range: clamped; unknown names: the first entry; unreadable: kept; both CRC flags
  // on: CRC-16 wins; a missing wave file name empties its slot, an empty number reads as 0.
  const SimSetupData& s = sim->Setup;
  EXPECT_EQ(std::tie(formatNumber, s.FrameSyncLength, s.FirstSubFrameNum, s.BitOrder,
                     s.PatternLeads, s.SimOutputCode, s.SubframeMode, s.WordsPerMinorFrame),
            std::make_tuple(3, 64, 1, 0, 0, 0, 3, 256));
  EXPECT_EQ(std::tie(s.DynamicWords[2].SimDynamicWordWave, s.UniqueWords[3].SimUniqueWordValue,
                     s.SimBitRate, s.Words[0].SimWordLen, s.Words[255].SimValue),
            std::make_tuple(kWaveUserDef, 0xBEEF, 33000000u, 16, 7));
  EXPECT_EQ(std::tie(sim->DoCrc16, sim->DoCttit, sim->CrcWdNum), std::make_tuple(true, false, 20));
  EXPECT_EQ(formatNames, (std::array<std::string, 4>{"ONE", "NEW", "", ""}));
  EXPECT_EQ(sim->UserDefDynWordFn,
            (std::array<std::string, 5>{"W1.R4V8SimUserWave", "W2", "", "W4", "W5"}));
  EXPECT_STREQ(s.FrameSyncPattern, "");
  EXPECT_EQ(s.DynamicWords[1].SimDynamicWordNumber, 0);

  ASSERT_TRUE(Load("FileVersion=2\ngFormatNumber=-4\nFrameSyncLength=1\nFirstSubFrameNum=-1\n"));
  EXPECT_EQ(std::tie(formatNumber, s.FrameSyncLength, s.FirstSubFrameNum),
            std::make_tuple(0, 3, 0));
  sim->DoCrc16 = false;
  ASSERT_TRUE(Load("FileVersion=2\nDoCttit=YES\nCrcWdNum=4\n"));
  EXPECT_TRUE(sim->DoCttit);
  EXPECT_EQ(sim->CrcWdNum, 4);
  ASSERT_TRUE(Load("FileVersion=2\nDoCrc16=NO\nDoCttit=yes\nCrcWdNum=4\n"));
  EXPECT_EQ(sim->CrcWdNum, -1);

  // Without a file version nothing changes.
  EXPECT_FALSE(Load("FileVersion=two\ngFormatNumber=2\n"));
  EXPECT_EQ(formatNumber, 0);

  // Old files put the counter in the low bits.
  const std::pair<const char*, int> old[] = {
      {"FileVersion=1\nNumSubframes=64\nFirstSubFrameNum=0\nSfIdStartBit=12\n", 5},
      {"FileVersion=1\nNumSubframes=64\nFirstSubFrameNum=1\nSfIdStartBit=12\n", 6},
      {"FileVersion=1\nNumSubframes=1\nSfIdStartBit=12\n", 12},
      {"FileVersion=2\nNumSubframes=64\nSfIdStartBit=12\n", 12},
  };
  for (const auto& [body, startBit] : old) {
    ASSERT_TRUE(Load(body));
    EXPECT_EQ(sim->Setup.SfIdStartBit, startBit) << body;
  }
}

}  // namespace
