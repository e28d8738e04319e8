// TMATS from anywhere: any text is read or refused with a reason; a link that imports
// makes a valid setup whose own TMATS imports again; decommutation from any link on a
// short stream never crashes and keeps its frames inside the stream.
#include <memory>
#include <string>

#include "FuzzSupport.h"
#include "pcm/SetupTmats.h"
#include "pcm/TmatsDecom.h"
#include "pcm/TmatsReader.h"
#include "pcm/TmatsToSetup.h"
#include "simulator/Qm48SimulatorUnit.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzInput in(data, size);
  const uint8_t streamSeed = in.Byte();
  const std::string text = in.Rest();
  TmatsDocument doc;
  std::string error;
  if (!ReadTmats(text, doc, error)) {
    FUZZ_CHECK(!error.empty());
    return 0;
  }
  FUZZ_CHECK(!doc.Links.empty());
  for (const PcmFormat& link : doc.Links) {
    BitSequence cells(2048);
    for (size_t i = 0; i < cells.size(); ++i) cells[i] = ((i * 7 + streamSeed) >> 3) & 1;
    const TmatsDecomReport report = DecommutateTmats(link, cells);
    for (const LockedFrame& f : report.Sync.Frames)
      FUZZ_CHECK(f.Start >= 0 && f.Start + link.BitsPerMinorFrame <= report.BitsDecoded);

    auto sim = std::make_unique<progsimulatorclass>();
    if (!SetupFromPcmFormat(link, *sim, error)) {
      FUZZ_CHECK(!error.empty());
      continue;
    }
    std::string again;
    FUZZ_CHECK(TmatsOfSetup(*sim, TmatsDocument{}, again, error));
    TmatsDocument back;
    FUZZ_CHECK(ReadTmats(again, back, error));
    auto second = std::make_unique<progsimulatorclass>();
    FUZZ_CHECK(SetupFromPcmFormat(back.Links.front(), *second, error));
  }
  return 0;
}
