#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <random>
#include <string>

#include "support/NumberText.h"
#include "support/ProfileStore.h"
#include "support/TempDir.h"
#include "transmitter/Qm48TransmitterUnit.h"
#include "transmitter/TxFrequency.h"

namespace {

const char* const kSection = "TRANSMITTER SETUP";

class TxFileSectionTest : public ::testing::Test {
 protected:
  TxFileSectionTest() { dir.Enter(); }
  // A file whose transmitter section holds exactly the given lines.
  std::string FileWith(const std::string& lines) {
    const std::string path = dir.File("t.QM48");
    std::ofstream(path, std::ios::binary)
        << "[SIMULATOR SETUP]\nFreqMhz=1111\n[" << kSection << "]\n"
        << lines << "[OTHER]\nFileVersion=1\n";
    return path;
  }
  TempDir dir;
};

void ExpectRecord(const TxSetupData& r, double freq, int32_t dev, int32_t filter, int32_t atten) {
  EXPECT_EQ(r.FreqMhz, freq);
  EXPECT_EQ(r.FmDeviation, dev);
  EXPECT_EQ(r.PreModFilterSelected, filter);
  EXPECT_EQ(r.AttenuationIndexDb, atten);
}

TEST_F(TxFileSectionTest, SavedKeysAndTheirText) {
  progtxclass tx;
  tx.Setup = {2250.5, 350, 2, 4};
  const std::string path = dir.File("s.QM48");
  tx.SaveSection(path, kSection);
  EXPECT_EQ(ReadAll(path),
            "[TRANSMITTER SETUP]\r\nFileVersion=1\r\nFreqMhz=2250.500000000\r\nFmDeviation=350\r\n"
            "PreModFilterSelected=2\r\nAttenuationIndexDb=4\r\n");
  progtxclass back;
  ASSERT_TRUE(back.LoadSection(path, kSection));
  ExpectRecord(back.Setup, 2250.5, 350, 2, 4);
}

TEST_F(TxFileSectionTest, RandomRecordsRoundTripAndLoadTheSameCommands) {
  std::mt19937 random(7);
  std::uniform_int_distribution<int> steps(10000, 30000), dev(0, 999), filter(0, 3), atten(0, 19);
  const std::string path = dir.File("r.QM48");
  for (int i = 0; i < 30; ++i) {
    progtxclass tx;
    tx.Setup = {steps(random) / 10.0, dev(random), filter(random), atten(random)};
    if (i % 3 == 0) tx.Setup.FreqMhz += 0.05;  // the editor's half steps
    tx.SaveSection(path, kSection);
    progtxclass back;
    ASSERT_TRUE(back.LoadSection(path, kSection));
    tx.Prep232TxSetupData();
    back.Prep232TxSetupData();
    ASSERT_EQ(SplitCommands(back.TxBuffer), SplitCommands(tx.TxBuffer)) << tx.Setup.FreqMhz;
  }
  // Every 0.1 MHz step a file may hold reads back as that step: the text a save writes,
  // read as a load reads it.
  for (uint32_t k = 10000; k <= 30000; ++k) {
    double back = 0;
    ASSERT_TRUE(TextToDouble(FloatText(k / 10.0, 9, 18), back));
    ASSERT_EQ(FreqToSteps(back), k);
  }
}

TEST_F(TxFileSectionTest, ValuesReadAreLimitedToTheFileRange) {
  progtxclass tx;
  ASSERT_TRUE(tx.LoadSection(FileWith("FileVersion=1\nFreqMhz=3500.0\nFmDeviation=1500\n"
                                      "PreModFilterSelected=-2\nAttenuationIndexDb=25\n"),
                             kSection));
  ExpectRecord(tx.Setup, 3000.0, 999, 0, 19);
  ASSERT_TRUE(tx.LoadSection(FileWith("FileVersion=7\nFreqMhz=12.5\nFmDeviation=-4\n"
                                      "PreModFilterSelected=9\nAttenuationIndexDb=-1\n"),
                             kSection));
  ExpectRecord(tx.Setup, 1000.0, 0, 3, 0);
  EXPECT_EQ(tx.FileVersion, 1);  // the file's version is read, not kept
}

TEST_F(TxFileSectionTest, NoReadableFileVersionChangesNothing) {
  for (const char* version : {"", "FileVersion=\"1\"\n", "FileVersion=x\n", "FileVersion=1.0\n",
                              "FileVersion=BOGUS SECTION or KEY\n", "fileversion2=1\n"}) {
    progtxclass tx;
    tx.Setup = {2222.2, 1, 2, 3};
    EXPECT_FALSE(tx.LoadSection(
        FileWith(std::string(version) + "FreqMhz=2250.5\nFmDeviation=350\n"
                                        "PreModFilterSelected=1\nAttenuationIndexDb=4\n"),
        kSection))
        << version;
    ExpectRecord(tx.Setup, 2222.2, 1, 2, 3);
  }
  progtxclass tx;
  EXPECT_FALSE(tx.LoadSection(dir.File("missing.QM48"), kSection));
}

TEST_F(TxFileSectionTest, HostileValues) {
  struct Case {
    std::string lines;
    TxSetupData expected;
  };
  const TxSetupData before{2222.2, 1, 2, 3};
  const Case cases[] = {
      // Unreadable values and missing keys keep their fields.
      {"FreqMhz=nan\nFmDeviation=12x\nPreModFilterSelected=1.5\nAttenuationIndexDb=0x10\n", before},
      {"FreqMhz=NAN\nFmDeviation= 7\n", {2222.2, 7, 2, 3}},
      {"FreqMhz=-nan(0x1)\n", before},
      {"", before},
      {"Freq=2500\nFreqMhz2=2500\nSomethingElse=1\n", before},
      // Readable extremes are limited.
      {"FreqMhz=inf\nFmDeviation=99999999999999999999\n", {3000.0, 999, 2, 3}},
      {"FreqMhz=-inf\nFmDeviation=-99999999999999999999\n", {1000.0, 0, 2, 3}},
      {"FreqMhz=1e999\nPreModFilterSelected=2147483647\n", {3000.0, 1, 3, 3}},
      {"FreqMhz=-1e-320\nAttenuationIndexDb=-2147483648\n", {1000.0, 1, 2, 0}},
      {"FreqMhz=0x1p11\n", {2048.0, 1, 2, 3}},
      // An empty value reads as 0 and is then limited.
      {"FreqMhz=\nFmDeviation=\nPreModFilterSelected=\nAttenuationIndexDb=\n", {1000.0, 0, 0, 0}},
      {"FreqMhz=2" + std::string(2000, '0') + "\n", {3000.0, 1, 2, 3}},
  };
  for (const Case& c : cases) {
    progtxclass tx;
    tx.Setup = before;
    ASSERT_TRUE(tx.LoadSection(FileWith("FileVersion=1\n" + c.lines), kSection)) << c.lines;
    SCOPED_TRACE(c.lines);
    ExpectRecord(tx.Setup, c.expected.FreqMhz, c.expected.FmDeviation,
                 c.expected.PreModFilterSelected, c.expected.AttenuationIndexDb);
  }
}

}  // namespace
