#pragma once
// Program-wide setup values shared by the loaders, the setup files and the editor.
#include <array>
#include <atomic>
#include <string>

// Selected format, 0..3 (shown as 1..4).
extern int gFormatNumber;
// The name of each of the four formats, at most 8 characters each.
extern std::array<std::string, 4> gFormatName_;
// The setup was edited since it was last saved or recalled.
extern bool gSetupEdited;
// Set when the program is closing: senders stop and the port handler ignores events.
extern std::atomic<bool> gShuttingDown;
