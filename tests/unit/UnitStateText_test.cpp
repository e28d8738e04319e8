// The unit's state as text (the state file) and its fault modes by name.
#include "unit/UnitStateText.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/TempDir.h"
#include "unit/UnitFaults.h"

namespace {

UnitState SampleState() {
  UnitState s;
  s.sim.memory[0] = 0x0800;
  s.sim.memory[0xFFFF] = 0xFFFF;
  s.sim.registers = {0x9000, 0x0062, 0x1F08};
  s.sim.clock = 0xFEDCBA98;
  s.sim.formatNumber = 3;
  s.sim.formatNames = {"a b\"c d\"", std::string("\x00\r\n\\\xff  x", 8), "        ", "zzzzzzzz"};
  s.tx = {0x57E9, 0x015E, 2, 4};
  s.running = true;
  s.commandCount = 12345678901ull;
  s.flashSaves = 3;
  return s;
}

TEST(UnitStateText, ReadsBackWhatItWritesAndRefusesTheRest) {
  const std::string text = UnitStateText(SampleState());
  EXPECT_NE(text.find("clock FEDCBA98\n"), std::string::npos) << text;
  EXPECT_NE(text.find("memory 0000 0800\nmemory FFFF FFFF\n"), std::string::npos) << text;
  EXPECT_NE(text.find("name 1 \"\\x00\\x0D\\x0A\\x5C\\xFF  x\"\n"), std::string::npos) << text;
  EXPECT_EQ(text.find("memory 0001"), std::string::npos);  // zero words are left out
  UnitState parsed;
  std::string error;
  ASSERT_TRUE(ParseUnitStateText(text, parsed, error)) << error;
  UnitState expected = SampleState();
  expected.flash = parsed.flash;  // the text holds no flash copy
  EXPECT_EQ(parsed, expected);
  for (const char* bad :
       {"memory 10000 0001", "memory 0001 10000", "register 3 0001", "tx 4 0", "format 4",
        "name 0 abc", "name 0 \"\\x4\"", "run 2", "clock", "colour blue", "memory 00G0 0001"}) {
    UnitState state = SampleState();
    EXPECT_FALSE(ParseUnitStateText(std::string("run 1\n") + bad + "\n", state, error)) << bad;
    EXPECT_EQ(error, std::string("line 2: ") + bad);
    EXPECT_EQ(state, SampleState());  // unchanged on failure
  }
}

TEST(UnitStateText, FileIsReplacedWholeOrNotAtAll) {
  TempDir dir;
  const std::string path = dir.File("unit.state");
  std::string error;
  ASSERT_TRUE(WriteUnitStateFile(path, SampleState(), error)) << error;
  ASSERT_TRUE(WriteUnitStateFile(path, UnitState(), error)) << error;
  EXPECT_EQ(ReadAll(path), UnitStateText(UnitState()));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);
  EXPECT_FALSE(WriteUnitStateFile(dir.File("no/such/dir/unit.state"), SampleState(), error));
  EXPECT_NE(error.find("No such file or directory"), std::string::npos) << error;
}

TEST(UnitFaultModes, ParsesEveryModeAndRefusesTheRest) {
  for (const char* text : {"none", "silent", "silent-after=3", "garbage", "double-cr", "slow=250",
                           "vanish-after=0", "echo", "second-writer"}) {
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
