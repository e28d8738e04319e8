#include "app/LoadAll.h"
#include "app/Qm48GlobUnit.h"
#include "pcm/LockWarnings.h"

#include "query/Qm48QueryUnit.h"
#include "simulator/Qm48SimulatorUnit.h"
#include "simulator/SimValidation.h"
#include "support/ProgramLog.h"
#include "transmitter/Qm48TransmitterUnit.h"
#include "transmitter/TxSend.h"

LoadAllOutcome QueryAndLoadTransmitter(UnitLink& link, progqueryclass& query, progtxclass& tx,
                                       const LoadAllOptions& options) {
  LoadAllOutcome out;
  out.stage = LoadStage::Query;
  out.send = query.RunQueries(link, options.query);
  if (!out.send.Ok()) return out;
  out.stage = LoadStage::Transmitter;
  out.send = LimitAndSendTransmitter(link, tx, query.TxLimits(), options.send);
  return out;
}

LoadAllOutcome LoadAll(UnitLink& link, progqueryclass& query, progtxclass& tx,
                       progsimulatorclass& sim, const LoadAllOptions& options) {
  LoadAllOutcome out = QueryAndLoadTransmitter(link, query, tx, options);
  if (!out.send.Ok()) return out;

  out.stage = LoadStage::Validation;
  out.send = SendOutcome{};
  if (!ValidateSimulatorSetup(sim, out.validationMessage)) return out;

  out.stage = LoadStage::Simulator;
  out.send = LoadSimulator(link, sim, options.send);
  return out;
}

SendOutcome LoadSimulator(UnitLink& link, progsimulatorclass& sim, const SimLoadFormat& format,
                          const SendOptions& options) {
  for (const LockWarning& warning :
       LockWarnings(sim.Setup, sim.UserWaves, {sim.DoCrc16, sim.DoCttit, sim.CrcWdNum}))
    LogInfo("SIMULATOR SETUP WARNING: " + warning.Text, 0, false);
  return sim.Send232SimSetupData(link, format, options);
}

SendOutcome LoadSimulator(UnitLink& link, progsimulatorclass& sim, const SendOptions& options) {
  return LoadSimulator(link, sim, SelectedLoadFormat(), options);
}

const char* LoadStageName(LoadStage stage) {
  switch (stage) {
    case LoadStage::Query:
      return "Query";
    case LoadStage::Transmitter:
      return "Transmitter";
    case LoadStage::Validation:
      return "Validation";
    case LoadStage::Simulator:
      return "Simulator";
  }
  return "";
}
