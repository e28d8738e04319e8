// A whole simulator load over the pseudo-terminal: what the unit holds afterwards is the
// memory image, registers, clock and name the command stream prescribes.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "app/Qm48GlobUnit.h"
#include "common/RandomSimSetup.h"
#include "common/ScriptedOperator.h"
#include "common/VirtualUnitOnPty.h"
#include "simulator/BitRateSynthesis.h"
#include "simulator/Qm48SimulatorUnit.h"
#include "simulator/SimRegisters.h"
#include "simulator/SimValidation.h"

namespace {

// The unit's simulator image after a stream, read straight from its command texts.
SimulatorImage ImageOfStream(const TransmitBuffer& buffer, bool& running) {
  SimulatorImage image;
  for (const std::string& c : SplitCommands(buffer)) {
    unsigned a = 0, b = 0;
    const char letter = c.back();
    if (c[0] == 'H') {
      image.formatNames[static_cast<size_t>(image.formatNumber)] = c.substr(1);
    } else if (letter == 'M' && std::sscanf(c.c_str(), "%x %x", &a, &b) == 2) {
      image.memory[b] = static_cast<uint16_t>(a);
    } else if (letter == 'T' && std::sscanf(c.c_str(), "%x %x", &a, &b) == 2) {
      image.registers[b] = static_cast<uint16_t>(a);
    } else if (letter == 'K' && std::sscanf(c.c_str(), "%x %x", &a, &b) == 2) {
      image.clock = (a << 16) | b;
    } else if (letter == 'N') {
      image.formatNumber = c[0] - '0';
    } else if (letter == 'R') {
      running = c[0] == '1';
    }
  }
  return image;
}

void ExpectLoaded(progsimulatorclass& sim, VirtualUnit& unit) {
  const UnitState state = unit.State();
  bool running = false;
  const SimulatorImage expected = ImageOfStream(sim.TxBuffer, running);
  EXPECT_TRUE(state.sim.memory == expected.memory);
  EXPECT_EQ(state.sim.registers, expected.registers);
  EXPECT_EQ(state.sim.clock, expected.clock);
  EXPECT_EQ(state.sim.formatNumber, gFormatNumber);
  EXPECT_EQ(state.sim.formatNames, expected.formatNames);
  EXPECT_TRUE(running);
  EXPECT_TRUE(state.running);
  EXPECT_EQ(state.flashSaves, 1u);
  EXPECT_TRUE(state.flash == state.sim);  // "S" came after every write
  // The registers and clock as the setup itself gives them.
  EXPECT_EQ(state.sim.registers[1], ModeRegisterValue(sim.Setup, sim.DoCrc16, sim.DoCttit));
  EXPECT_EQ(state.sim.registers[2], PcmEncoderRegisterValue(sim.Setup));
  EXPECT_EQ(state.sim.registers[0], FrameStartRegisterValue(sim.Setup));
  EXPECT_EQ(state.sim.clock, GetSimClockRatePrescaleNcoRate(sim.Setup).ClockRate);
  EXPECT_EQ(state.sim.memory[8199], static_cast<uint16_t>(sim.Setup.CommonWordValue));
}

class SimulatorLoad : public ::testing::Test {
 protected:
  void SetUp() override {
    gFormatNumber = 0;
    gFormatName_ = {"", "", "", ""};
  }
  ScriptedOperator op;
  ScopedOperator scope{op};
};

TEST_F(SimulatorLoad, DefaultSetupLandsInTheUnit) {
  VirtualUnitOnPty link;
  ASSERT_TRUE(link.Ready());
  progsimulatorclass sim;
  SendOutcome out = sim.Send232SimSetupData(link.Link(), SelectedLoadFormat());
  ASSERT_EQ(out.result, SendResult::Done) << SendOutcomeText(out);
  EXPECT_EQ(out.commandsAnswered, SplitCommands(sim.TxBuffer).size());
  EXPECT_EQ(op.Progresses().at(0).request.caption, "LOADING SIMULATOR");
  ExpectLoaded(sim, link.Unit());
}

TEST_F(SimulatorLoad, RandomSetupsLandInTheUnit) {
  int loaded = 0;
  for (uint32_t seed = 1; loaded < 3 && seed < 200; ++seed) {
    progsimulatorclass sim;
    RandomSimSetup(seed).Fill(sim, gFormatNumber, gFormatName_);
    std::string message;
    if (!ValidateSimulatorSetup(sim, message)) continue;
    sim.Prep232SimSetupData(SelectedLoadFormat());
    if (SplitCommands(sim.TxBuffer).size() > 3000) continue;  // keep the test short
    SCOPED_TRACE(seed);
    VirtualUnitOnPty link;
    ASSERT_TRUE(link.Ready());
    SendOptions fast;
    fast.pauseMs = 0;
    SendOutcome out = sim.Send232SimSetupData(link.Link(), SelectedLoadFormat(), fast);
    ASSERT_EQ(out.result, SendResult::Done) << SendOutcomeText(out);
    ExpectLoaded(sim, link.Unit());
    ++loaded;
  }
  EXPECT_EQ(loaded, 3);
}

}  // namespace
