#include "app/Qm48GlobUnit.h"

#include "simulator/Qm48SimulatorUnit.h"

int gFormatNumber = 0;
std::array<std::string, 4> gFormatName_;
bool gSetupEdited = false;

SimLoadFormat SelectedLoadFormat() {
  const bool known = gFormatNumber >= 0 && gFormatNumber < static_cast<int>(gFormatName_.size());
  return {gFormatNumber, known ? gFormatName_[static_cast<size_t>(gFormatNumber)] : std::string()};
}
