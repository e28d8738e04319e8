#pragma once
// The checks a simulator setup must pass before it is turned into commands for the unit.
#include <cstdint>
#include <string>

class progsimulatorclass;

// True when the setup may be loaded. A record whose enumerated fields or bit rate lie
// outside the unit's tables is corrupt: it is reset to the defaults (the object's user
// wave tables and file names are kept) and the result is false with an empty message.
// Otherwise the first broken consistency rule sets the message and the result is false.
bool ValidateSimulatorSetup(progsimulatorclass& sim, std::string& message);

// The number of significant bits of value (0 for 0).
int BitsNeeded(uint32_t value);
