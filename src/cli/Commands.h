#pragma once
#include <string>
#include <vector>

struct CliCommand {
  const char* name;
  const char* usage;
  const char* summary;
  int (*run)(const std::vector<std::string>& args);
};

// Every subcommand of qm48ctl, in the order --help lists them.
const std::vector<CliCommand>& CliCommands();
