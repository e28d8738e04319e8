#include <iostream>

#include "cli/SetupCommands.h"
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
  std::cout << "OK\n";
  return 0;
}
