#pragma once
// The virtual unit's Chapter 10 recording: what its encoder sends, with the TMATS of the
// frame it holds. The TMATS is built from the unit's memory and registers, not from any
// setup file: the sync pattern covers its whole sync words (don't-care digits and fill as
// the 0s the unit sends), the program name is the loaded format's name.
#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

#include "unit/UnitState.h"

// Bits per second on the line, from the clock value and the prescale of the mode register.
double UnitBitRate(const SimulatorImage& image);

// False with the reason when no decommutator could follow the frame the unit holds.
bool UnitCh10Recording(const SimulatorImage& image, int64_t minorFrames, std::time_t start,
                       int milliseconds, std::vector<uint8_t>& bytes, std::string& error);
