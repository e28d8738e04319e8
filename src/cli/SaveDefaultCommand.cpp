#include <iostream>

#include "app/SetupFiles.h"
#include "cli/SetupCommands.h"
#include "simulator/Qm48SimulatorUnit.h"
#include "transmitter/Qm48TransmitterUnit.h"

// Writes the setup a new user starts with: both sections at their defaults.
int RunSaveDefaultCommand(const std::vector<std::string>& args) {
  std::vector<std::string> options;
  std::string file;
  if (!ParseFileArgument(args, {}, options, file)) {
    std::cerr << "usage: qm48ctl save-default FILE\n";
    return 2;
  }
  auto sim = std::make_unique<progsimulatorclass>();
  progtxclass tx;
  if (IsFileReadOnly(file)) {
    std::cerr << kReadOnlySetupFileText << "\n";
    return 1;
  }
  if (!SaveWholeFile(ProgramSetup(*sim, tx), file, nullptr)) {
    std::cerr << "qm48ctl: cannot write " << file << "\n";
    return 1;
  }
  return 0;
}
