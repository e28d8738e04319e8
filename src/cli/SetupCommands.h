#pragma once
// The setup-file subcommands of qm48ctl. Each returns the process exit code.
#include <memory>
#include <string>
#include <vector>

#include "transmitter/Qm48TransmitterUnit.h"

class progsimulatorclass;

int RunStreamCommand(const std::vector<std::string>& args);
int RunValidateCommand(const std::vector<std::string>& args);
int RunSaveDefaultCommand(const std::vector<std::string>& args);

// A setup as a program start followed by a Recall of a file leaves it: one simulator
// object constructed with its defaults, then the file loaded into it and the format
// globals.
struct LoadedSetup {
  std::unique_ptr<progsimulatorclass> sim;
  progtxclass tx;
};
// False (after printing the load failure on stderr) when the file does not load.
bool LoadSetupForCommand(const std::string& path, LoadedSetup& setup);
// Validates the simulator setup; on failure prints the reason on stderr.
bool ValidateForCommand(progsimulatorclass& sim);
// Splits args into options (starting with "--") and the rest.
bool ParseFileArgument(const std::vector<std::string>& args, const std::vector<std::string>& known,
                       std::vector<std::string>& options, std::string& file);
