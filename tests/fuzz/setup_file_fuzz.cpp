// The setup-file loader: any file loads or is refused as a whole, and a refused file
// leaves the program's setup exactly as it was.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "FuzzSupport.h"
#include "app/Qm48GlobUnit.h"
#include "app/SetupFiles.h"
#include "simulator/Qm48SimulatorUnit.h"
#include "transmitter/Qm48TransmitterUnit.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static FuzzScratchDir dir;
  static const std::string path = dir.File("FUZZ.QM48");
  WriteFuzzFile(path, data, size);

  auto sim = std::make_unique<progsimulatorclass>();
  auto tx = std::make_unique<progtxclass>();
  gFormatNumber = 7;
  gFormatName_ = {"A", "B", "C", "D"};
  const int32_t formatBefore = gFormatNumber;
  const auto namesBefore = gFormatName_;
  std::string current = "BEFORE";

  const bool loaded = LoadWholeFile(ProgramSetup(*sim, *tx), path, true, current);
  FUZZ_CHECK(gSetupEdited == !loaded);
  if (!loaded) {
    FUZZ_CHECK(current == "BEFORE");
    FUZZ_CHECK(gFormatNumber == formatBefore);
    FUZZ_CHECK(gFormatName_ == namesBefore);
  }
  return 0;
}
