// The loads on the virtual unit: the simulator's stream lands in the unit, "Load All" (query,
// transmitter limited to what the query reported, simulator) stops at the first failing stage.
#include <gtest/gtest.h>

#include "app/LoadAll.h"
#include "app/Qm48GlobUnit.h"
#include "common/ScriptedOperator.h"
#include "common/VirtualUnitOnPty.h"
#include "query/Qm48QueryUnit.h"
#include "simulator/Qm48SimulatorUnit.h"
#include "transmitter/Qm48TransmitterUnit.h"
#include "unit/UnitProtocol.h"

namespace {

class Loads : public ::testing::Test {
 protected:
  void SetUp() override {
    gFormatNumber = 2;
    gFormatName_ = {"", "", "Loaded", ""};
    tx.Setup = {2550.0, 350, 2, 25};  // above the unit's 2200..2400 MHz and 20 steps
  }
  const LoadAllOptions quick{{100}, {100, 0}};
  ScriptedOperator op;
  ScopedOperator scope{op};
  progqueryclass query;
  progtxclass tx;
  progsimulatorclass sim;
};

TEST_F(Loads, SimulatorSetupLandsInTheUnit) {
  VirtualUnitOnPty link;
  ASSERT_TRUE(link.Ready());
  sim.Setup.SubframeMode = 1;
  sim.Setup.FacEnable = true;
  sim.DoCrc16 = true;
  sim.CrcWdNum = 9;
  const SendOutcome out = sim.Send232SimSetupData(link.Link(), SelectedLoadFormat());
  ASSERT_EQ(out.result, SendResult::Done) << SendOutcomeText(out);
  EXPECT_EQ(out.commandsAnswered, SplitCommands(sim.TxBuffer).size());
  EXPECT_EQ(op.Progresses().at(0).request.caption, "LOADING SIMULATOR");
  // The unit holds what its own interpreter makes of the stream, fed in one piece.
  UnitProtocol direct;
  direct.Feed(sim.TxBuffer.Data(), sim.TxBuffer.Fill());
  EXPECT_EQ(link.Unit().State(), direct.State());
  EXPECT_EQ(link.Unit().FormatName(2), "loaded  ");
  EXPECT_TRUE(link.Unit().Running());
  EXPECT_EQ(link.Unit().FlashSaveCount(), 1u);
}

// Query, transmitter, simulator (their order is checked on qm48ctl load --all).
TEST_F(Loads, LoadAllStopsAtTheFirstFailingStage) {
  const struct {
    const char* fault;
    bool invalidSetup;
    LoadStage stage;
    const char* stageName;
    SendResult result;
    const char* commandText;
    uint64_t commandsReceived;  // 0: the queries, the transmitter and all of the simulator
  } cases[] = {
      {"silent", false, LoadStage::Query, "Query", SendResult::TimedOut, "Q", 5},  // nothing loaded
      {"silent-after=7", false, LoadStage::Transmitter, "Transmitter", SendResult::TimedOut,
       "0002 2 G", 8},
      {"none", true, LoadStage::Validation, "Validation", SendResult::Done, "", 9},  // no sim
      {"none", false, LoadStage::Simulator, "Simulator", SendResult::Done, "1 R", 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.fault);
    VirtualUnitOnPty link(c.fault);
    ASSERT_TRUE(link.Ready());
    progsimulatorclass bad;
    bad.Setup.FrameSyncLength = 2;
    LoadAllOutcome out = LoadAll(link.Link(), query, tx, c.invalidSetup ? bad : sim, quick);
    EXPECT_EQ(out.Ok(), c.stage == LoadStage::Simulator);
    EXPECT_EQ(out.stage, c.stage);
    EXPECT_STREQ(LoadStageName(out.stage), c.stageName);
    EXPECT_EQ(out.send.result, c.result);
    EXPECT_EQ(out.send.commandText, c.commandText);
    EXPECT_EQ(out.validationMessage.empty(), !c.invalidSetup);
    EXPECT_EQ(link.Unit().CommandCount(),
              c.commandsReceived ? c.commandsReceived : 9 + SplitCommands(sim.TxBuffer).size());
  }
  UnitLink unconnected;
  EXPECT_EQ(LoadAll(unconnected, query, tx, sim, quick).send.result, SendResult::NoPort);
}

}  // namespace
