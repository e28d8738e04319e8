#pragma once
// The qm48ctl subcommands that talk to a unit ("load", "query") and what they share: the
// exit codes, opening the port, the progress bar and the report of a failed send. Each
// command owns the link it talks on.
#include <string>
#include <vector>

#include "link/SendOutcome.h"

class UnitLink;

int RunLoadCommand(const std::vector<std::string>& args);
int RunQueryCommand(const std::vector<std::string>& args);

// Exit codes of "load" and "query" (listed by "qm48ctl --help").
constexpr int kExitOk = 0;
constexpr int kExitInvalidSetup = 1;
constexpr int kExitUsage = 2;  // wrong arguments, or a setup file that does not load
constexpr int kExitNoPort = 3;
constexpr int kExitTimedOut = 4;
constexpr int kExitDisconnected = 5;
constexpr int kExitCancelled = 6;
constexpr int kExitInvalidReply = 7;

// Options shared by both commands: "--device PATH" and the flags listed in `flags`.
struct LinkArguments {
  std::string device;
  std::vector<std::string> flags;  // the flags given, in order
  std::vector<std::string> files;  // the other arguments
};
// False (after a message on stderr) for an unknown option or a "--device" without a path.
bool ParseLinkArguments(const std::vector<std::string>& args, const std::vector<std::string>& flags,
                        LinkArguments& parsed);
bool HasFlag(const LinkArguments& parsed, const std::string& flag);

// Opens the link's port on device, or without one on the port "Qm48Com.Cfg" in the
// current directory names (the line settings always come from that file when it exists).
// False after a message on stderr with the system's reason.
bool OpenPortForCommand(UnitLink& link, const std::string& device);

// Installs, for its lifetime, an operator whose progress dialogs draw a bar on stderr when
// stderr is a terminal, and makes Ctrl+C cancel the send in progress. Make it before the
// command's link, so that the port is closed before the operator goes.
class CommandLineOperatorScope {
 public:
  CommandLineOperatorScope();
  ~CommandLineOperatorScope();
  CommandLineOperatorScope(const CommandLineOperatorScope&) = delete;
  CommandLineOperatorScope& operator=(const CommandLineOperatorScope&) = delete;
};

// Prints what went wrong on stderr ("what" names the step, e.g. "simulator load") and
// returns the exit code of the outcome.
int ReportOutcome(const std::string& what, const SendOutcome& outcome);
