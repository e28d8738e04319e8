// qm48ctl decom: synchronises on a bit stream file and checks every word against a setup.
#include <strings.h>

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "cli/SetupCommands.h"
#include "pcm/BitstreamFile.h"
#include "pcm/Decommutator.h"
#include "pcm/EncoderModel.h"
#include "simulator/Qm48SimulatorUnit.h"

namespace {

constexpr uint64_t kMaxStreamBytes = uint64_t{1} << 30;

void Usage() {
  std::cerr << "usage: qm48ctl decom [--code CODE] [--check N] [--errors N] [--flywheel N]\n"
               "         [--slip N] [--summary] --setup FILE BITSTREAM\n";
}

bool ParseCount(const std::string& text, int low, int high, int& value) {
  int parsed = 0;
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, parsed);
  if (ec != std::errc() || ptr != end || parsed < low || parsed > high) return false;
  value = parsed;
  return true;
}

bool ParseCode(const std::string& text, LineCode& code) {
  for (size_t i = 0; i < kOutputCodeNames.size(); ++i) {
    if (::strcasecmp(text.c_str(), kOutputCodeNames[i]) == 0) {
      code = static_cast<LineCode>(i);
      return true;
    }
  }
  return false;
}

std::string CodeList() {
  std::string list;
  for (const char* name : kOutputCodeNames) list += std::string(list.empty() ? "" : ", ") + name;
  return list;
}

std::string Hex(uint16_t value, int length) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string text;
  for (int shift = 4 * ((std::clamp(length, 1, 16) + 3) / 4 - 1); shift >= 0; shift -= 4)
    text += kDigits[(value >> shift) & 15];
  return text;
}

struct DecomOptions {
  std::string setupFile;
  std::string streamFile;
  bool codeGiven = false;
  bool summary = false;
  DecomSettings settings;
};

bool ParseOptions(const std::vector<std::string>& args, DecomOptions& options) {
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--summary") {
      options.summary = true;
      continue;
    }
    if (arg.rfind("--", 0) != 0) {
      if (!options.streamFile.empty()) {
        std::cerr << "qm48ctl: decom: more than one BITSTREAM given\n";
        return false;
      }
      options.streamFile = arg;
      continue;
    }
    if (i + 1 >= args.size()) {
      std::cerr << "qm48ctl: decom: " << arg << " needs a value\n";
      return false;
    }
    const std::string& value = args[++i];
    DecomSettings& s = options.settings;
    bool ok = true;
    if (arg == "--setup") {
      options.setupFile = value;
    } else if (arg == "--code") {
      ok = ParseCode(value, s.Code);
      options.codeGiven = ok;
      if (!ok) {
        std::cerr << "qm48ctl: decom: unknown code '" << value << "' (" << CodeList() << ")\n";
        return false;
      }
    } else if (arg == "--check") {
      ok = ParseCount(value, 1, 1000, s.CheckPatterns);
    } else if (arg == "--errors") {
      ok = ParseCount(value, 0, 64, s.LockErrors);
    } else if (arg == "--flywheel") {
      ok = ParseCount(value, 1, 1000, s.Flywheel);
    } else if (arg == "--slip") {
      ok = ParseCount(value, 0, 64, s.SlipWindow);
    } else {
      std::cerr << "qm48ctl: decom: unknown option '" << arg << "'\n";
      return false;
    }
    if (!ok) {
      std::cerr << "qm48ctl: decom: " << arg << " " << value << ": not a valid value\n";
      return false;
    }
  }
  if (options.setupFile.empty() || options.streamFile.empty()) {
    std::cerr << "qm48ctl: decom: " << (options.setupFile.empty() ? "--setup FILE" : "BITSTREAM")
              << " missing\n";
    return false;
  }
  return true;
}

void PrintFrame(const DecomFrame& frame, const std::vector<int>& lengths) {
  std::string line =
      "frame " + std::to_string(frame.Number) + " at bit " + std::to_string(frame.StartBit) + ": ";
  if (frame.Missed) {
    line += "pattern missed, not compared:";
  } else {
    line += "minor frame " + std::to_string(frame.MinorFrame) + " (counter " +
            std::to_string(frame.Counter) + ")";
    if (frame.Slip != 0) line += ", slipped " + std::to_string(frame.Slip) + " bit";
    if (frame.SyncErrors != 0) line += ", " + std::to_string(frame.SyncErrors) + " sync errors";
    if (frame.HasCrc && !frame.CrcOk) line += ", CRC wrong";
    line += ":";
  }
  for (size_t w = 0; w < frame.Words.size(); ++w) line += " " + Hex(frame.Words[w], lengths[w]);
  std::cout << line << '\n';
}

