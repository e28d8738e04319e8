#pragma once
// "Load All": query the unit, load the transmitter limited to what it reported, then
// validate and load the simulator, in that order. The caller shows the result.
#include <string>

#include "link/Qm48SendDataUnit.h"
#include "query/Qm48SendQueryUnit.h"

class progqueryclass;
class progtxclass;
class progsimulatorclass;
struct SimLoadFormat;
class UnitLink;

enum class LoadStage { Query, Transmitter, Validation, Simulator };

struct LoadAllOutcome {
  LoadStage stage = LoadStage::Simulator;  // the stage that failed (or the last one)
  SendOutcome send;                        // how that stage's send ended
  std::string validationMessage;           // why the simulator setup is invalid
  bool Ok() const { return stage != LoadStage::Validation && send.Ok(); }
};

struct LoadAllOptions {
  QueryOptions query;
  SendOptions send;
};

// All on the link. Stops at the first stage that fails: a unit that did not answer, a port
// that went away or a cancel leaves the later stages unsent, and an invalid simulator
// setup is not sent.
LoadAllOutcome LoadAll(UnitLink& link, progqueryclass& query, progtxclass& tx,
                       progsimulatorclass& sim, const LoadAllOptions& options = {});
// The simulator load filed under format, after its lock warnings are logged (the unit
// takes these setups, but a ground station may never lock to what it then sends).
SendOutcome LoadSimulator(UnitLink& link, progsimulatorclass& sim, const SimLoadFormat& format,
                          const SendOptions& options = {});
// The same under the application session's selected format.
SendOutcome LoadSimulator(UnitLink& link, progsimulatorclass& sim, const SendOptions& options = {});

// The first two stages of LoadAll: query the unit, then load the transmitter limited to it.
LoadAllOutcome QueryAndLoadTransmitter(UnitLink& link, progqueryclass& query, progtxclass& tx,
                                       const LoadAllOptions& options = {});
// "Query", "Transmitter", "Validation", "Simulator".
const char* LoadStageName(LoadStage stage);
