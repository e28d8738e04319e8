#pragma once
// The receiving side of the output codes: bits back from half-bit cells.
#include <cstddef>
#include <cstdint>

#include "pcm/LineCodes.h"

// Cells 2i + phase and 2i + 1 + phase carry bit i (phase 0 or 1: which cell starts a bit
// is unknown to a receiver that joins a stream). Differential codes take the line as low
// before the first bit; RNRZ is derandomized from an all-ones register, so only its first
// register-length bits may be wrong. An index outside the table is read as NRZ-L.
// Bits that break the code's rules are counted into *violations when it is given: the
// NRZ codes' two cells differ, a Bi-phase-L bit without its mid-bit transition, a
// Bi-phase-M/S bit without the transition at its start, an RZ bit whose second half is
// not low (high for the inverted code). The delay codes are not checked.
BitSequence DecodeLine(LineCode code, const BitSequence& cells, int phase,
                       int64_t* violations = nullptr);

// The violations among bits firstBit .. endBit - 1 of that decoding.
int64_t CodeViolations(LineCode code, const BitSequence& cells, int phase, int64_t firstBit,
                       int64_t endBit);

// How many of the bits decoded from the first `cells` cells are decoded completely: both
// their cells are there, and so is the next bit where the code needs it (M-DM decides a
// bit by the one after it).
int64_t CompleteBits(LineCode code, int64_t cells, int phase);
