#include <iostream>

#include "app/SetupFiles.h"
#include "cli/SetupCommands.h"
#include "simulator/Qm48SimulatorUnit.h"
#include "simulator/SimValidation.h"

bool LoadSetupForCommand(const std::string& path, LoadedSetup& setup) {
  setup.sim = std::make_unique<progsimulatorclass>();
  std::string currentFileName;
  if (LoadWholeFile(ProgramSetup(*setup.sim, setup.tx), path, false, currentFileName)) return true;
  std::cerr << kInvalidSetupFileText << "\n";
  return false;
}

bool ValidateForCommand(progsimulatorclass& sim) {
  std::string message;
  if (ValidateSimulatorSetup(sim, message)) return true;
  std::cerr << "INVALID SIM SETUP DATA....." << message << "\n";
  return false;
}

bool ParseFileArgument(const std::vector<std::string>& args, const std::vector<std::string>& known,
                       std::vector<std::string>& options, std::string& file) {
  bool haveFile = false;
  for (const std::string& arg : args) {
    if (arg.size() > 2 && arg.compare(0, 2, "--") == 0) {
      bool isKnown = false;
      for (const std::string& k : known) isKnown = isKnown || k == arg;
      if (!isKnown) {
        std::cerr << "qm48ctl: unknown option '" << arg << "'\n";
        return false;
      }
      options.push_back(arg);
    } else if (haveFile) {
      std::cerr << "qm48ctl: more than one FILE given\n";
      return false;
    } else {
      file = arg;
      haveFile = true;
    }
  }
  if (!haveFile) std::cerr << "qm48ctl: FILE missing\n";
  return haveFile;
}
