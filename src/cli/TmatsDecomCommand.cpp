// qm48ctl decom --tmats: decommutation from a TMATS link instead of a setup.
#include <fstream>
#include <iostream>
#include <sstream>

#include "pcm/BitstreamFile.h"
#include "pcm/TmatsDecom.h"
#include "pcm/TmatsReader.h"

namespace {
constexpr uint64_t kMaxStreamBytes = uint64_t{1} << 30;
}  // namespace

// Exit codes as decom: 0 locked and the counter as the TMATS says, 1 no lock or a counter
// or code fault, 2 usage or a file that cannot be read.
int RunTmatsDecomCommand(const std::vector<std::string>& args) {
  std::string tmatsFile, streamFile, link;
  bool summary = false;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--summary") {
      summary = true;
    } else if ((args[i] == "--tmats" || args[i] == "--link") && i + 1 < args.size()) {
      (args[i] == "--tmats" ? tmatsFile : link) = args[i + 1];
      ++i;
    } else if (args[i].rfind("--", 0) != 0 && streamFile.empty()) {
      streamFile = args[i];
    } else {
      std::cerr << "usage: qm48ctl decom --tmats FILE [--link NAME] [--summary] BITSTREAM\n";
      return 2;
    }
  }
  std::ifstream in(tmatsFile, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  TmatsDocument doc;
  std::string error;
  if (!in || streamFile.empty() || !ReadTmats(text.str(), doc, error)) {
    std::cerr << "qm48ctl: decom: " << tmatsFile << ": "
              << (error.empty() ? "cannot be read" : error) << "\n";
    return 2;
  }
  // The link the R group names comes first, so without --link a recording's TMATS works.
  const PcmFormat* f = link.empty() ? &doc.Links.front() : nullptr;
  for (const PcmFormat& candidate : doc.Links)
    if (candidate.LinkName == link) f = &candidate;
  if (f == nullptr) {
    std::cerr << "qm48ctl: decom: " << tmatsFile << ": no PCM link named " << link << "\n";
    return 2;
  }
  BitSequence cells;
  if (!ReadBitstreamFile(streamFile, cells, error, kMaxStreamBytes)) {
    std::cerr << "qm48ctl: decom: " << error << "\n";
    return 2;
  }
  const TmatsDecomReport report = DecommutateTmats(*f, cells, [&](const TmatsDecomFrame& frame) {
    if (summary) return;
    std::cout << "frame " << frame.Number << " at bit " << frame.StartBit << ":";
    if (frame.Missed) std::cout << " pattern missed:";
    if (frame.Counter >= 0)
      std::cout << " counter " << frame.Counter << (frame.CounterOk ? "" : " (wrong)") << ":";
    char hex[8];
    for (uint16_t w : frame.Words) {
      std::snprintf(hex, sizeof hex, " %04X", w);
      std::cout << hex;
    }
    std::cout << "\n";
  });
  if (!report.Error.empty()) {
    std::cerr << "qm48ctl: decom: cannot synchronise: " << report.Error << "\n";
    return 1;
  }
  std::cout << "Link " << f->LinkName << ": " << report.BitsDecoded << " bits decoded, "
            << report.CodeViolations << " code violations; " << report.Sync.Frames.size()
            << " minor frames, locked " << report.Sync.Locks << " time(s); subframe ID counter "
            << report.CountersChecked << " checked, " << report.CounterErrors << " wrong\n";
  std::cout << (report.Clean()    ? "LOCKED: the stream follows the TMATS\n"
                : report.Locked() ? "MISMATCH\n"
                                  : "NO LOCK\n");
  return report.Clean() ? 0 : 1;
}
