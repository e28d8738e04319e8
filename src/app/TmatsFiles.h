#pragma once
// The "File" menu's TMATS entries: the setup's TMATS written to a file the operator
// chooses, and a setup made from a TMATS file. Everything the operator sees goes through
// the operator interface.
#include <array>
#include <cstdint>
#include <string>

class progsimulatorclass;
class progtxclass;

constexpr const char* kTmatsFileExtension = "tmt";
constexpr const char* kTmatsCaption = "TMATS";

// Writes text to path through a file beside it that is renamed over it, so the old file
// stays whole until the new one is. False with the reason.
bool WriteWholeFile(const std::string& path, const std::string& text, std::string& error);

// filterKhz: the unit's filter corners from its last query (0: unknown). True when written.
bool ExportTmatsChosen(progsimulatorclass& sim, const progtxclass& tx,
                       const std::array<uint32_t, 4>& filterKhz, const std::string& setupName);

// Asks for a file and, when it describes several PCM links, for the link; a link the unit
// cannot send is refused with the reason and the setup stays as it was. True when the
// setup was replaced.
bool ImportTmatsChosen(progsimulatorclass& sim, progtxclass& tx);
