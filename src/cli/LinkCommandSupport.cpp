#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <iostream>

#include "cli/LinkCommands.h"
#include "link/UnitLink.h"
#include "serial/PortConfig.h"
#include "serial/PortErrorHint.h"
#include "support/ConsoleOperator.h"

namespace {

constexpr const char* kCurrentPortConfig = "Qm48Com.Cfg";
std::atomic<bool> gInterrupted{false};

void OnInterrupt(int) {
  gInterrupted.store(true);
}

// The console operator, with a progress bar on a terminal and Ctrl+C as Cancel.
class CommandLineOperator : public ConsoleOperator {
 public:
  void RunProgress(const ProgressDialogRequest& request, ProgressTask& task) override {
    const bool bar = ::isatty(STDERR_FILENO) == 1;
    task.Start();
    bool cancelled = false;
    int drawn = -1;
    for (;;) {
      const bool finished = task.Finished();
      if (!cancelled && gInterrupted.load()) {
        task.Cancel();
        cancelled = true;
      }
      const int max = task.Maximum();
      const int percent = finished  ? 100
                          : max > 0 ? static_cast<int>(100LL * task.Position() / max)
                                    : 0;
      if (bar && percent != drawn) {
        Draw(request.caption, percent);
        drawn = percent;
      }
      if (finished) break;
      // Ctrl+C only sets a flag, so look at it at least every 20 ms.
      task.AwaitChange(task.Position(), 20);
    }
    if (bar) std::fputc('\n', stderr);
  }

 private:
  static void Draw(const std::string& caption, int percent) {
    constexpr int kWidth = 40;
    const int filled = percent * kWidth / 100;
    std::string line = "\r" + caption + " [" + std::string(static_cast<size_t>(filled), '#') +
                       std::string(static_cast<size_t>(kWidth - filled), ' ') + "] " +
                       std::to_string(percent) + "%";
    std::fputs(line.c_str(), stderr);
    std::fflush(stderr);
  }
};

CommandLineOperator gCommandLineOperator;
OperatorInterface* gPreviousOperator = nullptr;
struct sigaction gPreviousInterrupt {};

}  // namespace

bool ParseLinkArguments(const std::vector<std::string>& args, const std::vector<std::string>& flags,
                        LinkArguments& parsed) {
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--device") {
      if (i + 1 >= args.size() || args[i + 1].empty()) {
        std::cerr << "qm48ctl: --device needs a device path\n";
        return false;
      }
      parsed.device = args[++i];
    } else if (arg.size() > 2 && arg.compare(0, 2, "--") == 0) {
      bool known = false;
      for (const std::string& f : flags) known = known || f == arg;
      if (!known) {
        std::cerr << "qm48ctl: unknown option '" << arg << "'\n";
        return false;
      }
      parsed.flags.push_back(arg);
    } else {
      parsed.files.push_back(arg);
    }
  }
  return true;
}

bool HasFlag(const LinkArguments& parsed, const std::string& flag) {
  for (const std::string& f : parsed.flags)
    if (f == flag) return true;
  return false;
}

bool OpenPortForCommand(UnitLink& link, const std::string& device) {
  PortConfig config;
  const bool haveConfig = LoadPortConfig(config, kCurrentPortConfig);
  const std::string path =
      device.empty() ? PortDevicePath(config.PortNum, kCurrentPortConfig) : device;
  if (link.Open(config, path)) return true;
  std::cerr << "qm48ctl: " << PortOpenFailureText(path, ProbePortDevice(path)) << "\n";
  if (device.empty() && !haveConfig)
    std::cerr << "qm48ctl: (no " << kCurrentPortConfig
              << " here; give the device with --device PATH)\n";
  return false;
}

CommandLineOperatorScope::CommandLineOperatorScope() {
  gInterrupted.store(false);
  struct sigaction action {};
  action.sa_handler = OnInterrupt;
  sigemptyset(&action.sa_mask);
  ::sigaction(SIGINT, &action, &gPreviousInterrupt);
  gPreviousOperator = SetOperator(&gCommandLineOperator);
}

CommandLineOperatorScope::~CommandLineOperatorScope() {
  SetOperator(gPreviousOperator);
  ::sigaction(SIGINT, &gPreviousInterrupt, nullptr);
}

int ReportOutcome(const std::string& what, const SendOutcome& outcome) {
  if (outcome.Ok()) return kExitOk;
  std::cerr << "qm48ctl: " << what << " " << SendResultName(outcome.result) << ": "
            << SendOutcomeText(outcome) << "\n";
  switch (outcome.result) {
    case SendResult::Done:
      return kExitOk;
    case SendResult::TimedOut:
      return kExitTimedOut;
    case SendResult::Cancelled:
      return kExitCancelled;
    case SendResult::NoPort:
      return kExitNoPort;
    case SendResult::Disconnected:
      return kExitDisconnected;
    case SendResult::InvalidReply:
      return kExitInvalidReply;
  }
  return kExitUsage;
}
