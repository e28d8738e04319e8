#pragma once
// Program-wide setup values shared by the loaders, the setup files and the editor: thin
// accessors to the application session's (app/ProgramObjects.h).
#include <array>
#include <atomic>
#include <string>

// Selected format, 0..3 (shown as 1..4).
extern int& gFormatNumber;
// The name of each of the four formats, at most 8 characters each.
extern std::array<std::string, 4>& gFormatName_;
// The selected format as a load files it: a number outside 0..3 sends an empty name.
struct SimLoadFormat;
SimLoadFormat SelectedLoadFormat();
// The setup was edited since it was last saved or recalled.
extern bool& gSetupEdited;

#include "support/ProgramClosing.h"  // gShuttingDown
