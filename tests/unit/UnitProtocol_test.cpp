#include "unit/UnitProtocol.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/Qm48GlobUnit.h"
#include "common/RandomSimSetup.h"
#include "link/TransmitBuffer.h"
#include "simulator/BitRateSynthesis.h"
#include "simulator/Qm48SimulatorUnit.h"
#include "unit/UnitReplies.h"

namespace {

std::vector<std::string> CommandsOf(const std::vector<UnitProtocol::Exchange>& exchanges) {
  std::vector<std::string> commands;
  for (const auto& e : exchanges) commands.push_back(e.command);
  return commands;
}

std::string ReplyTo(UnitProtocol& unit, const std::string& command) {
  auto exchanges = unit.Feed(command);
  EXPECT_EQ(exchanges.size(), 1u) << command;
  return exchanges.empty() ? std::string() : exchanges.back().reply;
}

TEST(UnitCommandCutting, CutsLikeTheUnit) {
  UnitProtocol unit;
  // Hex digits A-F and lower case never end a command; "H" takes eight bytes whatever
  // they are; "0FI" is one command.
  auto exchanges = unit.Feed("0 R0ABC 0DEF MHFRAME001S0FI1 RhzzzzzzzzJ");
  EXPECT_EQ(CommandsOf(exchanges), (std::vector<std::string>{"0 R", "0ABC 0DEF M", "HFRAME001", "S",
                                                             "0FI", "1 R", "hzzzzzzzzJ"}));
  EXPECT_EQ(unit.State().sim.formatNames[0], "FRAME001");
  EXPECT_EQ(unit.State().sim.memory[0x0DEF], 0x0ABC);
  EXPECT_EQ(exchanges.back().reply, kReplyError);  // no such command
}

TEST(UnitCommandCutting, CommandsMaySpanManyFeedsAndGiveUpAfter512Bytes) {
  UnitProtocol unit;
  EXPECT_TRUE(unit.Feed("0800 ").empty());
  EXPECT_TRUE(unit.Feed("00").empty());
  auto done = unit.Feed("00 M");
  ASSERT_EQ(done.size(), 1u);
  EXPECT_EQ(done[0].command, "0800 0000 M");
  EXPECT_EQ(unit.State().sim.memory[0], 0x0800);

  EXPECT_TRUE(unit.Feed("H1234").empty());  // a name spread over two feeds
  ASSERT_EQ(unit.Feed("5678").size(), 1u);
  EXPECT_EQ(unit.State().sim.formatNames[0], "12345678");

  // A run of bytes without a command letter is answered as an error once it is 512 long.
  auto junk = unit.Feed(std::string(1000, '1'));
  ASSERT_EQ(junk.size(), 1u);
  EXPECT_EQ(junk[0].command.size(), 512u);
  EXPECT_EQ(junk[0].reply, kReplyError);
  EXPECT_EQ(ReplyTo(unit, " R"), kReplyError);  // the rest of the run starts the next one
  EXPECT_EQ(ReplyTo(unit, "0 R"), kReplyOk);
}

TEST(UnitCommands, EachCommandChangesItsPartOfTheState) {
  UnitProtocol unit;
  const UnitState& s = unit.State();
  EXPECT_EQ(ReplyTo(unit, "1234 FFFF M"), kReplyOk);
  EXPECT_EQ(s.sim.memory[0xFFFF], 0x1234);
  EXPECT_EQ(ReplyTo(unit, "beef 2007 M"), kReplyOk);  // either case of hex digits
  EXPECT_EQ(s.sim.memory[0x2007], 0xBEEF);
  EXPECT_EQ(ReplyTo(unit, "9000 0000 T"), kReplyOk);
  EXPECT_EQ(ReplyTo(unit, "0062 0001 T"), kReplyOk);
  EXPECT_EQ(ReplyTo(unit, "1F08 0002 T"), kReplyOk);
  EXPECT_EQ(s.sim.registers, (std::array<uint16_t, 3>{0x9000, 0x0062, 0x1F08}));
  EXPECT_EQ(ReplyTo(unit, "0001 E240 K"), kReplyOk);
  EXPECT_EQ(s.sim.clock, 0x0001E240u);
  EXPECT_EQ(ReplyTo(unit, "1 R"), kReplyOk);
  EXPECT_TRUE(s.running);
  EXPECT_EQ(ReplyTo(unit, "0 R"), kReplyOk);
  EXPECT_FALSE(s.running);
  EXPECT_EQ(ReplyTo(unit, "2 N"), kReplyOk);
  EXPECT_EQ(ReplyTo(unit, "Htest    "), kReplyOk);
  EXPECT_EQ(s.sim.formatNumber, 2);
  EXPECT_EQ(s.sim.formatNames[2], "test    ");
  EXPECT_EQ(s.sim.formatNames[0], "        ");  // the name belongs to the selected format
  for (int reg = 0; reg < 4; ++reg) {
    std::string value = "000" + std::to_string(reg + 5);
    EXPECT_EQ(ReplyTo(unit, value + " " + std::to_string(reg) + " G"), kReplyOk);
    EXPECT_EQ(s.tx[reg], reg + 5);
  }
  EXPECT_EQ(ReplyTo(unit, "57E9 0 G"), kReplyOk);
  EXPECT_EQ(s.tx[0], 22505);

  EXPECT_EQ(s.flashSaves, 0u);
  EXPECT_EQ(ReplyTo(unit, "S"), kReplyOk);
  EXPECT_EQ(s.flashSaves, 1u);
  EXPECT_EQ(s.flash, s.sim);
  EXPECT_EQ(ReplyTo(unit, "0000 FFFF M"), kReplyOk);  // flash keeps the saved image
  EXPECT_EQ(s.flash.memory[0xFFFF], 0x1234);
  EXPECT_EQ(s.commandCount, 17u);
}

TEST(UnitCommands, MalformedCommandsAreRefusedAndChangeNothing) {
  UnitProtocol unit;
  unit.Feed("0001 0002 M");
  const UnitState before = unit.State();
  for (const char* bad : {"M",
                          "0001 M",
                          "1 2 3 M",
                          "12345 0000 M",
                          "0001 10000 M",
                          "00g1 0000 M",
                          "0001 0003 T",
                          "0001 T",
                          "0001 K",
                          "2 R",
                          "R",
                          "4 N",
                          "10 N",
                          "1 S",
                          "0001 4 G",
                          "0001 G",
                          "0001 10 G",
                          "1 Q",
                          "1 W",
                          "0AI",
                          "I",
                          "0F 0B I",
                          "xyzHabcdefgh",
                          "J",
                          "Z"}) {
    EXPECT_EQ(ReplyTo(unit, bad), kReplyError) << bad;
  }
  UnitState after = unit.State();
  EXPECT_EQ(after.commandCount, before.commandCount + 25);
  after.commandCount = before.commandCount;
  EXPECT_EQ(after, before);
}

TEST(UnitReplies, QueryRepliesTellTheState) {
  UnitLimits limits;
  limits.minFreqMhz = 2400;
  limits.maxFreqMhz = 3000;
  limits.premodFilterKhz = {100, 300, 600, 1000};
  limits.firmwareVersion = 0x0141;
  limits.maxDb = 19;
  limits.numAttenSteps = 20;
  limits.patternType = 0;
  limits.inputModulationSource = 1;
  UnitProtocol unit(limits);
  EXPECT_EQ(ReplyTo(unit, "Q"),
            "0000 0960 0BB8 0064 012C 0258 03E8 0000 0000 0000 0000 0000 0000 0001 ");
  unit.Feed(
      "3 NHabcdefgh5DC0 0 G015E 1 G0002 2 G0004 3 GS0123 4567 K9000 0000 T0062 0001 T"
      "1F08 0002 T");
  EXPECT_EQ(ReplyTo(unit, "Q"),
            "0003 0960 0BB8 0064 012C 0258 03E8 0001 5DC0 015E 0002 0004 0000 0001 ");
  // Name codes are the current format's name two characters each, first in the high byte.
  EXPECT_EQ(ReplyTo(unit, "W"), "5DC0 015E 0002 0123 4567 9000 0062 1F08 6162 6364 6566 6768 ");
  EXPECT_EQ(ReplyTo(unit, "0FI"), "0141 ");
  EXPECT_EQ(ReplyTo(unit, "0BI"), "0013 ");
  EXPECT_EQ(ReplyTo(unit, "0CI"), "0014 ");
  unit.Feed("0 N");  // format 0 has no name yet: eight spaces
  EXPECT_EQ(ReplyTo(unit, "W"), "5DC0 015E 0002 0123 4567 9000 0062 1F08 2020 2020 2020 2020 ");
}

TEST(UnitReplies, HexValuesKeepEveryDigitOfWideValues) {
  const uint32_t values[] = {0, 0xF, 0xFFFF, 0x12345, 0xFFFFFFFF};
  EXPECT_EQ(HexValuesReply(values, 5), "0000 000F FFFF 12345 FFFFFFFF ");
  EXPECT_EQ(HexValuesReply(values, 0), "");
}

class UnitLoadStream : public ::testing::Test {
 protected:
  void SetUp() override {
    RuntimeSrand(1);
    gFormatNumber = 0;
    gFormatName_ = {"", "", "", ""};
    sim = std::make_unique<progsimulatorclass>();
  }
  // Feeds the whole load stream; every command must be cut as the sender cuts it and
  // accepted.
  void Load(UnitProtocol& unit) {
    sim->Prep232SimSetupData(SelectedLoadFormat());
    auto exchanges = unit.Feed(sim->TxBuffer.Data(), sim->TxBuffer.Fill());
    ASSERT_EQ(CommandsOf(exchanges), SplitCommands(sim->TxBuffer));
    for (const auto& e : exchanges) ASSERT_EQ(e.reply, kReplyOk) << e.command;
  }
  std::unique_ptr<progsimulatorclass> sim;
};

TEST_F(UnitLoadStream, DefaultSetupLeavesTheDocumentedMemoryImage) {
  UnitProtocol unit;
  Load(unit);
  const UnitState& s = unit.State();
  const std::vector<uint16_t>& m = s.sim.memory;
  EXPECT_EQ(m[0], 0x0800);
  EXPECT_EQ(m[8199], 1);  // common word value
  EXPECT_EQ(m[9217], 0xFE6B);
  EXPECT_EQ(m[9218], 0x2840);
  for (uint32_t c = 0; c < 64; ++c) EXPECT_EQ(m[10240 + c], c) << c;
  EXPECT_EQ(m[32768], 0x7F);
  EXPECT_EQ(m[32831], 0x80);
  auto type = [&](int word) { return (m[16384 + word] >> 12) & 7; };
  auto lengthLess1 = [&](int word) { return (m[16384 + word] >> 8) & 15; };
  EXPECT_EQ(type(1), 1);
  EXPECT_EQ(type(2), 1);
  EXPECT_EQ(lengthLess1(1), 15);
  EXPECT_EQ(lengthLess1(2), 15);
  EXPECT_EQ(type(3), 2);
  for (int w = 4; w <= 8; ++w) EXPECT_EQ(type(w), w - 1) << w;
  for (int w = 9; w <= 15; ++w) EXPECT_EQ(m[16384 + w] & 0x7F, 1 << (w - 9)) << w;
  EXPECT_TRUE(m[16384 + 256] & 0x8000);
  EXPECT_FALSE(m[16384 + 255] & 0x8000);

  EXPECT_EQ(s.sim.registers, (std::array<uint16_t, 3>{0x9000, 0, 0}));
  EXPECT_EQ(s.sim.clock, GetSimClockRatePrescaleNcoRate(sim->Setup).ClockRate);
  EXPECT_EQ(s.sim.formatNumber, 0);
  EXPECT_EQ(s.sim.formatNames[0], "        ");
  EXPECT_TRUE(s.running);
  EXPECT_EQ(s.flashSaves, 1u);
  EXPECT_EQ(s.flash, s.sim);  // nothing after "S" but the run command
}

TEST_F(UnitLoadStream, RandomSetupsAreCutAndAcceptedWhole) {
  for (uint32_t seed = 1; seed <= 12; ++seed) {
    SetUp();
    RandomSimSetup random(seed);
    int32_t formatNumber = 0;
    std::array<std::string, 4> names;
    random.Fill(*sim, formatNumber, names);
    gFormatNumber = formatNumber;
    gFormatName_ = {"GHIJKLMN", "hqrstuvw", "Zz Zz", "12345678901"};
    UnitProtocol unit;
    Load(unit);
    if (HasFatalFailure()) return;
    EXPECT_EQ(unit.State().sim.formatNumber, formatNumber) << seed;
    const std::array<std::string, 4> sent{"ghijklmn", "hqrstuvw", "zz zz   ", "12345678"};
    EXPECT_EQ(unit.State().sim.formatNames[formatNumber], sent[formatNumber]) << seed;
  }
}

}  // namespace
