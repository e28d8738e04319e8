#pragma once
// The setup file the last-setup file names. Older versions stored that name in upper
// case, which on a case-sensitive file system may name no file at all: such a name is
// matched without regard to case, folder by folder, or forgotten.
#include <string>

struct WholeSetup;

// The file stored names: stored itself when it is a file; else the one file whose path
// matches stored without regard to case (an exact entry wins at each folder level);
// else empty. A relative name is taken against baseDirectory and stays relative.
std::string MatchLastSetupName(const std::string& stored, const std::string& baseDirectory);

// Start-up: loads the whole setup from the last-setup file at path (all or nothing) and,
// when it loaded, takes over its "FileName" as matched above. False when the file is
// missing (nothing changes) or did not load (the setup stays, its edited flag is set).
bool RecallLastSetup(const WholeSetup& setup, const std::string& path,
                     std::string& currentFileName);
