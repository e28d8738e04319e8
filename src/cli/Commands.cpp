#include "cli/Commands.h"

#include "cli/LinkCommands.h"
#include "cli/SetupCommands.h"

#include <iostream>

int RunEmulateCommand(const std::vector<std::string>& args);    // EmulateCommand.cpp
int RunBitstreamCommand(const std::vector<std::string>& args);  // BitstreamCommand.cpp
int RunDecomCommand(const std::vector<std::string>& args);      // DecomCommand.cpp
int RunPortsCommand(const std::vector<std::string>& args);      // PortsCommand.cpp
int RunTmatsCommand(const std::vector<std::string>& args);      // TmatsCommand.cpp

namespace {

int RunLoad(const std::vector<std::string>& args) {
  return RunLoadCommand(args);
}
int RunQuery(const std::vector<std::string>& args) {
  return RunQueryCommand(args);
}
int RunEmulate(const std::vector<std::string>& args) {
  return RunEmulateCommand(args);
}

}  // namespace

const std::vector<CliCommand>& CliCommands() {
  static const std::vector<CliCommand> commands = {
      {"stream", "stream [--transmitter] FILE", "print the command stream a load of FILE sends",
       RunStreamCommand},
      {"bitstream", "bitstream FILE [--frames N] [--code]",
       "print the serial bits the unit sends for FILE, one minor frame a line (default: one\n"
       "      major frame); --code: the half-bit cells of the output code the unit sends",
       RunBitstreamCommand},
      {"decom",
       "decom [--code CODE] [--check N] [--errors N] [--flywheel N] [--slip N]\n"
       "      [--summary] --setup FILE BITSTREAM",
       "synchronise on the bit stream file BITSTREAM (line cells, eight a byte, first in the\n"
       "      top bit, as emulate --bitstream writes it), print every minor frame's words and\n"
       "      compare them with the setup of FILE. --code: the output code (default: what the\n"
       "      unit sends for the setup); --check: patterns a frame apart that make a lock\n"
       "      (3); --errors: sync bit errors allowed while locked (1 in 16 pattern bits);\n"
       "      --flywheel: missed patterns that drop the lock (3); --slip: bits a pattern may\n"
       "      move (1).\n"
       "      Exit codes: 0 locked and every word as the setup puts it, 1 no lock or a\n"
       "      difference, 2 usage or file",
       RunDecomCommand},
      {"tmats", "tmats SETUP [-o FILE] | tmats --import TMATS -o SETUP [--link NAME]",
       "write the TMATS (IRIG 106-17 Chapter 9) of the frame the unit sends for SETUP, or\n"
       "      make a setup file from a TMATS PCM link (--link: which one of several).\n"
       "      decom --tmats TMATS BITSTREAM decommutates with a TMATS link alone",
       RunTmatsCommand},
      {"validate", "validate FILE", "check the simulator setup of FILE", RunValidateCommand},
      {"save-default", "save-default FILE", "write the default setup to FILE",
       RunSaveDefaultCommand},
      {"load", "load [--device PATH] [--transmitter | --all] FILE",
       "load the simulator setup of FILE into the unit; --transmitter: its transmitter setup,\n"
       "      after a query and limited to the unit; --all: query, transmitter, simulator.\n"
       "      Without --device: the port of Qm48Com.Cfg in the current directory.\n"
       "      Exit codes of load and query: 0 every command answered, 1 invalid simulator\n"
       "      setup, 2 usage or setup file, 3 port cannot be opened, 4 the unit did not\n"
       "      answer (the command is named), 5 port disconnected, 6 cancelled (Ctrl+C),\n"
       "      7 a query reply could not be read",
       RunLoad},
      {"query", "query [--device PATH] [--json]",
       "run the five queries and print what the unit holds (--json: as JSON)", RunQuery},
      {"ports", "ports [--json]",
       "list the serial devices by name (and those Qm48Com.Cfg names), each with whether\n"
       "      you may open it (--json: as JSON)",
       RunPortsCommand},
      {"emulate",
       "emulate [--link PATH] [--state FILE] [--fault MODE] [--line-rate BAUD]\n"
       "      [--reply-latency MS] [--bitstream FILE [--bitstream-frames N]] [--ch10 FILE]",
       "run the virtual unit on a pseudo-terminal; --reply-latency: hold each reply back\n"
       "      MS ms as a USB adapter's latency timer does; --bitstream: at every encoder\n"
       "      start write its PCM output (N minor frames, default four major frames) to\n"
       "      FILE or a pipe; --ch10: likewise an IRIG 106 Chapter 10 recording (TMATS, time\n"
       "      and PCM packets) of the same stream. kill -USR1 unplugs the unit (device and\n"
       "      link go), kill -USR2 plugs it in again (the new device is printed)",
       RunEmulate},
  };
  return commands;
}
