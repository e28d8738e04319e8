#include <cstdio>
#include <iostream>

#include "app/Qm48GlobUnit.h"
#include "cli/SetupCommands.h"
#include "simulator/Qm48SimulatorUnit.h"

// Prints the command stream a load of the file sends (the simulator, or with --transmitter
// the transmitter), one command per line exactly as it stands in the transmit buffer.
int RunStreamCommand(const std::vector<std::string>& args) {
  std::vector<std::string> options;
  std::string file;
  if (!ParseFileArgument(args, {"--transmitter"}, options, file)) {
    std::cerr << "usage: qm48ctl stream [--transmitter] FILE\n";
    return 2;
  }
  LoadedSetup setup;
  if (!LoadSetupForCommand(file, setup)) return 2;
  const bool transmitter = !options.empty();
  if (transmitter) {
    // The record as filed: the unit's limits are not known here.
    setup.tx.Prep232TxSetupData();
  } else {
    if (!ValidateForCommand(*setup.sim)) return 1;
    setup.sim->Prep232SimSetupData(SelectedLoadFormat());
  }

  const TransmitBuffer& buffer = transmitter ? setup.tx.TxBuffer : setup.sim->TxBuffer;
  std::string out;
  out.reserve(buffer.Fill() + buffer.Fill() / 8);
  uint32_t index = 0;
  for (;;) {
    std::string command = NextCommand(buffer.Data(), buffer.Fill(), index);
    if (command.empty()) break;
    out += command;
    out += '\n';
  }
  std::fwrite(out.data(), 1, out.size(), stdout);
  return std::fflush(stdout) == 0 ? 0 : 2;
}
