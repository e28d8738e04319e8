#pragma once
// The program's log ("Qm48.Log" in the start directory, emptied at each start) and the
// logging calls every part of the program uses.
#include <atomic>
#include <string>

// Detail lines (routine START/END labels, every command written, parsed query values,
// the setup dump) are written only while this is on ("Qm48Debug.Txt" present at start).
extern std::atomic<bool> gDebugLogging;

void LogStart(const std::string& version, const std::string& name, const std::string& subdirectory,
              const std::string& fallbackName);
void LogEnd();
// The path of the open program log, empty when there is none.
std::string LogPath();

void LogText(const std::string& text, int tag);
// Error signal, the line, and (when asked, GUI thread only) a box titled "ERROR".
void LogError(const std::string& text, int tag, bool showBox);
// The line, and (when asked, GUI thread only) a box titled "INFO".
void LogInfo(const std::string& text, int tag, bool showBox);
// A detail line: written only while gDebugLogging is on.
void LogDetail(const std::string& text, int tag);
