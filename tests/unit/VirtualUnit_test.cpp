#include "unit/VirtualUnit.h"

#include <gtest/gtest.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>

#include "app/Qm48GlobUnit.h"
#include "link/TransmitBuffer.h"
#include "simulator/Qm48SimulatorUnit.h"
#include "support/TempDir.h"
#include "unit/RawPort.h"
#include "unit/UnitProtocol.h"
#include "unit/UnitStateText.h"

namespace {

using std::chrono::milliseconds;
using std::chrono::steady_clock;

VirtualUnitOptions WithFault(const std::string& text) {
  VirtualUnitOptions options;
  std::string error;
  EXPECT_TRUE(ParseFaultMode(text, options.fault, error)) << error;
  return options;
}

struct RunningUnit {
  explicit RunningUnit(VirtualUnitOptions options = {}) : unit(std::move(options)) {
    std::string error;
    started = unit.Start(&error);
    EXPECT_TRUE(started) << error;
    port = std::make_unique<RawPort>(unit.DevicePath());
    EXPECT_TRUE(port->IsOpen()) << unit.DevicePath();
  }
  VirtualUnit unit;
  bool started = false;
  std::unique_ptr<RawPort> port;
};

TEST(VirtualUnit, AnswersEachCommandWithOneLineAndKeepsTheState) {
  RunningUnit u;
  u.port->Send("0 R");
  EXPECT_EQ(u.port->ReadLine(), "OK\r");
  u.port->Send("0800 0000 M2 NHframe001");  // several commands in one write
  EXPECT_EQ(u.port->ReadLine(), "OK\r");
  EXPECT_EQ(u.port->ReadLine(), "OK\r");
  EXPECT_EQ(u.port->ReadLine(), "OK\r");
  u.port->Send("0001 E240 K0062 0001 T57E9 0 G1 R0FI");
  for (int i = 0; i < 4; ++i) EXPECT_EQ(u.port->ReadLine(), "OK\r");
  EXPECT_EQ(u.port->ReadLine(), "0141\x20\r");
  EXPECT_TRUE(u.unit.WaitForCommands(9, milliseconds(1000)));
  EXPECT_EQ(u.unit.MemoryWord(0), 0x0800);
  EXPECT_EQ(u.unit.FormatNumber(), 2);
  EXPECT_EQ(u.unit.FormatName(2), "frame001");
  EXPECT_EQ(u.unit.ClockValue(), 0x0001E240u);
  EXPECT_EQ(u.unit.Register(1), 0x0062);
  EXPECT_EQ(u.unit.TxRegister(0), 0x57E9);
  EXPECT_TRUE(u.unit.Running());
  EXPECT_EQ(u.unit.CommandCount(), 9u);
  EXPECT_EQ(u.unit.Commands().back(), "0FI");
  EXPECT_EQ(u.port->ReadFor(50), "");  // nothing more than one line per command
}

TEST(VirtualUnit, ControllersMayCloseAndReopenThePort) {
  RunningUnit u;
  u.port->Send("1 R");
  EXPECT_EQ(u.port->ReadLine(), "OK\r");
  u.port->Close();
  usleep(100000);  // the unit keeps running with nobody on the port
  RawPort again(u.unit.DevicePath());
  ASSERT_TRUE(again.IsOpen());
  again.Send("0 R");
  EXPECT_EQ(again.ReadLine(), "OK\r");
  EXPECT_FALSE(u.unit.Running());
}

TEST(VirtualUnit, TheLastCloseDropsUnreadRepliesAndExclusiveMode) {
  RunningUnit u;
  ASSERT_EQ(ioctl(u.port->Fd(), TIOCEXCL), 0);
  u.port->Send("1 R");
  ASSERT_TRUE(u.unit.WaitForCommands(1, milliseconds(1000)));
  u.port->Close();  // the reply is never read
  usleep(200000);
  RawPort again(u.unit.DevicePath());
  ASSERT_TRUE(again.IsOpen());
  int exclusive = 1;
  ASSERT_EQ(ioctl(again.Fd(), TIOCGEXCL, &exclusive), 0);
  EXPECT_EQ(exclusive, 0);
  EXPECT_EQ(again.ReadFor(100), "");
  again.Send("Q");
  EXPECT_EQ(again.ReadLine()->substr(0, 5), "0000 ");

  // While a second descriptor is open, a close leaves the port as it is.
  RawPort second(u.unit.DevicePath());
  ASSERT_EQ(ioctl(again.Fd(), TIOCEXCL), 0);
  second.Close();
  usleep(200000);
  ASSERT_EQ(ioctl(again.Fd(), TIOCGEXCL, &exclusive), 0);
  EXPECT_EQ(exclusive, 1);
}

TEST(VirtualUnit, ALoadSentCommandByCommandLeavesWhatTheStreamSays) {
  RuntimeSrand(1);
  gFormatNumber = 1;
  gFormatName_ = {"", "Pty Load", "", ""};
  auto sim = std::make_unique<progsimulatorclass>();
  sim->Prep232SimSetupData(SelectedLoadFormat());
  RunningUnit u;
  uint32_t index = 0;
  int sent = 0;
  for (std::string command;
       !(command = NextCommand(sim->TxBuffer.Data(), sim->TxBuffer.Fill(), index)).empty();
       ++sent) {
    ASSERT_TRUE(u.port->Send(command));
    ASSERT_EQ(u.port->ReadLine(), "OK\r") << command;
  }
  UnitProtocol direct;
  direct.Feed(sim->TxBuffer.Data(), sim->TxBuffer.Fill());
  EXPECT_EQ(u.unit.State(), direct.State());
  EXPECT_EQ(u.unit.CommandCount(), static_cast<uint64_t>(sent));
  EXPECT_EQ(u.unit.FormatName(1), "pty load");
}

TEST(VirtualUnitFaults, SilentUnitsTakeCommandsWithoutAnswering) {
  RunningUnit silent(WithFault("silent"));
  silent.port->Send("1 R");
  EXPECT_TRUE(silent.unit.WaitForCommands(1, milliseconds(1000)));
  EXPECT_EQ(silent.port->ReadFor(200), "");
  EXPECT_TRUE(silent.unit.Running());

  RunningUnit after(WithFault("silent-after=2"));
  after.port->Send("0 R");
  EXPECT_EQ(after.port->ReadLine(), "OK\r");
  after.port->Send("Q");
  EXPECT_TRUE(after.port->ReadLine().has_value());
  after.port->Send("1 R");
  EXPECT_TRUE(after.unit.WaitForCommands(3, milliseconds(1000)));
  EXPECT_EQ(after.port->ReadFor(200), "");
}

TEST(VirtualUnitFaults, ReplyLinesCanBeMangled) {
  RunningUnit garbage(WithFault("garbage"));
  for (int i = 0; i < 20; ++i) {
    garbage.port->Send("W");
    auto line = garbage.port->ReadLine();
    ASSERT_TRUE(line.has_value());
    EXPECT_GE(line->size(), 2u);
    EXPECT_LE(line->size(), 33u);
  }
  EXPECT_EQ(garbage.port->ReadFor(50), "");  // exactly one carriage return each

  RunningUnit doubled(WithFault("double-cr"));
  doubled.port->Send("0 R");
  EXPECT_EQ(doubled.port->ReadFor(200), "OK\r\r");

  RunningUnit echo(WithFault("echo"));
  echo.port->Send("0BI");
  EXPECT_EQ(echo.port->ReadLine(), "0BI0013 \r");
  echo.port->Send("Htest    ");
  EXPECT_EQ(echo.port->ReadLine(), "Htest    OK\r");
}

// Another device on the line: its own line ahead of every other reply, and after the rest.
TEST(VirtualUnitFaults, ASecondWriterAddsLinesOfItsOwn) {
  RunningUnit shared(WithFault("second-writer"));
  const std::string stray = "STATION 2 ONLINE 0BAD \r";
  shared.port->Send("0 R");
  EXPECT_EQ(shared.port->ReadLine(), stray);
  EXPECT_EQ(shared.port->ReadLine(), "OK\r");
  shared.port->Send("0BI");
  EXPECT_EQ(shared.port->ReadLine(), "0013 \r");
  EXPECT_EQ(shared.port->ReadLine(), stray);
  // Cleared, the unit answers alone again.
  shared.unit.SetFault(FaultMode{});
  shared.port->Send("0 R");
  EXPECT_EQ(shared.port->ReadFor(200), "OK\r");
}

TEST(VirtualUnitFaults, SlowUnitsAnswerLate) {
  RunningUnit slow(WithFault("slow=300"));
  slow.port->Send("0 R");
  EXPECT_EQ(slow.port->ReadFor(150), "");
  EXPECT_EQ(slow.port->ReadLine(2000), "OK\r");
}

TEST(VirtualUnitFaults, AVanishingUnitHangsUpMidLoad) {
  RunningUnit u(WithFault("vanish-after=2"));
  u.port->Send("0 R");
  EXPECT_EQ(u.port->ReadLine(), "OK\r");
  u.port->Send("0 N");
  EXPECT_EQ(u.port->ReadLine(), "OK\r");
  u.port->Send("1 R");
  EXPECT_TRUE(u.port->HungUp(2000));
  EXPECT_TRUE(u.unit.Vanished());
  EXPECT_FALSE(std::filesystem::exists(u.unit.DevicePath()));
  u.unit.Stop();  // still ends cleanly
}

TEST(VirtualUnitFaults, StopEndsAUnitInTheMiddleOfALongWait) {
  RunningUnit u(WithFault("slow=60000"));
  u.port->Send("0 R");
  EXPECT_TRUE(u.unit.WaitForCommands(1, milliseconds(1000)));
  auto start = steady_clock::now();
  u.unit.Stop();
  EXPECT_LT(steady_clock::now() - start, std::chrono::seconds(5));
}

TEST(VirtualUnit, LineRateDelaysBothDirections) {
  VirtualUnitOptions options;
  options.lineRate = 1200;  // 8.3 ms a byte: 3 bytes in and 3 out take 50 ms
  RunningUnit u(options);
  auto start = steady_clock::now();
  u.port->Send("0 R");
  EXPECT_EQ(u.port->ReadLine(), "OK\r");
  EXPECT_GE(steady_clock::now() - start, milliseconds(49));
}

TEST(VirtualUnit, ReplyLatencyHoldsEachReplyBack) {
  VirtualUnitOptions options;
  options.replyLatencyMs = 40;
  RunningUnit u(options);
  for (const char* command : {"0 R", "0 N"}) {
    auto start = steady_clock::now();
    u.port->Send(command);
    EXPECT_EQ(u.port->ReadLine(), "OK\r") << command;
    EXPECT_GE(steady_clock::now() - start, milliseconds(40)) << command;
  }
}

TEST(VirtualUnit, StateFileAfterEverySaveAndAtStop) {
  TempDir dir;
  VirtualUnitOptions options;
  options.stateFile = dir.File("unit.state");
  RunningUnit u(options);
  u.port->Send("1234 0010 M1 NHab\"\\\x01xyzW");
  for (int i = 0; i < 4; ++i) ASSERT_TRUE(u.port->ReadLine().has_value());
  EXPECT_FALSE(std::filesystem::exists(options.stateFile));
  u.port->Send("S");
  ASSERT_EQ(u.port->ReadLine(), "OK\r");
  std::string saved = ReadAll(options.stateFile);
  EXPECT_NE(saved.find("memory 0010 1234\n"), std::string::npos) << saved;
  EXPECT_NE(saved.find("run 0\n"), std::string::npos);
  UnitState parsed;
  std::string error;
  ASSERT_TRUE(ParseUnitStateText(saved, parsed, error)) << error;
  EXPECT_EQ(parsed.sim.formatNames[1], "ab\"\\\x01xyz");

  u.port->Send("1 R");
  ASSERT_EQ(u.port->ReadLine(), "OK\r");
  u.unit.Stop();
  std::string atStop = ReadAll(options.stateFile);
  EXPECT_NE(atStop.find("run 1\n"), std::string::npos) << atStop;
  ASSERT_TRUE(ParseUnitStateText(atStop, parsed, error)) << error;
  UnitState expected = u.unit.State();
  expected.flash = SimulatorImage();  // the text holds no flash copy
  EXPECT_EQ(parsed, expected);
  // Only the state file itself is left: the temporary file was renamed over it.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()),
                          std::filesystem::directory_iterator()),
            1);
}

TEST(VirtualUnit, LinkNamesTheDeviceWhileTheUnitRuns) {
  TempDir dir;
  VirtualUnitOptions options;
  options.linkPath = dir.File("qm48");
  ASSERT_EQ(::symlink("/nonexistent", options.linkPath.c_str()), 0);  // a stale link is replaced
  {
    RunningUnit u(options);
    EXPECT_EQ(std::filesystem::read_symlink(options.linkPath), u.unit.DevicePath());
    RawPort byLink(options.linkPath);
    ASSERT_TRUE(byLink.IsOpen());
    byLink.Send("Q");
    EXPECT_TRUE(byLink.ReadLine().has_value());
  }
  EXPECT_FALSE(std::filesystem::is_symlink(options.linkPath));

  // A file that is not a link is never replaced.
  { std::ofstream(options.linkPath) << "keep"; }
  VirtualUnit refused(options);
  std::string error;
  EXPECT_FALSE(refused.Start(&error));
  EXPECT_NE(error.find("not a symbolic link"), std::string::npos) << error;
  EXPECT_EQ(ReadAll(options.linkPath), "keep");
}

}  // namespace
