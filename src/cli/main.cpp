// qm48ctl: the controller's command-line tool.
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "cli/Commands.h"

namespace {

void PrintHelp(std::ostream& out) {
  out << "usage: qm48ctl <command> [options]\n\n"
         "commands:\n";
  for (const CliCommand& c : CliCommands())
    out << "  " << c.usage << "\n      " << c.summary << "\n";
  out << "  help\n      this text\n";
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    PrintHelp(std::cerr);
    return 2;
  }
  std::string name = argv[1];
  if (name == "help" || name == "--help" || name == "-h") {
    PrintHelp(std::cout);
    return 0;
  }
  std::vector<std::string> args(argv + 2, argv + argc);
  for (const CliCommand& c : CliCommands())
    if (name == c.name) return c.run(args);
  std::cerr << "qm48ctl: unknown command '" << name
            << "'\nusage: qm48ctl <command> [options]  (qm48ctl --help lists the commands)\n";
  return 2;
}
