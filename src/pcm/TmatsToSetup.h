#pragma once
// A simulator setup from a TMATS link: everything the P group says that the unit can do,
// defaults for the rest (word values, no dynamic or unique words). What the unit cannot
// do is refused with the attribute and its value, and the setup is left as it was.
#include <string>

#include "pcm/PcmFormat.h"

class progsimulatorclass;

// The sync pattern leads the imported frame (the standard's layout: sync, then word 1)
// and is cut into words of the common length, the remainder in its last word.
bool SetupFromPcmFormat(const PcmFormat& format, progsimulatorclass& sim, std::string& error);
