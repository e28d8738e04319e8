#include "app/Qm48GlobUnit.h"

int gFormatNumber = 0;
std::array<std::string, 4> gFormatName_;
bool gSetupEdited = false;
std::atomic<bool> gShuttingDown{false};
