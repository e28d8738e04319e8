#include "simulator/SimFileSection.h"
#include "app/Qm48GlobUnit.h"

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <sstream>

#include "common/RandomSimSetup.h"
#include "link/TransmitBuffer.h"
#include "simulator/Qm48SimulatorUnit.h"
#include "support/TempDir.h"

namespace {

const char* const kSection = "SIMULATOR SETUP";

class SimFileSectionTest : public ::testing::Test {
 protected:
  SimFileSectionTest() : sim(std::make_unique<progsimulatorclass>()), path(dir.File("s.QM48")) {}

  SimFormatSelection Format() { return SimFormatSelection{formatNumber, formatNames}; }
  void Save() { SaveSimulatorFileInfo(*sim, Format(), path, kSection); }
  bool Load() { return LoadSimulatorFileInfo(*sim, Format(), path, kSection); }
  // A file of the section header and the given lines.
  void WriteFile(const std::string& body) {
    std::ofstream(path) << "[" << kSection << "]\n" << body;
  }
  // The file's lines without their line ends (a file keeps the line ends it was given).
  std::vector<std::string> Lines() {
    std::vector<std::string> lines;
    std::istringstream in(ReadAll(path));
    for (std::string line; std::getline(in, line);) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      lines.push_back(line);
    }
    return lines;
  }

  TempDir dir;
  std::unique_ptr<progsimulatorclass> sim;
  std::string path;
  int32_t formatNumber = 0;
  std::array<std::string, 4> formatNames;
};

TEST_F(SimFileSectionTest, DefaultSetupSavesKeysInOrder) {
  RuntimeSrand(1);  // as at program start: word 1 is 346
  sim = std::make_unique<progsimulatorclass>();
  Save();
  const std::vector<std::string> lines = Lines();
  const std::vector<std::string> head = {"[SIMULATOR SETUP]",
                                         "FileVersion=2",
                                         "gFormatNumber=0",
                                         "DoCrc16=NO",
                                         "DoCttit=NO",
                                         "CrcWdNum=-1",
                                         "gFormatName_1=",
                                         "gFormatName_2=",
                                         "gFormatName_3=",
                                         "gFormatName_4=",
                                         "CommonWordLength=16",
                                         "WordsPerMinorFrame=256",
                                         "BitOrder=MSB FIRST",
                                         "PatternLeads=LEADS",
                                         "SubframeMode=NONE",
                                         "FacEnable=NO",
                                         "FsPatternRadix=HEX",
                                         "FrameSyncLength=32",
                                         "FrameSyncPattern=FE6B2840",
                                         "SubframeDirection=UP",
                                         "FirstSubFrameNum=0",
                                         "NumSubframes=64",
                                         "SfIdWordNum=3",
                                         "SfIdStartBit=5",
                                         "ExtClockEnable=NO",
                                         "SimBitRate=1024000",
                                         "SimOutputCode=NRZL",
                                         "TrackDecom=YES",
                                         "Convolution=0",
                                         "SwapG1G2=NO",
                                         "InvertG1=NO",
                                         "DiffEncodingEnable=NO",
                                         "CommonWordValue=1",
                                         "SimDynamicWordNumber0=4",
                                         "SimDynamicWordInterval0=0",
                                         "SimDynamicWordWave0=SINE"};
  ASSERT_GT(lines.size(), head.size());
  for (size_t i = 0; i < head.size(); ++i) EXPECT_EQ(lines[i], head[i]);
  const auto at = [&lines](const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) - lines.begin();
  };
  EXPECT_LT(at("SimDynamicWordWave4=RAMPUP"), at("SimUniqueWordStartFrame0=0"));
  EXPECT_LT(at("SimUniqueWordStartWord0=9"), at("SimUniqueWordValue0=48879"));
  EXPECT_LT(at("SimUniqueWordValue6=48879"),
            at("NumChanges=" + std::to_string(lines.size() - 1 - head.size())) + 1);
  EXPECT_EQ(lines[at("ChangeIndex0=0") + 1], "SimWordLen0=16");
  EXPECT_EQ(lines[at("ChangeIndex0=0") + 2], "SimValue0=346");
  EXPECT_EQ(lines[lines.size() - 5], "UserDefDynWordFn1=");
  EXPECT_EQ(lines.back(), "UserDefDynWordFn5=");
}

