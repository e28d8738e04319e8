// The transmitter record: register writes, steps, file section, limits, page values.
#include <gtest/gtest.h>

#include <fstream>
#include <limits>

#include "link/TransmitBuffer.h"
#include "platform/StartDirectory.h"
#include "support/NumberText.h"
#include "support/ProgramLog.h"
#include "support/TempDir.h"
#include "transmitter/Qm48TransmitterUnit.h"
#include "transmitter/TxBitRate.h"
#include "transmitter/TxFrequency.h"
#include "transmitter/TxPageValues.h"

namespace {

using Strings = std::vector<std::string>;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

Strings Load(const TxSetupData& setup) {
  progtxclass tx;
  tx.Setup = setup;
  tx.Prep232TxSetupData();
  EXPECT_EQ(tx.TxBuffer.Fill(), 32u);  // every load starts from an empty buffer
  tx.Prep232TxSetupData();
  return SplitCommands(tx.TxBuffer);
}
std::string Record(const TxSetupData& r) {
  return FloatText(r.FreqMhz, 1, 8) + " " + std::to_string(r.FmDeviation) + " " +
         std::to_string(r.PreModFilterSelected) + " " + std::to_string(r.AttenuationIndexDb);
}

TEST(TxRecord, RegisterWritesAndFrequencySteps) {
  // Frequency in 0.1 MHz steps (four most significant hex digits), deviation, filter, atten.
  EXPECT_EQ(Load({2250.5, 350, 2, 4}), (Strings{"57E9 0 G", "015E 1 G", "0002 2 G", "0004 3 G"}));
  EXPECT_EQ(Load({1435.0, 0, 0, 19}), (Strings{"380E 0 G", "0000 1 G", "0000 2 G", "0013 3 G"}));
  EXPECT_EQ(Load({7000.0, -1, 0, 0})[0] + Load({7000.0, -1, 0, 0})[1],
            "1117 0 GFFFF 1 G");  // 0x11170
  EXPECT_EQ(Load({kNaN, 0, 0, 0})[0], "0000 0 G");

  // Every step the register holds, as typed text and files give it (the nearest double to
  // k / 10), and as a running sum of 0.1 steps drifts to; between steps it rounds down.
  double drifting = 0.0;
  for (uint32_t k = 0; k <= 65535; ++k, drifting += 0.1) {
    ASSERT_EQ(FreqToSteps(k / 10.0), k);
    ASSERT_EQ(FreqToSteps(std::stod(std::to_string(k / 10) + "." + std::to_string(k % 10))), k);
    ASSERT_EQ(FreqToSteps(drifting), k) << drifting;
  }
  // clang-format off
  const std::pair<double, uint32_t> steps[] = {
      {2250.35, 22503}, {2250.3999, 22503}, {2250.40, 22504}, {0.05, 0}, {kNaN, 0},
      {kInf, 4294967295u}, {-kInf, 0x80000001u}, {-0.05, uint32_t(-1)}};
  // clang-format on
  for (auto [mhz, step] : steps) EXPECT_EQ(FreqToSteps(mhz), step) << mhz;
}

// The detail log names every register write, the log every limit the unit did not report.
TEST(TxRecord, TheProgramLogAndTheFileSection) {
  TempDir dir;
  dir.Enter();
  RecordStartDirectory(true);
  LogStart("1.41", "Qm48", "", "Qm48");
  progtxclass tx;
  tx.Setup = {2250.5, 350, 2, 4};
  gDebugLogging = true;
  tx.Prep232TxSetupData();
  gDebugLogging = false;
  tx.Prep232TxSetupData();
  tx.LimitToUnit(TxUnitLimits{});
  LogEnd();
  const std::string log = ReadAll(dir.File("Qm48.Log"));
  for (const char* line : {"Tx Freq Write ---  : 57E9 0 G", "Tx Attenuation Write ---  : 0004 3 G",
                           "FREQUENCY KEPT AT 2250.5 MHz", "ATTENUATION INDEX KEPT AT 4"})
    EXPECT_NE(log.find(line), std::string::npos) << line;
  EXPECT_EQ(log.find("Tx Freq Write"), log.rfind("Tx Freq Write"));  // not without the detail log

  const std::string path = dir.File("t.QM48");
  tx.SaveSection(path, "TRANSMITTER SETUP");
  EXPECT_EQ(ReadAll(path),
            "[TRANSMITTER SETUP]\r\nFileVersion=1\r\nFreqMhz=2250.500000000\r\nFmDeviation=350\r\n"
            "PreModFilterSelected=2\r\nAttenuationIndexDb=4\r\n");
  // Section lines read over the record {2222.2, 1, 2, 3}: unreadable values and missing
  // keys keep their fields, readable ones are limited to the file's range; without a
  // readable FileVersion nothing is read.
  const std::pair<std::string, const char*> cases[] = {
      {"FreqMhz=3500.0\nFmDeviation=1500\nPreModFilterSelected=-2\nAttenuationIndexDb=25\n",
       "3000.0 999 0 19"},
      {"FileVersion=7\nFreqMhz=12.5\nFmDeviation=-4\nPreModFilterSelected=9\n", "1000.0 0 3 3"},
      {"FreqMhz=nan\nFmDeviation=12x\nPreModFilterSelected=1.5\nAttenuationIndexDb=0x10\n",
       "2222.2 1 2 3"},
      {"FreqMhz=inf\nFmDeviation=99999999999999999999\n", "3000.0 999 2 3"},
      {"FreqMhz=-inf\nFmDeviation=-99999999999999999999\nAttenuationIndexDb=-2147483648\n",
       "1000.0 0 2 0"},
      {"FreqMhz=\nFmDeviation=\nPreModFilterSelected=\nAttenuationIndexDb=\n", "1000.0 0 0 0"},
  };
  for (const auto& [lines, expected] : cases) {
    std::ofstream(path, std::ios::binary)
        << "[SIMULATOR SETUP]\nFreqMhz=1111\n[TRANSMITTER SETUP]\n"
        << (lines.rfind("FileVersion", 0) ? "FileVersion=1\n" : "") << lines
        << "[OTHER]\nFileVersion=1\n";
    progtxclass read;
    read.Setup = {2222.2, 1, 2, 3};
    EXPECT_TRUE(read.LoadSection(path, "TRANSMITTER SETUP")) << lines;
    EXPECT_EQ(Record(read.Setup), expected) << lines;
    EXPECT_EQ(read.FileVersion, 1);  // the file's version is read, not kept
  }
  for (const char* version : {"", "FileVersion=x\n", "fileversion2=1\n"}) {
    std::ofstream(path, std::ios::binary) << "[TRANSMITTER SETUP]\n"
                                          << version << "FreqMhz=2250.5\n";
    progtxclass read;
    read.Setup = {2222.2, 1, 2, 3};
    EXPECT_FALSE(read.LoadSection(path, "TRANSMITTER SETUP")) << version;
    EXPECT_EQ(Record(read.Setup), "2222.2 1 2 3");
  }
  EXPECT_FALSE(tx.LoadSection(dir.File("missing.QM48"), "TRANSMITTER SETUP"));
}

TEST(TxRecord, LimitsTheUnitReported) {
  // Record before, limits (freq known, min, max, steps known, steps), record after: the top
  // step of the highest MHz is allowed, bounds come in either order, zeros are taken at
  // their word, unreported limits keep the setting.
  const std::tuple<TxSetupData, TxUnitLimits, const char*> cases[] = {
      {{3200.0, 1200, 7, 25}, {true, 2400, 3000, true, 20}, "3000.5 999 3 20"},
      {{1435.0, -3, -1, -1}, {true, 3000, 2400, true, 16}, "2400.5 0 0 0"},
      {{2250.3, 350, 2, 4}, {true, 2200, 2300, true, 19}, "2250.3 350 2 4"},
      {{2250.3, 350, 2, 4}, {true, 0, 0, true, 0}, "0.5 350 2 0"},
      {{2250.3, 1200, 2, 4}, {}, "2250.3 999 2 4"},
      {{2250.3, 10, 0, -2}, {}, "2250.3 10 0 0"},
      {{2250.3, 10, 0, 25}, {true, 2400, 3000, false, 99}, "2400.0 10 0 19"},
      {{2250.3, 10, 0, 12}, {false, 2400, 3000, true, 8}, "2250.3 10 0 8"},
      {{kNaN, 0, 0, 0}, {true, 2400, 3000, true, 16}, "2400.0 0 0 0"},
      {{kNaN, 0, 0, 0}, {true, 3000, 2400, true, 16}, "2400.5 0 0 0"},
  };
  for (const auto& [before, limits, after] : cases) {
    progtxclass tx;
    tx.Setup = before;
    tx.LimitToUnit(limits);
    EXPECT_EQ(Record(tx.Setup), after) << Record(before);
  }
}

TEST(TxRecord, SettingsForABitRate) {
  const std::array<uint32_t, 4> filters = {100, 300, 600, 1000};
  // Rate, code, filters: deviation (0.35 x rate, doubled for bi-phase, halves rounding down)
  // and the first filter from 0.7 x rate up (the first when none is).
  // clang-format off
  const std::tuple<uint32_t, int32_t, std::array<uint32_t, 4>, int32_t, int32_t> cases[] = {
      {1000000, 0, filters, 350, 3}, {1000000, 3, filters, 700, 0}, {1000, 4, filters, 1, 0},
      {2000, 99, filters, 1, 0},     {25000, 0, filters, 9, 0},     {30000, 0, filters, 10, 0},
      {4294967295u, 3, filters, 3006477, 0}, {200000, 0, filters, 70, 1}, {428572, 0, filters, 150, 2},
      {1000000, 0, {0, 0, 0, 0}, 350, 0},    {1000000, 0, {0, 0, 0, 700}, 350, 3}};
  // clang-format on
  for (const auto& [rate, code, list, deviation, filter] : cases) {
    const TxBitRateSettings s = TxSettingsForBitRate(rate, code, list);
    EXPECT_EQ(std::pair(s.FmDeviation, s.PreModFilterSelected), std::pair(deviation, filter))
        << rate << " code " << code;
  }
  EXPECT_DOUBLE_EQ(TxSettingsForBitRate(1000000, 3, filters).FilterBandwidthKhz, 1400.0);
  for (int32_t code = -1; code <= 19; ++code)  // the bi-phase codes double the band
    EXPECT_EQ(TxSettingsForBitRate(1000000, code, filters).FmDeviation,
              code == 3 || code == 4 || code == 5 || code == 11 ? 700 : 350)
        << code;
  progtxclass tx;
  tx.Setup = {2250.5, 0, 0, 4};
  EXPECT_TRUE(tx.ApplyBitRate(1000000, 0, filters));
  EXPECT_EQ(Record(tx.Setup), "2250.5 350 3 4");
  EXPECT_FALSE(tx.ApplyBitRate(1000000, 0, filters));
  EXPECT_FALSE(tx.ApplyBitRate(1000001, 1, filters));  // the same deviation and filter
}

TEST(TxRecord, PageValues) {
  const std::pair<double, double> snaps[] = {
      {2250.37, 2250.35}, {2250.34, 2250.30}, {2250.35, 2250.35}, {2250.3, 2250.30},
      {2250.999, 2251.0}, {2250.005, 2250.0}, {kNaN, 0.0}};
  for (auto [typed, snapped] : snaps)
    EXPECT_NEAR(SnapFreq(typed), snapped, 1e-9) << typed;  // an exact half rounds down
  EXPECT_EQ(FreqMhzText(2400.5), "2400.5");
  const TxUnitLimits range{true, 2200, 2400, false, 0};
  const std::tuple<const char*, TxUnitLimits, double> typed[] = {
      {"2250.37", range, 2250.35}, {"9999", range, 2400.5}, {"12", range, 2200.0},
      {"2250.37", {}, 2250.35},    {"22a0", range, 2300.0}, {"", range, 2300.0}};
  for (auto [text, limits, mhz] : typed) {
    double f = 2300.0;
    const bool read = ReadFreqText(text, limits, f);
    EXPECT_EQ(read, mhz != 2300.0) << text;
    EXPECT_NEAR(f, mhz, 1e-9) << text;
  }
  EXPECT_EQ(DeviationPosition(-3) + DeviationPosition(1500) + DeviationPosition(250), 1249);
  const Strings names = AttenuationStepNames(19, 20), bench = AttenuationStepNames(4, 16);
  EXPECT_EQ(names.front() + names[1] + names.back() + " " + bench.front() + bench.back(),
            "95900 20-55");
  EXPECT_EQ(bench.size() + AttenuationStepNames(0, 0).size(), 16u);
  EXPECT_EQ(AttenuationStepNames(1000, 100000).size(), kMaxAttenuationStepNames);
}

}  // namespace
