#include "app/Qm48GlobUnit.h"

#include "app/ProgramObjects.h"
#include "simulator/Qm48SimulatorUnit.h"

int& gFormatNumber = AppSession().formatNumber;
std::array<std::string, 4>& gFormatName_ = AppSession().formatNames;
bool& gSetupEdited = AppSession().edited;

SimLoadFormat SelectedLoadFormat() {
  return AppSession().LoadFormat();
}
