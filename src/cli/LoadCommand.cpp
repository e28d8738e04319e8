// qm48ctl load: loads the simulator setup of a file into the unit, or its transmitter
// setup (after a query, limited to the unit), or both in "Load All" order.
#include <iostream>

#include "app/LoadAll.h"
#include "app/Qm48GlobUnit.h"
#include "cli/LinkCommands.h"
#include "cli/SetupCommands.h"
#include "link/UnitLink.h"
#include "query/Qm48QueryUnit.h"
#include "simulator/Qm48SimulatorUnit.h"

namespace {

const char* kLoadUsage = "usage: qm48ctl load [--device PATH] [--transmitter | --all] FILE\n";

std::string StageWhat(LoadStage stage) {
  switch (stage) {
    case LoadStage::Query:
      return "query";
    case LoadStage::Transmitter:
      return "transmitter load";
    case LoadStage::Validation:
      return "validation";
    case LoadStage::Simulator:
      return "simulator load";
  }
  return "load";
}

int Report(const LoadAllOutcome& out) {
  if (out.stage == LoadStage::Validation && !out.Ok()) {
    std::cerr << "INVALID SIM SETUP DATA....." << out.validationMessage << "\n";
    return kExitInvalidSetup;
  }
  return ReportOutcome(StageWhat(out.stage), out.send);
}

}  // namespace

int RunLoadCommand(const std::vector<std::string>& args) {
  LinkArguments parsed;
  if (!ParseLinkArguments(args, {"--transmitter", "--all"}, parsed)) {
    std::cerr << kLoadUsage;
    return kExitUsage;
  }
  const bool transmitter = HasFlag(parsed, "--transmitter");
  const bool all = HasFlag(parsed, "--all");
  if (parsed.files.size() != 1 || (transmitter && all)) {
    std::cerr << (parsed.files.empty() ? "qm48ctl: FILE missing\n" : "") << kLoadUsage;
    return kExitUsage;
  }
  LoadedSetup setup;
  if (!LoadSetupForCommand(parsed.files[0], setup)) return kExitUsage;
  // Nothing is sent for a simulator setup the unit must not get.
  if (!transmitter && !ValidateForCommand(*setup.sim)) return kExitInvalidSetup;

  CommandLineOperatorScope scope;
  UnitLink link;
  if (!OpenPortForCommand(link, parsed.device)) return kExitNoPort;
  progqueryclass query;
  LoadAllOutcome out;
  if (all) {
    out = LoadAll(link, query, setup.tx, *setup.sim);
  } else if (transmitter) {
    out = QueryAndLoadTransmitter(link, query, setup.tx);
  } else {
    out.stage = LoadStage::Simulator;
    out.send = LoadSimulator(link, *setup.sim);
  }
  const int code = Report(out);
  if (code == kExitOk)
    std::cout << "loaded: " << out.send.commandsAnswered << " commands answered\n";
  return code;
}
