#include "query/QueryDisplayRows.h"

#include <gtest/gtest.h>

namespace {

WQueryResults Named(const char* eight) {
  WQueryResults w;
  for (size_t k = 0; k < 4; ++k)
    w.FormatNameCode[k] =
        (static_cast<uint32_t>(eight[2 * k]) << 8) | static_cast<uint8_t>(eight[2 * k + 1]);
  for (size_t k = 0; k < 8; ++k) w.FormatName[k] = eight[k];
  return w;
}

}  // namespace

TEST(QueryDisplayRows, BeforeAnyQueryTheRowsShowTheInitialZerosConverted) {
  const auto rows = QueryGridRows({}, {}, {});
  ASSERT_EQ(rows.size(), 14u);
  EXPECT_EQ(rows[0].caption, "Format Number");
  EXPECT_EQ(rows[0].value, "0");
  EXPECT_EQ(rows[1].value, "0.5");
  EXPECT_EQ(rows[2].value, "0.0");
  EXPECT_EQ(rows[3].caption, "Premod Filter 1 Freq (kHz)");
  EXPECT_EQ(rows[6].caption, "Premod Filter 4 Freq (kHz)");
  EXPECT_EQ(rows[7].value, "");
  EXPECT_EQ(rows[8].caption, "Freq Selected (Mhz)");
  EXPECT_EQ(rows[11].value, "0");
  EXPECT_EQ(rows[12].value, "PCM");
  EXPECT_EQ(rows[13].caption, "Input Modulation Source");
  EXPECT_EQ(rows[13].value, "Simulator");
}

TEST(QueryDisplayRows, ValuesAreShownInTheUnitsAnOperatorReads) {
  QueryResults q;
  q.FormatNumber = 3;
  q.MaxFreqMhz = 2400;
  q.MinFreqMhz = 2200;
  q.PremodFilterFreqKhz = {100, 300, 600, 1000};
  q.FreqSelectedMhz = 22503;
  q.DeviationSelected = 350;
  q.PremodSelected = 2;
  q.AttenuationDb = 3;
  q.PatternType = 2;
  q.InputModulationSource = 1;
  IQueryResults i;
  i.MaxDb = 19;
  const auto rows = QueryGridRows(q, Named("ABCDEFGH"), i);
  EXPECT_EQ(rows[0].value, "3");
  EXPECT_EQ(rows[1].value, "2400.5");
  EXPECT_EQ(rows[2].value, "2200.0");
  EXPECT_EQ(rows[3].value, "100");
  EXPECT_EQ(rows[6].value, "1000");
  EXPECT_EQ(rows[7].value, "ABCDEFGH");
  EXPECT_EQ(rows[8].value, "2250.3");
  EXPECT_EQ(rows[9].value, "350");
  EXPECT_EQ(rows[10].value, "2");
  EXPECT_EQ(rows[11].value, "80");
  EXPECT_EQ(rows[12].value, "15 Bit PRN");
  EXPECT_EQ(rows[13].value, "External");

  // A step index beyond the maximum is a negative figure, not a wrapped one.
  q.AttenuationDb = 21;
  EXPECT_EQ(QueryGridRows(q, {}, i)[11].value, "-10");
}

TEST(QueryDisplayRows, WQueryRowsAreDecimalAndEndWithTheName) {
  WQueryResults w = Named("ABCDEFGH");
  w.FreqSelected100khz = 22503;
  w.ControlReg = {1, 2, 0xFFFF};
  const auto rows = WQueryGridRows(w);
  ASSERT_EQ(rows.size(), 13u);
  EXPECT_EQ(rows[0].caption, "Freq Selected (100 khz)");
  EXPECT_EQ(rows[0].value, "22503");
  EXPECT_EQ(rows[5].caption, "Control Reg 0");
  EXPECT_EQ(rows[7].value, "65535");
  EXPECT_EQ(rows[8].caption, "Format Name Code 1");
  EXPECT_EQ(rows[8].value, std::to_string(0x4142));
  EXPECT_EQ(rows[12].caption, "Format Name");
  EXPECT_EQ(rows[12].value, "ABCDEFGH");
}
