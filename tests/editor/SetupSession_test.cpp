#include "editor/SetupSession.h"

#include <gtest/gtest.h>

#include "query/Qm48QueryUnit.h"
#include "simulator/Qm48SimulatorUnit.h"
#include "transmitter/Qm48TransmitterUnit.h"

// Two sessions are two setups: what one holds or is told never shows in the other, and a
// renewed session starts over while a released one keeps its selection and flag.
TEST(SetupSession, TwoSessionsShareNothingAndRenewStartsOver) {
  SetupSession a;
  SetupSession b;
  const int32_t words = b.Sim().Setup.WordsPerMinorFrame;
  a.Sim().Setup.WordsPerMinorFrame = words + 7;
  a.Tx().Setup.FmDeviation = 450;
  a.Query().Results.PremodFilterFreqKhz = {100, 300, 600, 1000};
  a.formatNumber = 2;
  a.formatNames[2] = "range";
  a.MarkEdited();

  EXPECT_EQ(b.Sim().Setup.WordsPerMinorFrame, words);
  EXPECT_EQ(b.Tx().Setup.FmDeviation, 0);
  EXPECT_EQ(b.Query().Results.PremodFilterFreqKhz, (std::array<uint32_t, 4>{}));
  EXPECT_EQ(b.formatNumber, 0);
  EXPECT_EQ(b.formatNames[2], "");
  EXPECT_FALSE(b.edited);
  EXPECT_EQ(a.LoadFormat().Number, 2);
  EXPECT_EQ(a.LoadFormat().Name, "range");

  a.Release();
  EXPECT_FALSE(a.HasProgramObjects());
  EXPECT_TRUE(a.edited);
  EXPECT_EQ(a.formatNames[2], "range");

  a.Renew();
  ASSERT_TRUE(a.HasProgramObjects());
  EXPECT_EQ(a.Sim().Setup.WordsPerMinorFrame, words);
  EXPECT_EQ(a.Tx().Setup.FmDeviation, 0);
  EXPECT_EQ(a.formatNumber, 0);
  EXPECT_EQ(a.formatNames[2], "");
  EXPECT_FALSE(a.edited);

  // The application's session is made without objects until its window starts.
  SetupSession empty(SetupSession::NoProgramObjects{});
  EXPECT_FALSE(empty.HasProgramObjects());
}

// A format number outside 0..3 (a hand-edited setup file) files the load with no name.
TEST(SetupSession, LoadFormatOutsideTheFourHasNoName) {
  SetupSession session;
  session.formatNames = {"a", "b", "c", "d"};
  const struct {
    int number;
    const char* name;
  } cases[] = {{0, "a"}, {3, "d"}, {4, ""}, {-1, ""}};
  for (const auto& c : cases) {
    session.formatNumber = c.number;
    EXPECT_EQ(session.LoadFormat().Number, c.number);
    EXPECT_EQ(session.LoadFormat().Name, c.name) << c.number;
  }
}