TEST_F(SimFileSectionTest, WordTableSavesAsRuns) {
  for (int i = 0; i < 256; ++i) sim->Setup.Words[static_cast<size_t>(i)] = SimWord{16, 0};
  Save();
  auto lines = Lines();
  EXPECT_NE(std::find(lines.begin(), lines.end(), "NumChanges=1"), lines.end());
  EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                          [](const std::string& l) { return l.rfind("ChangeIndex", 0) == 0; }),
            1);

  std::filesystem::remove(path);
  for (int i = 0; i < 10; ++i) sim->Setup.Words[static_cast<size_t>(i)] = SimWord{16, 5};
  for (int i = 10; i < 256; ++i) sim->Setup.Words[static_cast<size_t>(i)] = SimWord{12, 0};
  Save();
  lines = Lines();
  auto from = std::find(lines.begin(), lines.end(), "NumChanges=2");
  ASSERT_NE(from, lines.end());
  const std::vector<std::string> runs = {"ChangeIndex0=0",  "SimWordLen0=16",  "SimValue0=5",
                                         "ChangeIndex1=10", "SimWordLen10=12", "SimValue10=0"};
  EXPECT_EQ(std::vector<std::string>(from + 1, from + 7), runs);
}

TEST_F(SimFileSectionTest, LoadClampsAndLooksUpNames) {
  WriteFile(
      "FileVersion=2\ngFormatNumber=9\nFrameSyncLength=70\nFirstSubFrameNum=5\n"
      "BitOrder=msb first\nPatternLeads=TRAILS\nSimOutputCode=XYZ\nSubframeMode=URC\n"
      "SimDynamicWordWave2=USERDEF\nSimUniqueWordValue3=48879\nSimBitRate=33000000\n"
      "NumChanges=1\nChangeIndex0=0\nSimWordLen0=20\nSimValue0=7\n");
  sim->Setup.BitOrder = 1;
  sim->Setup.SimOutputCode = 5;
  ASSERT_TRUE(Load());
  const SimSetupData& s = sim->Setup;
  EXPECT_EQ(formatNumber, 3);
  EXPECT_EQ(s.FrameSyncLength, 64);
  EXPECT_EQ(s.FirstSubFrameNum, 1);
  EXPECT_EQ(s.BitOrder, 0);
  EXPECT_EQ(s.PatternLeads, 0);
  EXPECT_EQ(s.SimOutputCode, 0);
  EXPECT_EQ(s.SubframeMode, 3);
  EXPECT_EQ(s.DynamicWords[2].SimDynamicWordWave, kWaveUserDef);
  EXPECT_EQ(s.UniqueWords[3].SimUniqueWordValue, 0xBEEF);
  EXPECT_EQ(s.SimBitRate, 33000000u);
  EXPECT_EQ(s.Words[0].SimWordLen, 16);
  EXPECT_EQ(s.Words[255].SimValue, 7);

  WriteFile("FileVersion=2\ngFormatNumber=-4\nFrameSyncLength=1\nFirstSubFrameNum=-1\n");
  ASSERT_TRUE(Load());
  EXPECT_EQ(formatNumber, 0);
  EXPECT_EQ(sim->Setup.FrameSyncLength, 3);
  EXPECT_EQ(sim->Setup.FirstSubFrameNum, 0);
}

