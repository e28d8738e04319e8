// The command texts the unit reads, and the cutter that splits a buffer back into them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/ScriptedOperator.h"
#include "link/CommandCutter.h"
#include "link/CommandText.h"
#include "support/Signals.h"

namespace {

using Commands = std::vector<std::string>;

TEST(CommandText, EveryCommandHasItsExactText) {
  // Wide values keep their top digits; a negative address has all ones at the top.
  const std::pair<std::string, std::string> cases[] = {
      {MemoryWriteCommand(0x0800, 0), "0800 0000 M"},
      {MemoryWriteCommand(0xBEEF, 8192), "BEEF 2000 M"},
      {RegisterWriteCommand(0x9000, 0), "9000 0000 T"},
      {ClockRateCommand(1024000), "000F A000 K"},
      {ClockRateCommand(40960), "0000 A000 K"},
      {RunCommand(true), "1 R"},
      {RunCommand(false), "0 R"},
      {SaveFlashCommand(), "S"},
      {FormatNumberCommand(3), "3 N"},
      {TransmitterWriteCommand(0x1234, 2), "1234 2 G"},
      {FormatNameCommand("Test"), "Htest    "},
      {FormatNameCommand(""), "H        "},
      {FormatNameCommand("FRAME0012345"), "Hframe001"},
      {Name8("A B-Z"), "a b-z   "},
      {Hex16(0x1A), "001A"},
      {Hex16(0x12345), "1234"},
      {MemoryWriteCommand(1, static_cast<uint32_t>(-5)), "0001 FFFF M"},
      {MemoryWriteCommand(0x12345, 0x10000), "1234 1000 M"},
      {RegisterWriteCommand(0xFFFF, 0x10002), "FFFF 1000 T"}};
  for (const auto& [text, expected] : cases) EXPECT_EQ(text, expected);
  // The number the unit receives is the one those four digits stand for.
  const std::pair<uint32_t, uint16_t> values[] = {
      {0x1A, 0x1A}, {0xFFFF, 0xFFFF}, {0xABCDEF, 0xABCD}, {0xFFFFFFFF, 0xFFFF}, {0x1FFFF, 0x1FFF}};
  for (const auto& [value, sent] : values) EXPECT_EQ(Hex16Value(value), sent) << value;
}

// Cuts with NextCommand, the way the sender does, up to the first empty result.
Commands Cut(const std::string& bytes, CommandCutter::Rules rules) {
  Commands out;
  uint32_t index = 0;
  const auto* data = reinterpret_cast<const uint8_t*>(bytes.data());
  for (std::string c;
       !(c = NextCommand(data, static_cast<uint32_t>(bytes.size()), index, rules)).empty();)
    out.push_back(c);
  EXPECT_EQ(index, bytes.size());
  return out;
}

TEST(NextCommand, CutsAtTheLettersAndGivesUpAfter512Bytes) {
  ScriptedOperator op;
  ScopedOperator scope{op};
  const std::string junk(600, '1');
  const struct {
    std::string bytes;
    Commands commands;
    int errorSignals;
    CommandCutter::Rules rules = CommandCutter::Rules::Load;
  } cases[] = {
      // A-F are hex digits and lower case never ends a command.
      {"0FI0BI0CI", {"0FI", "0BI", "0CI"}, 0},
      {"ABCDEF abc Q", {"ABCDEF abc Q"}, 0},
      {"QW", {"Q", "W"}, 0},
      // "H" takes the next eight bytes whatever they are, never a byte past the fill.
      {"HFRAME001S", {"HFRAME001", "S"}, 0},
      {"0 NH        S", {"0 N", "H        ", "S"}, 0},
      {"HAB", {"HAB"}, 0},
      {"", {}, 0},
      // The unterminated tail comes out as a last command.
      {"1 R0800 00", {"1 R", "0800 00"}, 0},
      {"S" + junk + "R", {"S", std::string(512, '1'), std::string(88, '1') + "R"}, 1},
      // A letter in the 512th byte still ends the command normally.
      {std::string(511, '0') + "M", {std::string(511, '0') + "M"}, 0},
      {"0FIHQ0A", {"0FI", "H", "Q", "0A"}, 0, CommandCutter::Rules::Query},  // H: no name
  };
  for (const auto& c : cases) {
    op.ClearRecords();
    EXPECT_EQ(Cut(c.bytes, c.rules), c.commands) << c.bytes.substr(0, 20);
    EXPECT_EQ(op.CountPlayed(ErrorTones()), c.errorSignals) << c.bytes.substr(0, 20);
  }
  // A finished buffer keeps answering with the empty text.
  uint32_t index = 1;
  EXPECT_EQ(NextCommand(reinterpret_cast<const uint8_t*>("S"), 1, index), "");
  EXPECT_EQ(index, 1u);
  EXPECT_EQ(NextCommand(nullptr, 0, index = 0), "");
}

}  // namespace
