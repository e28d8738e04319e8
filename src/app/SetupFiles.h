#pragma once
// Setup files as a whole: the simulator and transmitter sections saved and recalled
// together, the user wave files a recalled setup names, and the last-setup file that
// carries the setup and the current file name from one run to the next.
#include <array>
#include <cstdint>
#include <string>

class progsimulatorclass;
class progtxclass;

extern const char* const kSimulatorSection;         // "SIMULATOR SETUP"
extern const char* const kTransmitterSection;       // "TRANSMITTER SETUP"
extern const char* const kLastSetupSection;         // "LAST SETUP FILENAME"
extern const char* const kLastSetupFileName;        // "LastQm48.Cfg"
extern const char* const kSetupFileExtension;       // "QM48"
extern const char* const kInvalidSetupFileText;     // "INVALID SETUP FILE..ABORT LOAD"
extern const char* const kInvalidSetupFileCaption;  // "INVALID FILE"
extern const char* const kReadOnlySetupFileText;

class SetupSession;

// Everything a setup file holds: the simulator and transmitter objects and the format
// number and names; and the edited flag a load or save sets or clears (none when null).
struct WholeSetup {
  progsimulatorclass& sim;
  progtxclass& tx;
  int32_t& formatNumber;
  std::array<std::string, 4>& formatNames;
  bool* edited = nullptr;
};
// The setup of a session: its objects, its format selection and its edited flag.
WholeSetup SessionSetup(SetupSession& session);
// The given objects with the application session's format selection and edited flag.
WholeSetup ProgramSetup(progsimulatorclass& sim, progtxclass& tx);

// "LastQm48.Cfg" in the start directory.
std::string LastSetupPath();

// Reads both sections and the user wave files they name. All or nothing: the setup
// changes only when both sections loaded. With takeLastName a "FileName" entry naming an
// existing file becomes currentFileName (also only on success). False when the file
// does not exist (nothing changes) or a section lacks its "FileVersion"; the edited flag
// is then set unless the file was missing, and cleared on success.
bool LoadWholeFile(const WholeSetup& setup, const std::string& path, bool takeLastName,
                   std::string& currentFileName);
// Writes "FileName" (when lastName is given) and both sections in one atomic write.
// False when the path names no file or the write failed.
bool SaveWholeFile(const WholeSetup& setup, const std::string& path, const std::string* lastName);

// True when the file exists and may not be written.
bool IsFileReadOnly(const std::string& path);

enum class SaveOutcome {
  Saved,
  NeedsName,    // no current file: the caller asks for one (Save As)
  NoFileName,   // the current path names a folder: nothing to do
  ReadOnly,     // the file may not be written: nothing was written
  WriteFailed,  // the store could not write one of the files
};
// Save: the current file, then the last-setup file; the edited flag is cleared on success.
SaveOutcome SaveSetup(const WholeSetup& setup, const std::string& currentFileName);

// Recall of name: on success it becomes currentFileName, the edited flag is cleared and the
// last-setup file is rewritten. On failure the setup and currentFileName are unchanged.
bool RecallSetup(const WholeSetup& setup, const std::string& name, std::string& currentFileName);