TEST_F(SimFileSectionTest, MissingOrUnreadableKeysKeepTheirValues) {
  sim->UserDefDynWordFn = {"A", "B", "C", "D", "E"};
  formatNames = {"ONE", "TWO", "", ""};
  WriteFile(
      "FileVersion=2\nWordsPerMinorFrame=12x\nSimBitRate=fast\nDoCrc16=YES\nDoCttit=YES\n"
      "CrcWdNum=20\ngFormatName_2=NEW\nUserDefDynWordFn1=W1.R4V8SimUserWave\n"
      "UserDefDynWordFn2=W2\nUserDefDynWordFn4=W4\nUserDefDynWordFn5=W5\n"
      "FrameSyncPattern=\nSimDynamicWordNumber1=\n");
  ASSERT_TRUE(Load());
  EXPECT_EQ(sim->Setup.WordsPerMinorFrame, 256);
  EXPECT_EQ(sim->Setup.SimBitRate, 1024000u);
  EXPECT_TRUE(sim->DoCrc16);  // both flags on: CRC-16 wins
  EXPECT_FALSE(sim->DoCttit);
  EXPECT_EQ(sim->CrcWdNum, 20);
  EXPECT_EQ(formatNames[0], "ONE");
  EXPECT_EQ(formatNames[1], "NEW");
  EXPECT_EQ(sim->UserDefDynWordFn[0], "W1.R4V8SimUserWave");
  EXPECT_EQ(sim->UserDefDynWordFn[2], "");  // a missing name empties the slot
  EXPECT_STREQ(sim->Setup.FrameSyncPattern, "");
  EXPECT_EQ(sim->Setup.DynamicWords[1].SimDynamicWordNumber, 0);  // empty reads as 0

  WriteFile("FileVersion=2\nDoCttit=YES\nCrcWdNum=4\n");
  sim->DoCrc16 = false;
  ASSERT_TRUE(Load());
  EXPECT_TRUE(sim->DoCttit);
  EXPECT_EQ(sim->CrcWdNum, 4);
  WriteFile("FileVersion=2\nDoCrc16=NO\nDoCttit=yes\nCrcWdNum=4\n");
  ASSERT_TRUE(Load());
  EXPECT_EQ(sim->CrcWdNum, -1);
}

TEST_F(SimFileSectionTest, NoFileVersionChangesNothing) {
  WriteFile("FileVersion=two\ngFormatNumber=2\nWordsPerMinorFrame=99\nUserDefDynWordFn1=\n");
  sim->UserDefDynWordFn[0] = "KEEP";
  EXPECT_FALSE(Load());
  EXPECT_EQ(formatNumber, 0);
  EXPECT_EQ(sim->Setup.WordsPerMinorFrame, 256);
  EXPECT_EQ(sim->UserDefDynWordFn[0], "KEEP");
  std::filesystem::remove(path);
  EXPECT_FALSE(Load());
}

TEST_F(SimFileSectionTest, OldFilesPutTheCounterInTheLowBits) {
  WriteFile("FileVersion=1\nNumSubframes=64\nFirstSubFrameNum=0\nSfIdStartBit=12\n");
  ASSERT_TRUE(Load());
  EXPECT_EQ(sim->Setup.SfIdStartBit, 5);
  WriteFile("FileVersion=1\nNumSubframes=64\nFirstSubFrameNum=1\nSfIdStartBit=12\n");
  ASSERT_TRUE(Load());
  EXPECT_EQ(sim->Setup.SfIdStartBit, 6);
  WriteFile("FileVersion=1\nNumSubframes=1\nSfIdStartBit=12\n");
  ASSERT_TRUE(Load());
  EXPECT_EQ(sim->Setup.SfIdStartBit, 12);
  WriteFile("FileVersion=2\nNumSubframes=64\nSfIdStartBit=12\n");
  ASSERT_TRUE(Load());
  EXPECT_EQ(sim->Setup.SfIdStartBit, 12);
}

