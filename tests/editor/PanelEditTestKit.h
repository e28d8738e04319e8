#pragma once
// Shared by the panel edit tests: a fresh simulator, the scripted operator, and the
// unit's memory after the record's load stream went through the unit's interpreter.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "app/Qm48GlobUnit.h"
#include "common/RecordCompare.h"
#include "common/ScriptedOperator.h"
#include "simulator/MemoryImages.h"
#include "simulator/Qm48SimulatorUnit.h"
#include "simulator/SimValidation.h"
#include "support/Signals.h"
#include "unit/UnitProtocol.h"
#include "unit/UnitReplies.h"

class PanelEditTest : public ::testing::Test {
 protected:
  // The validation message ("" when the record may be loaded).
  std::string ValidationMessage() {
    std::string message;
    if (ValidateSimulatorSetup(*sim, message)) return "";
    return message.empty() ? "corrupt" : message;
  }
  // Validates, builds the load stream and runs it through the unit; every command must
  // be accepted. The unit's encoder image comes back.
  SimulatorImage LoadIntoUnit() {
    EXPECT_EQ(ValidationMessage(), "");
    sim->Prep232SimSetupData(SelectedLoadFormat());
    UnitProtocol unit;
    for (const UnitProtocol::Exchange& e : unit.Feed(std::string(
             reinterpret_cast<const char*>(sim->TxBuffer.Data()), sim->TxBuffer.Fill())))
      EXPECT_EQ(e.reply, kReplyOk) << e.command << " -> " << e.reply;
    return unit.State().sim;
  }
  static uint16_t WordAttribute(const SimulatorImage& image, int wordNumber) {
    return image.memory[static_cast<size_t>(kWordAttributeBaseAddress + wordNumber)];
  }
  std::vector<std::string> Changed() const { return SimDifferences(*before, *sim); }
  void Snapshot() { before = TakeSnapshot(*sim); }
  int ErrorSignals() const { return op.CountPlayed(ErrorTones()); }

  std::unique_ptr<progsimulatorclass> sim = std::make_unique<progsimulatorclass>();
  std::unique_ptr<SimSetupSnapshot> before = TakeSnapshot(*sim);
  ScriptedOperator op;
  ScopedOperator scoped{op};
};
