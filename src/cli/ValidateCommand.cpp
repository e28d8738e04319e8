#include <iostream>

#include "cli/SetupCommands.h"
#include "pcm/LockWarnings.h"
#include "simulator/Qm48SimulatorUnit.h"

// Checks the simulator setup of the file as a load would.
int RunValidateCommand(const std::vector<std::string>& args) {
  std::vector<std::string> options;
  std::string file;
  if (!ParseFileArgument(args, {}, options, file)) {
    std::cerr << "usage: qm48ctl validate FILE\n";
    return 2;
  }
  LoadedSetup setup;
  if (!LoadSetupForCommand(file, setup)) return 2;
  if (!ValidateForCommand(*setup.sim)) return 1;
  // Loadable, but perhaps not what a decommutator can follow: said, not refused.
  const progsimulatorclass& sim = *setup.sim;
  for (const LockWarning& warning :
       LockWarnings(sim.Setup, sim.UserWaves, {sim.DoCrc16, sim.DoCttit, sim.CrcWdNum}))
    std::cout << "warning: " << warning.Text << "\n";
  std::cout << "OK\n";
  return 0;
}
