// The setup-file loader: any file loads or is refused as a whole, a refused file leaves the
// program's setup exactly as it was, whatever works on a loaded setup copes with it, and a
// loaded setup saved and loaded again is the same.
#include <algorithm>
#include <memory>
#include <string>

#include "FuzzSupport.h"
#include "app/Qm48GlobUnit.h"
#include "app/SetupFiles.h"
#include "common/RecordCompare.h"
#include "editor/FrameMapModel.h"
#include "simulator/Qm48SimulatorUnit.h"
#include "simulator/SetupDump.h"
#include "simulator/SimValidation.h"
#include "transmitter/Qm48TransmitterUnit.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string path = FuzzFile("FUZZ.QM48", data, size);
  auto sim = std::make_unique<progsimulatorclass>();
  auto tx = std::make_unique<progtxclass>();
  gFormatNumber = 7;
  gFormatName_ = {"A", "B", "C", "D"};
  const auto namesBefore = gFormatName_;
  std::string current = "BEFORE";
  const bool loaded = LoadWholeFile(ProgramSetup(*sim, *tx), path, true, current);
  FUZZ_CHECK(gSetupEdited == !loaded);
  if (!loaded) {
    FUZZ_CHECK(current == "BEFORE" && gFormatNumber == 7 && gFormatName_ == namesBefore);
    return 0;
  }
  FrameMapModel map;
  map.Build(*sim);
  if (map.Frames() > 0 && map.Words() > 0) map.CellAt(map.Frames() - 1, map.Words() - 1);
  FUZZ_CHECK(!SetupDumpLines(sim->Setup).empty());
  auto loadable = std::make_unique<progsimulatorclass>(*sim);  // validation may reset a record
  std::string message;
  if (ValidateSimulatorSetup(*loadable, message)) {
    loadable->Prep232SimSetupData(SelectedLoadFormat());
    FUZZ_CHECK(loadable->TxBuffer.Fill() > 0);
  }
  const std::string again = path + ".again";
  FUZZ_CHECK(SaveWholeFile(ProgramSetup(*sim, *tx), again, &current) && !IsFileReadOnly(again));
  auto back = std::make_unique<progsimulatorclass>();
  progtxclass backTx;
  FUZZ_CHECK(LoadWholeFile(ProgramSetup(*back, backTx), again, true, current));
  // Words beyond the frame are not stored: a fresh object's own stay.
  const size_t stored =
      size_t(std::clamp(sim->Setup.WordsPerMinorFrame, 0, kMaxWordsPerMinorFrame));
  std::copy(sim->Setup.Words.begin() + long(stored), sim->Setup.Words.end(),
            back->Setup.Words.begin() + long(stored));
  FUZZ_CHECK(SetupDifferences(sim->Setup, back->Setup).empty());
  return 0;
}