TEST_F(SimFileSectionTest, BrokenChangeListsStopAtTheBreak) {
  // Run 1 lacks its value: run 0 stays applied, run 2 is never read.
  WriteFile(
      "FileVersion=2\nWordsPerMinorFrame=20\nNumChanges=3\n"
      "ChangeIndex0=0\nSimWordLen0=8\nSimValue0=1\n"
      "ChangeIndex1=5\nSimWordLen5=9\n"
      "ChangeIndex2=9\nSimWordLen9=10\nSimValue9=3\n");
  const uint16_t word20 = sim->Setup.Words[20].SimValue;
  ASSERT_TRUE(Load());
  EXPECT_EQ(sim->Setup.Words[19].SimWordLen, 8);
  EXPECT_EQ(sim->Setup.Words[19].SimValue, 1);
  EXPECT_EQ(sim->Setup.Words[20].SimValue, word20);  // beyond the frame: untouched

  // Runs out of order: each overwrites from its own index to the end of the frame.
  WriteFile(
      "FileVersion=2\nWordsPerMinorFrame=20\nNumChanges=2\n"
      "ChangeIndex0=10\nSimWordLen10=8\nSimValue10=1\n"
      "ChangeIndex1=4\nSimWordLen4=9\nSimValue4=2\n");
  auto fresh = std::make_unique<progsimulatorclass>();
  sim = std::move(fresh);
  const uint16_t word3 = sim->Setup.Words[3].SimValue;
  ASSERT_TRUE(Load());
  EXPECT_EQ(sim->Setup.Words[3].SimValue, word3);
  EXPECT_EQ(sim->Setup.Words[4].SimValue, 2);
  EXPECT_EQ(sim->Setup.Words[15].SimValue, 2);
  EXPECT_EQ(sim->Setup.Words[15].SimWordLen, 9);

  WriteFile("FileVersion=2\nNumChanges=2000000000\nChangeIndex0=x\n");
  EXPECT_TRUE(Load());
}

TEST_F(SimFileSectionTest, HostileIndexesStayInsideTheTable) {
  WriteFile(
      "FileVersion=2\nWordsPerMinorFrame=99999\nNumChanges=3\n"
      "ChangeIndex0=-40\nSimWordLen-40=3\nSimValue-40=77\n"
      "ChangeIndex1=2147483647\nSimWordLen2147483647=4\nSimValue2147483647=5\n"
      "ChangeIndex2=16382\nSimWordLen16382=70000\nSimValue16382=-1\n");
  ASSERT_TRUE(Load());
  EXPECT_EQ(sim->Setup.Words[0].SimWordLen, 3);
  EXPECT_EQ(sim->Setup.Words[16381].SimValue, 77);
  EXPECT_EQ(sim->Setup.Words[16382].SimWordLen, 16);  // 70000 is 4464 in 16 bits: too long
  EXPECT_EQ(sim->Setup.Words[16382].SimValue, 0xFFFF);

  WriteFile("FileVersion=2\nFrameSyncPattern=" + std::string(64, '1') + "2345\n");
  ASSERT_TRUE(Load());
  EXPECT_EQ(std::string(sim->Setup.FrameSyncPattern), std::string(64, '1'));
  Save();  // and a frame size beyond the table saves only the table's words
  auto lines = Lines();
  EXPECT_NE(std::find(lines.begin(), lines.end(), "ChangeIndex1=16382"), lines.end());
  EXPECT_NE(std::find(lines.begin(), lines.end(), "NumChanges=2"), lines.end());
}

TEST_F(SimFileSectionTest, RandomSetupsRoundTrip) {
  for (uint32_t seed = 1; seed <= 25; ++seed) {
    RandomSimSetup random(seed);
    random.Fill(*sim, formatNumber, formatNames);
    std::filesystem::remove(path);
    Save();
    const std::string saved = ReadAll(path);

    auto copy = std::make_unique<progsimulatorclass>();
    int32_t number = 0;
    std::array<std::string, 4> names;
    ASSERT_TRUE(LoadSimulatorFileInfo(*copy, SimFormatSelection{number, names}, path, kSection));
    EXPECT_EQ(number, formatNumber);
    EXPECT_EQ(names, formatNames);
    const std::string again = dir.File("again.QM48");
    std::filesystem::remove(again);
    SaveSimulatorFileInfo(*copy, SimFormatSelection{number, names}, again, kSection);
    EXPECT_EQ(ReadAll(again), saved) << "seed " << seed;

    RuntimeSrand(seed);  // random waves draw from the generator
    sim->Prep232SimSetupData(SelectedLoadFormat());
    RuntimeSrand(seed);
    copy->Prep232SimSetupData(SelectedLoadFormat());
    EXPECT_EQ(SplitCommands(copy->TxBuffer), SplitCommands(sim->TxBuffer)) << "seed " << seed;
  }
}

}  // namespace