void PrintSummary(const DecomReport& report, const SimSetupData& setup, const DecomOptions& o,
                  int64_t majorFrame) {
  const SyncResult& sync = report.Sync;
  std::cout << "Code: " << kOutputCodeNames[static_cast<size_t>(o.settings.Code)];
  const auto setupCode = static_cast<size_t>(setup.SimOutputCode);
  if (!o.codeGiven && setupCode < kOutputCodeNames.size() &&
      static_cast<LineCode>(setupCode) != o.settings.Code)
    std::cout << " (what the unit sends for the setup's " << kOutputCodeNames[setupCode]
              << ", which it has no encoder setting for)";
  std::cout << ", bits taken from cell " << report.Phase << ", " << report.BitsDecoded
            << " bits decoded";
  if (report.CodeViolations > 0)
    std::cout << ", " << report.CodeViolations << " code violations (is the stream in this code?)";
  if (report.TailCodeViolations > 0)
    std::cout << "; " << report.TailCodeViolations << " code violations in the last "
              << report.TailBits << " bits, where the stream ends (not counted)";
  std::cout << "\n";
  if (!report.Locked()) {
    std::cout << "Lock: none: the frame sync pattern was not found " << o.settings.CheckPatterns
              << " times a frame apart\n";
    return;
  }
  char seconds[32];
  std::snprintf(
      seconds, sizeof seconds, "%.6f",
      setup.SimBitRate > 0 ? static_cast<double>(sync.FirstLockBit) / setup.SimBitRate : 0.0);
  std::cout << "Lock: after " << sync.FirstLockBit << " bits (" << seconds << " s at "
            << setup.SimBitRate << " bps); locked " << sync.Locks << " time(s), lost "
            << sync.LockLosses << "\n";
  std::cout << "Minor frames: " << sync.Frames.size() << " decoded (" << majorFrame
            << " a major frame); " << sync.Slips << " slipped, " << sync.MissedPatterns
            << " patterns missed, " << sync.PatternBitErrors << " sync bit errors\n";
  if (report.CrcChecked > 0)
    std::cout << "CRC: " << report.CrcChecked << " checked, " << report.CrcErrors << " wrong\n";
  std::cout << "Words: " << report.WordsCompared << " compared, " << report.WordsDiffering
            << " differ from the setup";
  if (report.RandomWords > 0) std::cout << ", " << report.RandomWords << " RANDOM not compared";
  if (report.WordsCutOff > 0)
    std::cout << ", " << report.WordsCutOff
              << " at the end of the stream not decoded completely, not compared";
  std::cout << "\n";
  for (const DecomWordDifference& d : report.Differences) {
    std::cout << "  frame " << d.Frame << " word " << d.Word << ": " << Hex(d.Got, 16) << ", setup "
              << Hex(d.Expected, 16) << "\n";
  }
  if (report.WordsDiffering > static_cast<int64_t>(report.Differences.size())) {
    std::cout << "  ... and " << report.WordsDiffering - report.Differences.size() << " more\n";
  }
}

}  // namespace

// Exit codes: 0 locked and every word as the setup says, 1 no lock or any difference,
// 2 usage or a file that cannot be read.
int RunTmatsDecomCommand(const std::vector<std::string>& args);  // TmatsDecomCommand.cpp

int RunDecomCommand(const std::vector<std::string>& args) {
  if (std::find(args.begin(), args.end(), "--tmats") != args.end())
    return RunTmatsDecomCommand(args);
  DecomOptions options;
  if (!ParseOptions(args, options)) {
    Usage();
    return 2;
  }
  LoadedSetup loaded;
  if (!LoadSetupForCommand(options.setupFile, loaded)) return 2;
  if (!ValidateForCommand(*loaded.sim)) return 1;
  const progsimulatorclass& sim = *loaded.sim;

  BitSequence cells;
  std::string error;
  if (!ReadBitstreamFile(options.streamFile, cells, error, kMaxStreamBytes)) {
    std::cerr << "qm48ctl: decom: " << error << "\n";
    return 2;
  }
  options.settings.EndPaddingCells = PossiblePaddingCells(cells);
  const EncoderModel model(sim.Setup, sim.UserWaves, {sim.DoCrc16, sim.DoCttit, sim.CrcWdNum});
  // Without --code, the code the unit sends for the setup: one it has no encoder setting
  // for goes out as another.
  if (!options.codeGiven) options.settings.Code = model.Code();
  const std::vector<int> lengths = model.WordLengths();
  const DecomReport report =
      Decommutate(sim.Setup, model, cells, options.settings, [&](const DecomFrame& frame) {
        if (!options.summary) PrintFrame(frame, lengths);
      });
  if (!report.Error.empty()) {
    std::cerr << "qm48ctl: decom: cannot synchronise: " << report.Error << "\n";
    return 1;
  }
  PrintSummary(report, sim.Setup, options, model.MinorFramesPerMajorFrame());
  std::cout << (report.Clean()    ? "MATCH: every word is where the setup puts it\n"
                : report.Locked() ? "MISMATCH\n"
                                  : "NO LOCK\n");
  return report.Clean() ? 0 : 1;
}
