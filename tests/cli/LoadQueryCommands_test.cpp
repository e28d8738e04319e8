// qm48ctl load and query, run as the built binary against the virtual unit on a
// pseudo-terminal: exit codes and messages for every way a load can end.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "cli/CtlRun.h"
#include "common/VirtualUnitOnPty.h"
#include "support/TempDir.h"

namespace {

using Result = CtlResult;

class LoadQueryCommands : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(RunCtl("save-default d.qm48", dir).code, 0);
    std::string text = ReadAll(dir.File("d.qm48"));
    const size_t at = text.find("FreqMhz=");
    text.replace(at, text.find('\r', at) - at, "FreqMhz=2300.5");
    std::ofstream(dir.File("d.qm48"), std::ios::binary) << text;
  }
  static std::string Device(VirtualUnit& unit) { return " --device '" + unit.DevicePath() + "'"; }
  TempDir dir;
};

TEST_F(LoadQueryCommands, SimulatorLoadAnswersEveryCommand) {
  VirtualUnit unit;
  ASSERT_TRUE(unit.Start());
  Result r = RunCtl("load" + Device(unit) + " d.qm48", dir);
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.err, "");  // no bar: stderr is not a terminal
  EXPECT_NE(r.out.find("commands answered"), std::string::npos);
  EXPECT_TRUE(unit.Running());
  EXPECT_EQ(unit.FlashSaveCount(), 1u);
  EXPECT_EQ(unit.Commands().front(), "0 R");
}

TEST_F(LoadQueryCommands, TransmitterLoadQueriesFirstAndAllAddsTheSimulator) {
  VirtualUnit unit;
  ASSERT_TRUE(unit.Start());
  Result r = RunCtl("load --transmitter" + Device(unit) + " d.qm48", dir);
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(unit.Commands(), (std::vector<std::string>{"Q", "W", "0FI", "0BI", "0CI", "59DD 0 G",
                                                       "0000 1 G", "0000 2 G", "0000 3 G"}));
  r = RunCtl("load --all" + Device(unit) + " d.qm48", dir);
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(unit.Commands()[9], "Q");
  EXPECT_EQ(unit.Commands().back(), "1 R");
  EXPECT_EQ(unit.TxRegister(0), 23005);
}

TEST_F(LoadQueryCommands, QueryPrintsTheUnitsAnswersAsTextOrJson) {
  VirtualUnit unit;
  ASSERT_TRUE(unit.Start());
  Result r = RunCtl("query" + Device(unit), dir);
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_NE(r.out.find("  Max Freq (MHz)               2400.5\n"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("  Freq Selected (Mhz)          0.0\n"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("  Num Atten Steps              20\n"), std::string::npos);
  r = RunCtl("query --json" + Device(unit), dir);
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out.substr(0, 2), "{\"");
  EXPECT_NE(r.out.find("\"MinFreqMhz\": 2200"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("\"FormatName\": \"        \""), std::string::npos);
}

TEST_F(LoadQueryCommands, WithoutDeviceThePortOfTheConfigurationFileIsUsed) {
  VirtualUnit unit;
  ASSERT_TRUE(unit.Start());
  std::ofstream(dir.File("Qm48Com.Cfg"))
      << "[PortConfig]\r\nPortNum=2\r\n[PortDevices]\r\nCOM3=" << unit.DevicePath() << "\r\n";
  Result r = RunCtl("query", dir);
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(unit.Commands().size(), 5u);
}

TEST_F(LoadQueryCommands, PortsThatCannotBeOpenedExitWithThree) {
  Result r = RunCtl("load --device /nonexistent/tty d.qm48", dir);
  EXPECT_EQ(r.code, 3);
  EXPECT_NE(r.err.find("No such file or directory"), std::string::npos) << r.err;
  // A device another program holds.
  VirtualUnitOnPty holder;
  ASSERT_TRUE(holder.Ready());
  r = RunCtl("query" + Device(holder.Unit()), dir);
  EXPECT_EQ(r.code, 3) << r.err;
  EXPECT_NE(r.err.find("cannot open the port"), std::string::npos);
  EXPECT_EQ(holder.Unit().CommandCount(), 0u);
}

TEST_F(LoadQueryCommands, FailedSendsHaveTheirOwnExitCodes) {
  {
    VirtualUnit unit(UnitOptions("vanish-after=2"));
    ASSERT_TRUE(unit.Start());
    Result r = RunCtl("load" + Device(unit) + " d.qm48", dir);
    EXPECT_EQ(r.code, 5) << r.err;
    EXPECT_NE(r.err.find("disconnected"), std::string::npos);
  }
  {
    VirtualUnit unit(UnitOptions("garbage"));
    ASSERT_TRUE(unit.Start());
    Result r = RunCtl("query" + Device(unit), dir);
    EXPECT_EQ(r.code, 7) << r.err;
    EXPECT_EQ(r.out, "");  // nothing is printed as if the unit had said it
  }
  {
    // Ctrl+C while the unit keeps silent.
    VirtualUnit unit(UnitOptions("silent"));
    ASSERT_TRUE(unit.Start());
    Result r = RunCtl(
        "load" + Device(unit) + " d.qm48 & pid=$!; sleep 0.3; kill -INT $pid; wait $pid", dir);
    EXPECT_EQ(r.code, 6) << r.err;
    EXPECT_EQ(unit.CommandCount(), 1u);
  }
}

// The one test that waits out the unit's full reply time-out.
TEST_F(LoadQueryCommands, TimeOutNamesTheUnansweredCommand) {
  VirtualUnit unit(UnitOptions("silent-after=1"));
  ASSERT_TRUE(unit.Start());
  Result r = RunCtl("load" + Device(unit) + " d.qm48", dir);
  EXPECT_EQ(r.code, 4) << r.err;
  EXPECT_NE(r.err.find("command 2 (0 N)"), std::string::npos) << r.err;
}

TEST_F(LoadQueryCommands, BadArgumentsAndInvalidSetupsSendNothing) {
  VirtualUnit unit;
  ASSERT_TRUE(unit.Start());
  EXPECT_EQ(RunCtl("load" + Device(unit), dir).code, 2);
  EXPECT_EQ(RunCtl("load --transmitter --all" + Device(unit) + " d.qm48", dir).code, 2);
  EXPECT_EQ(RunCtl("load --device", dir).code, 2);
  EXPECT_EQ(RunCtl("load --fast" + Device(unit) + " d.qm48", dir).code, 2);
  EXPECT_EQ(RunCtl("query" + Device(unit) + " extra", dir).code, 2);
  EXPECT_EQ(RunCtl("load" + Device(unit) + " missing.qm48", dir).code, 2);
  std::string text = ReadAll(dir.File("d.qm48"));
  const size_t at = text.find("CommonWordLength=");
  text.replace(at, text.find('\r', at) - at, "CommonWordLength=0");
  std::ofstream(dir.File("bad.qm48"), std::ios::binary) << text;
  Result r = RunCtl("load --all" + Device(unit) + " bad.qm48", dir);
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(r.err.find("INVALID SIM SETUP DATA....."), std::string::npos);
  EXPECT_EQ(unit.CommandCount(), 0u);
}

}  // namespace
