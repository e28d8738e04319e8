#pragma once
// Reads the links (P groups, with the roles of their D groups), the transmitter (T group)
// and a recording's PCM channel (R group) out of TMATS text. Only syntax and numbers are
// checked here; whether the unit can send a link is TmatsToSetup's business.
#include <string>

#include "pcm/PcmFormat.h"

// False with the reason, naming the attribute and its value, when the text is not TMATS
// or an attribute this program reads has a value it cannot read.
bool ReadTmats(const std::string& text, TmatsDocument& document, std::string& error);
