#include "editor/SetupSession.h"

#include <gtest/gtest.h>

#include "query/Qm48QueryUnit.h"
#include "simulator/Qm48SimulatorUnit.h"
#include "transmitter/Qm48TransmitterUnit.h"

// Release keeps the selection and flag, Renew starts over; a format outside 0..3 has no name.
TEST(SetupSession, RenewStartsOverAndLoadFormatNamesOnlyTheFour) {
  SetupSession a;
  const int32_t words = a.Sim().Setup.WordsPerMinorFrame;
  a.Sim().Setup.WordsPerMinorFrame = words + 7;
  a.Tx().Setup.FmDeviation = 450;
  a.Query().Results.MaxFreqMhz = 2400;
  a.formatNames = {"a", "b", "c", "d"};
  for (auto [number, name] : {std::pair{0, "a"}, {3, "d"}, {4, ""}, {-1, ""}, {2, "c"}}) {
    a.formatNumber = number;
    EXPECT_EQ(a.LoadFormat().Number, number);
    EXPECT_EQ(a.LoadFormat().Name, name) << number;
  }
  a.MarkEdited();
  a.Release();
  EXPECT_FALSE(a.HasProgramObjects());
  EXPECT_TRUE(a.edited && a.formatNames[2] == "c");
  a.Renew();
  ASSERT_TRUE(a.HasProgramObjects());
  EXPECT_EQ(a.Sim().Setup.WordsPerMinorFrame, words);
  EXPECT_EQ(std::pair(a.Tx().Setup.FmDeviation, a.Query().Results.MaxFreqMhz), std::pair(0, 0u));
  EXPECT_FALSE(a.edited || a.formatNumber || !a.formatNames[2].empty());
  EXPECT_FALSE(SetupSession(SetupSession::NoProgramObjects{}).HasProgramObjects());
}
