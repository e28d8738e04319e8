#include "cli/Commands.h"

#include "cli/SetupCommands.h"

#include <iostream>

int RunEmulateCommand(const std::vector<std::string>& args);  // EmulateCommand.cpp

namespace {

int NotYet(const char* what) {
  std::cerr << "qm48ctl: " << what << " is not available in this build yet\n";
  return 2;
}

int RunLoad(const std::vector<std::string>&) {
  return NotYet("load");
}
int RunQuery(const std::vector<std::string>&) {
  return NotYet("query");
}
int RunEmulate(const std::vector<std::string>& args) {
  return RunEmulateCommand(args);
}

}  // namespace

const std::vector<CliCommand>& CliCommands() {
  static const std::vector<CliCommand> commands = {
      {"stream", "stream [--transmitter] FILE", "print the command stream a load of FILE sends",
       RunStreamCommand},
      {"validate", "validate FILE", "check the simulator setup of FILE", RunValidateCommand},
      {"save-default", "save-default FILE", "write the default setup to FILE",
       RunSaveDefaultCommand},
      {"load", "load [--port DEVICE] FILE", "load FILE into the unit", RunLoad},
      {"query", "query [--port DEVICE]", "query the unit and print what it holds", RunQuery},
      {"emulate", "emulate [--link PATH] [--state FILE] [--fault MODE] [--line-rate BAUD]",
       "run the virtual unit on a pseudo-terminal", RunEmulate},
  };
  return commands;
}
