#pragma once
// The receiving side of the output codes: bits back from half-bit cells.
#include <cstddef>

#include "simulator/LineCodes.h"

// Cells 2i + phase and 2i + 1 + phase carry bit i (phase 0 or 1: which cell starts a bit
// is unknown to a receiver that joins a stream). Differential codes take the line as low
// before the first bit; RNRZ is derandomized from an all-ones register, so only its first
// register-length bits may be wrong. An index outside the table is read as NRZ-L.
BitSequence DecodeLine(LineCode code, const BitSequence& cells, int phase);

// True for codes whose two cells of a bit are always equal: both phases read the same.
bool CodeHasOneLevelPerBit(LineCode code);
