// qm48ctl bitstream: the serial bits the unit would send for a setup file, as text.
#include <algorithm>
#include <charconv>
#include <iostream>
#include <string>
#include <vector>

#include "cli/SetupCommands.h"
#include "pcm/EncoderModel.h"
#include "simulator/Qm48SimulatorUnit.h"

namespace {

constexpr int64_t kMaxFrames = 65536;

bool ParseFrames(const std::string& text, int64_t& frames) {
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, frames);
  return ec == std::errc() && ptr == end && frames >= 1 && frames <= kMaxFrames;
}

void Usage() {
  std::cerr << "usage: qm48ctl bitstream FILE [--frames N] [--code]\n";
}

}  // namespace

// One minor frame per line: its subframe ID counter value, then each word's bits (or,
// with --code, its half-bit cells in the output code the unit sends) as a group of 0 and 1.
// Without --frames: one major frame.
int RunBitstreamCommand(const std::vector<std::string>& args) {
  std::string file;
  int64_t frames = 0;
  bool code = false;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--code") {
      code = true;
    } else if (args[i] == "--frames") {
      if (i + 1 >= args.size() || !ParseFrames(args[i + 1], frames)) {
        std::cerr << "qm48ctl: --frames needs a number from 1 to " << kMaxFrames << "\n";
        return 2;
      }
      ++i;
    } else if (args[i].rfind("--", 0) == 0) {
      std::cerr << "qm48ctl: unknown option '" << args[i] << "'\n";
      Usage();
      return 2;
    } else if (!file.empty()) {
      std::cerr << "qm48ctl: more than one FILE given\n";
      Usage();
      return 2;
    } else {
      file = args[i];
    }
  }
  if (file.empty()) {
    Usage();
    return 2;
  }
  LoadedSetup setup;
  if (!LoadSetupForCommand(file, setup)) return 2;
  if (!ValidateForCommand(*setup.sim)) return 1;

  const progsimulatorclass& sim = *setup.sim;
  const EncoderModel model(sim.Setup, sim.UserWaves, {sim.DoCrc16, sim.DoCttit, sim.CrcWdNum});
  if (frames == 0) frames = std::min(model.MinorFramesPerMajorFrame(), kMaxFrames);
  const BitSequence stream = code ? model.Line(frames) : model.Bits(frames);
  const size_t perBit = code ? 2 : 1;

  size_t at = 0;
  std::string line;
  for (int64_t f = 0; f < frames; ++f) {
    const EncodedMinorFrame frame = model.MinorFrame(f);
    line = std::to_string(frame.Counter) + ":";
    for (const EncodedWord& word : frame.Words) {
      line += ' ';
      for (size_t n = 0; n < perBit * static_cast<size_t>(word.Length); ++n)
        line += stream[at++] ? '1' : '0';
    }
    std::cout << line << '\n';
  }
  return std::cout.good() ? 0 : 1;
}
