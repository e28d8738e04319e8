// qm48ctl emulate: the virtual unit as a process of its own, for users without a unit.
#include <signal.h>

#include <charconv>
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "unit/VirtualUnit.h"

namespace {

const char* kUsage =
    "usage: qm48ctl emulate [--link PATH] [--state FILE] [--fault MODE] [--line-rate BAUD]\n"
    "         [--reply-latency MS]\n"
    "         [--min-freq MHZ] [--max-freq MHZ] [--filters K1,K2,K3,K4] [--firmware HEX]\n"
    "         [--max-db N] [--atten-steps N] [--bitstream FILE [--bitstream-frames N]]\n"
    "         [--ch10 FILE]\n"
    "  kill -USR1 unplugs the unit (its device and link go), kill -USR2 plugs it in again\n"
    "  fault modes: silent, silent-after=N, garbage, double-cr, stray-cr, slow=MS,\n"
    "               vanish-after=N, echo, second-writer, short-reply=N\n";

bool ParseNumber(const std::string& text, uint32_t& value, int base = 10) {
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, base);
  return !text.empty() && ec == std::errc() && end == text.data() + text.size();
}

bool ParseFilters(const std::string& text, std::array<uint32_t, 4>& filters) {
  std::array<uint32_t, 4> parsed{};
  size_t start = 0;
  for (size_t i = 0; i < parsed.size(); ++i) {
    size_t comma = text.find(',', start);
    if ((comma == std::string::npos) != (i == parsed.size() - 1)) return false;
    if (!ParseNumber(text.substr(start, comma - start), parsed[i])) return false;
    start = comma + 1;
  }
  filters = parsed;
  return true;
}

bool ParseOptions(const std::vector<std::string>& args, VirtualUnitOptions& options) {
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& name = args[i];
    if (i + 1 >= args.size()) {
      std::cerr << "qm48ctl: emulate: " << name
                << (name.rfind("--", 0) == 0 ? " needs a value\n" : " is not an option\n");
      return false;
    }
    const std::string& value = args[++i];
    bool ok = true;
    std::string error;
    UnitLimits& limits = options.limits;
    if (name == "--link") {
      options.linkPath = value;
    } else if (name == "--bitstream") {
      options.bitstreamPath = value;
    } else if (name == "--ch10") {
      options.ch10Path = value;
    } else if (name == "--bitstream-frames") {
      uint32_t frames = 0;
      ok = ParseNumber(value, frames) && frames > 0;
      options.bitstreamFrames = frames;
    } else if (name == "--state") {
      options.stateFile = value;
    } else if (name == "--fault") {
      ok = ParseFaultMode(value, options.fault, error);
    } else if (name == "--line-rate") {
      ok = ParseNumber(value, options.lineRate) && options.lineRate > 0;
    } else if (name == "--reply-latency") {
      ok = ParseNumber(value, options.replyLatencyMs) && options.replyLatencyMs <= 60000;
    } else if (name == "--min-freq") {
      ok = ParseNumber(value, limits.minFreqMhz);
    } else if (name == "--max-freq") {
      ok = ParseNumber(value, limits.maxFreqMhz);
    } else if (name == "--filters") {
      ok = ParseFilters(value, limits.premodFilterKhz);
    } else if (name == "--firmware") {
      ok = ParseNumber(value, limits.firmwareVersion, 16);
    } else if (name == "--max-db") {
      ok = ParseNumber(value, limits.maxDb);
    } else if (name == "--atten-steps") {
      ok = ParseNumber(value, limits.numAttenSteps);
    } else {
      std::cerr << "qm48ctl: emulate: unknown option " << name << "\n";
      return false;
    }
    if (!ok) {
      std::cerr << "qm48ctl: emulate: " << name << " " << value << ": "
                << (error.empty() ? "not a valid value" : error) << "\n";
      return false;
    }
  }
  return true;
}

}  // namespace

// Runs the unit until SIGINT or SIGTERM, then writes its state and ends with 0; SIGUSR1 and
// SIGUSR2 unplug it and plug it in again.
int RunEmulateCommand(const std::vector<std::string>& args) {
  VirtualUnitOptions options;
  if (!ParseOptions(args, options)) {
    std::cerr << kUsage;
    return 2;
  }
  // Block the signals before the unit's thread starts, so that it inherits the mask and
  // only sigwait below receives them.
  sigset_t signals;
  sigemptyset(&signals);
  sigaddset(&signals, SIGINT);
  sigaddset(&signals, SIGTERM);
  sigaddset(&signals, SIGUSR1);
  sigaddset(&signals, SIGUSR2);
  pthread_sigmask(SIG_BLOCK, &signals, nullptr);

  VirtualUnit unit(options);
  std::string error;
  if (!unit.Start(&error)) {
    std::cerr << "qm48ctl: emulate: " << error << "\n";
    return 1;
  }
  std::printf("%s\n", unit.DevicePath().c_str());
  std::fflush(stdout);
  // SIGUSR1 unplugs the unit (its device and link go, as an adapter's do), SIGUSR2 plugs
  // it in again on a new device (printed) under the same link, with the state it had.
  for (int received = 0;;) {
    if (sigwait(&signals, &received) != 0) continue;
    if (received == SIGUSR1) {
      unit.Stop();
    } else if (received == SIGUSR2) {
      if (!unit.Start(&error)) std::cerr << "qm48ctl: emulate: " << error << "\n";
      std::printf("%s\n", unit.DevicePath().c_str());
      std::fflush(stdout);
    } else {
      break;
    }
  }
  unit.Stop();
  if (!options.stateFile.empty() && !unit.WriteState(&error)) {
    std::cerr << "qm48ctl: emulate: " << error << "\n";
    return 1;
  }
  return 0;
}
