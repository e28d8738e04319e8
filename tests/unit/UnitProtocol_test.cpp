// The unit's interpreter fed bytes directly: where it cuts commands, what each does to its
// state, what it refuses, the query replies by hand; its state file and its fault modes.
#include "unit/UnitProtocol.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "support/TempDir.h"
#include "unit/UnitFaults.h"
#include "unit/UnitReplies.h"
#include "unit/UnitStateText.h"

namespace {

std::string ReplyTo(UnitProtocol& unit, const std::string& command) {
  auto exchanges = unit.Feed(command);
  EXPECT_EQ(exchanges.size(), 1u) << command;
  return exchanges.empty() ? std::string() : exchanges.back().reply;
}

TEST(UnitProtocol, CutsLikeTheSendersAcrossFeedsAndGivesUpAfter512Bytes) {
  UnitProtocol unit;
  std::vector<std::string> commands;
  for (const auto& e : unit.Feed("0 R0ABC 0DEF MHFRAME001S0FI1 RhzzzzzzzzJ"))
    commands.push_back(e.command);
  EXPECT_EQ(commands, (std::vector<std::string>{"0 R", "0ABC 0DEF M", "HFRAME001", "S", "0FI",
                                                "1 R", "hzzzzzzzzJ"}));
  EXPECT_EQ(unit.State().sim.formatNames[0], "FRAME001");
  EXPECT_TRUE(unit.Feed("0800 ").empty());
  EXPECT_TRUE(unit.Feed("00").empty());
  EXPECT_EQ(ReplyTo(unit, "00 M"), kReplyOk);
  EXPECT_EQ(unit.State().sim.memory[0], 0x0800);
  EXPECT_TRUE(unit.Feed("H1234").empty());  // a name spread over two feeds
  EXPECT_EQ(ReplyTo(unit, "5678"), kReplyOk);
  EXPECT_EQ(unit.State().sim.formatNames[0], "12345678");
  // A run of bytes without a command letter is answered as an error once it is 512 long.
  auto junk = unit.Feed(std::string(1000, '1'));
  ASSERT_EQ(junk.size(), 1u);
  EXPECT_EQ(junk[0].command.size(), 512u);
  EXPECT_EQ(junk[0].reply, kReplyError);
  EXPECT_EQ(ReplyTo(unit, " R"), kReplyError);  // the rest of the run starts the next one
}

TEST(UnitProtocol, EachCommandChangesItsPartOfTheStateAndMalformedOnesNothing) {
  UnitProtocol unit;
  const UnitState& s = unit.State();
  for (const char* command :
       {"1234 FFFF M", "beef 2007 M", "9000 0000 T", "0062 0001 T", "1F08 0002 T", "0001 E240 K",
        "1 R", "2 N", "Htest    ", "0005 0 G", "0006 1 G", "0007 2 G", "57E9 3 G"})
    EXPECT_EQ(ReplyTo(unit, command), kReplyOk) << command;
  EXPECT_EQ(s.sim.memory[0xFFFF], 0x1234);
  EXPECT_EQ(s.sim.memory[0x2007], 0xBEEF);  // either case of hex digits
  EXPECT_EQ(s.sim.registers, (std::array<uint16_t, 3>{0x9000, 0x0062, 0x1F08}));
  EXPECT_EQ(s.sim.clock, 0x0001E240u);
  EXPECT_TRUE(s.running);
  EXPECT_EQ(s.sim.formatNumber, 2);
  EXPECT_EQ(s.sim.formatNames[2], "test    ");
  EXPECT_EQ(s.sim.formatNames[0], "        ");  // the name belongs to the selected format
  EXPECT_EQ(s.tx, (std::array<uint16_t, 4>{5, 6, 7, 0x57E9}));
  EXPECT_EQ(s.flashSaves, 0u);
  EXPECT_EQ(ReplyTo(unit, "S"), kReplyOk);
  EXPECT_EQ(ReplyTo(unit, "0 R"), kReplyOk);
  EXPECT_FALSE(s.running);
  EXPECT_EQ(s.flashSaves, 1u);
  EXPECT_EQ(s.flash, s.sim);
  EXPECT_EQ(ReplyTo(unit, "0000 FFFF M"), kReplyOk);  // flash keeps the saved image
  EXPECT_EQ(s.flash.memory[0xFFFF], 0x1234);

  const UnitState before = unit.State();
  // Malformed commands, between bars: each is refused and changes nothing.
  std::istringstream bad(
      "M|0001 M|1 2 3 M|12345 0000 M|0001 10000 M|00g1 0000 M|0001 0003 T|0001 T|0001 K|2 R|R|"
      "4 N|10 N|1 S|0001 4 G|0001 G|0001 10 G|1 Q|1 W|0AI|I|0F 0B I|xyzHabcdefgh|J|Z");
  uint64_t refused = 0;
  for (std::string command; std::getline(bad, command, '|'); ++refused)
    EXPECT_EQ(ReplyTo(unit, command), kReplyError) << command;
  EXPECT_EQ(refused, 25u);
  UnitState after = unit.State();
  EXPECT_EQ(after.commandCount, before.commandCount + refused);
  after.commandCount = before.commandCount;
  EXPECT_EQ(after, before);
}

UnitState SampleState() {
  UnitState s;
  s.sim.memory[0] = 0x0800;
  s.sim.memory[0xFFFF] = 0xFFFF;
  s.sim.registers = {0x9000, 0x0062, 0x1F08};
  s.sim.clock = 0xFEDCBA98;
  s.sim.formatNumber = 3;
  s.sim.formatNames = {"a b\"c d\"", std::string("\x00\r\n\\\xff  x", 8), "        ", "zzzzzzz\r"};
  s.tx = {0x57E9, 0x015E, 2, 4};
  s.running = true;
  s.commandCount = 12345678901ull;
  s.flashSaves = 3;
  return s;
}

TEST(UnitStateText, ReadsBackWhatItWritesRefusesTheRestAndReplacesItsFileWhole) {
  const std::string text = UnitStateText(SampleState());
  EXPECT_NE(text.find("clock FEDCBA98\n"), std::string::npos) << text;
  EXPECT_NE(text.find("memory 0000 0800\nmemory FFFF FFFF\n"), std::string::npos) << text;
  EXPECT_NE(text.find("name 1 \"\\x00\\x0D\\x0A\\x5C\\xFF  x\"\n"), std::string::npos) << text;
  EXPECT_NE(text.find("name 3 \"zzzzzzz\\x0D\"\n"), std::string::npos) << text;  // escape last
  EXPECT_EQ(text.find("memory 0001"), std::string::npos);  // zero words are left out
  UnitState parsed;
  std::string error;
  ASSERT_TRUE(ParseUnitStateText(text, parsed, error)) << error;
  UnitState expected = SampleState();
  expected.flash = parsed.flash;  // the text holds no flash copy
  EXPECT_EQ(parsed, expected);
  // Lines the unit cannot hold, numbers past any integer, NUL and 0xFF bytes, a megabyte.
  auto refuses = [&error](const std::string& bad) {
    UnitState state = SampleState();
    EXPECT_FALSE(ParseUnitStateText("run 1\n" + bad + "\n", state, error)) << bad.substr(0, 40);
    EXPECT_EQ(error, "line 2: " + bad) << bad.substr(0, 40);
    EXPECT_EQ(state, SampleState());  // unchanged on failure
  };
  for (const char* bad :
       {"memory 10000 0001", "memory 0001 10000", "register 3 0001", "tx 4 0", "format 4",
        "name 0 abc", "name 0 \"\\x4\"", "run 2", "clock", "colour blue", "memory 00G0 0001"})
    refuses(bad);
  for (const char* bad :
       {"format -2147483649", "register -1 0001", "memory 0001 -1", "clock 99999999999999999999",
        "commands 99999999999999999999", "commands 12 and more", "flash-saves -5",
        "name -1 \"abc\"", "memory 0001 \xFF\xFF"})
    refuses(bad);
  const std::string mb(1 << 20, '7');  // a megabyte
  for (const std::string& bad : {std::string("run\0 1", 6), mb, "name 0 \"" + mb + "\""})
    refuses(bad);
  // The file is replaced whole or not at all.
  TempDir dir;
  const std::string path = dir.File("unit.state");
  ASSERT_TRUE(WriteUnitStateFile(path, SampleState(), error)) << error;
  ASSERT_TRUE(WriteUnitStateFile(path, UnitState(), error)) << error;
  EXPECT_EQ(ReadAll(path), UnitStateText(UnitState()));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);
  EXPECT_FALSE(WriteUnitStateFile(dir.File("no/such/dir/unit.state"), SampleState(), error));
  EXPECT_NE(error.find("No such file or directory"), std::string::npos) << error;
}

TEST(UnitFaultModes, ParsesEveryModeAndRefusesTheRest) {
  for (const char* text :
       {"none", "silent", "silent-after=3", "garbage", "double-cr", "stray-cr", "slow=250",
        "vanish-after=0", "echo", "second-writer", "short-reply=2"}) {
    FaultMode mode;
    std::string error;
    ASSERT_TRUE(ParseFaultMode(text, mode, error)) << text << ": " << error;
    EXPECT_EQ(FaultModeText(mode), text);
  }
  for (const char* text : {"", "loud", "silent=3", "slow", "slow=", "slow=-1", "slow=1x",
                           "vanish-after=99999999999999999999", "echo=1", "second-writer=2"}) {
    FaultMode mode{FaultKind::Echo, 7};
    std::string error;
    EXPECT_FALSE(ParseFaultMode(text, mode, error)) << text;
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(mode.kind, FaultKind::Echo);
  }
}

}  // namespace
