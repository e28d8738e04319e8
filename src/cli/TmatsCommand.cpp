// qm48ctl tmats: a setup's TMATS out, or a setup made from TMATS.
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>

#include "app/SetupFiles.h"
#include "app/TmatsFiles.h"
#include "cli/SetupCommands.h"
#include "pcm/SetupTmats.h"
#include "pcm/TmatsReader.h"
#include "pcm/TmatsToSetup.h"
#include "simulator/Qm48SimulatorUnit.h"

namespace {

constexpr std::streamsize kMaxTmatsBytes = 64 << 20;

void Usage() {
  std::cerr << "usage: qm48ctl tmats SETUP [-o FILE]\n"
               "       qm48ctl tmats --import TMATS -o SETUP [--link NAME]\n";
}

std::string BaseName(const std::string& path) {
  std::string name = path.substr(path.find_last_of('/') + 1);
  const size_t dot = name.find_last_of('.');
  return dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
}

bool ReadText(const std::string& path, std::string& text) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    std::cerr << "qm48ctl: tmats: " << path << ": cannot be read\n";
    return false;
  }
  std::ostringstream buffer;
  buffer << in.rdbuf();
  if (buffer.str().size() > static_cast<size_t>(kMaxTmatsBytes)) {
    std::cerr << "qm48ctl: tmats: " << path << ": more than 64 MB, not a TMATS file\n";
    return false;
  }
  text = buffer.str();
  return true;
}

int Export(const std::string& setupFile, const std::string& output) {
  LoadedSetup loaded;
  if (!LoadSetupForCommand(setupFile, loaded)) return 2;
  if (!ValidateForCommand(*loaded.sim)) return 1;
  TmatsDocument document;
  document.ProgramName = BaseName(setupFile);
  document.HaveTransmitter = true;
  document.Transmitter.FreqMhz = loaded.tx.Setup.FreqMhz;
  document.Transmitter.DeviationKhz = loaded.tx.Setup.FmDeviation;
  document.Transmitter.FilterIndex = loaded.tx.Setup.PreModFilterSelected;
  std::string text, error;
  if (!TmatsOfSetup(*loaded.sim, document, text, error)) {
    std::cerr << "qm48ctl: tmats: no decommutator could follow this frame: " << error << "\n";
    return 1;
  }
  if (output.empty()) {
    std::cout << text;
    return 0;
  }
  if (WriteWholeFile(output, text, error)) return 0;
  std::cerr << "qm48ctl: tmats: " << error << "\n";
  return 1;
}

int Import(const std::string& tmatsFile, const std::string& output, const std::string& link) {
  std::string text, error;
  if (!ReadText(tmatsFile, text)) return 2;
  TmatsDocument document;
  if (!ReadTmats(text, document, error)) {
    std::cerr << "qm48ctl: tmats: " << tmatsFile << ": " << error << "\n";
    return 1;
  }
  const PcmFormat* chosen = nullptr;
  std::string names;
  for (const PcmFormat& f : document.Links) {
    names += (names.empty() ? "" : ", ") + f.LinkName;
    if (!link.empty() ? f.LinkName == link : document.Links.size() == 1) chosen = &f;
  }
  if (chosen == nullptr) {
    std::cerr << "qm48ctl: tmats: " << tmatsFile
              << (link.empty() ? ": several PCM links, choose one with --link NAME: "
                               : ": no PCM link named " + link + "; it has: ")
              << names << "\n";
    return 2;
  }
  auto sim = std::make_unique<progsimulatorclass>();
  progtxclass tx;
  if (!SetupFromPcmFormat(*chosen, *sim, error)) {
    std::cerr << "qm48ctl: tmats: the unit cannot send this: " << error << "\n";
    return 1;
  }
  if (document.HaveTransmitter) {
    tx.Setup.FreqMhz = document.Transmitter.FreqMhz;
    tx.Setup.FmDeviation = std::clamp(document.Transmitter.DeviationKhz, 0, 999);
    tx.Setup.PreModFilterSelected = std::clamp(document.Transmitter.FilterIndex, 0, 3);
  }
  if (IsFileReadOnly(output)) {
    std::cerr << kReadOnlySetupFileText << "\n";
    return 1;
  }
  if (!SaveWholeFile(ProgramSetup(*sim, tx), output, nullptr)) {
    std::cerr << "qm48ctl: tmats: cannot write " << output << "\n";
    return 1;
  }
  return 0;
}

}  // namespace

// Exit codes: 0 written, 1 a setup or TMATS the other side cannot take (said why),
// 2 usage or a file that cannot be read.
int RunTmatsCommand(const std::vector<std::string>& args) {
  std::string input, output, link;
  bool import = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    const bool takesValue = arg == "-o" || arg == "--import" || arg == "--link";
    if (takesValue && i + 1 >= args.size()) {
      std::cerr << "qm48ctl: tmats: " << arg << " needs a value\n";
      Usage();
      return 2;
    }
    if (arg == "-o") {
      output = args[++i];
    } else if (arg == "--link") {
      link = args[++i];
    } else if (arg == "--import" || (arg.rfind("-", 0) != 0 && input.empty())) {
      import = import || arg == "--import";
      input = arg == "--import" ? args[++i] : arg;
    } else {
      std::cerr << "qm48ctl: tmats: unexpected '" << arg << "'\n";
      Usage();
      return 2;
    }
  }
  if (input.empty() || (import && output.empty()) || (!import && !link.empty())) {
    Usage();
    return 2;
  }
  return import ? Import(input, output, link) : Export(input, output);
}
