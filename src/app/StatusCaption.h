#pragma once
// The main window's caption, which is its status line: the "*" of unsaved edits, the
// program and version, the current file's title and whether the unit is connected.
#include <string>

// The file name without its folder and without everything from its first "." on;
// empty for an empty path.
std::string FileTitle(const std::string& path);

// "*QM-48  Ver <version>  SETUP  Connected": "*" only when edited; the title in upper case
// (the file itself keeps the name the operator gave it); "  Disconnected" without a port.
std::string StatusCaption(bool edited, const std::string& currentFileName, bool connected);
