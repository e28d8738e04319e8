#pragma once
// The TMATS of a simulator setup, as one call for the CLI and the GUI.
#include <string>

#include "pcm/PcmFormat.h"

class progsimulatorclass;

constexpr const char* kTmatsLinkName = "QM48-PCM";

// The document's G, T (when it has a transmitter) and R fields are kept; its links are
// replaced by the one link of the setup. False with the reason when the setup's frame
// cannot be described (no sync a decommutator could find).
bool TmatsOfSetup(const progsimulatorclass& sim, TmatsDocument document, std::string& text,
                  std::string& error);
