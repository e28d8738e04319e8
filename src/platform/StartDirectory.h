#pragma once
// The start directory: the current directory when the program started. Files named
// without a path live there, and file operations return there.
#include <string>

// Remembers the current directory as the start directory (first call wins unless forced).
void RecordStartDirectory(bool force = false);
// The recorded start directory (the current directory if none was recorded yet).
std::string StartDirectory();
// Makes the start directory current again; false when it cannot be entered.
bool GoToStartDirectory();
// The current directory, empty when it cannot be read.
std::string CurrentDirectory();
