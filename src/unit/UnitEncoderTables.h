#pragma once
// The virtual unit's encoder reads its tables out of its own memory and registers, the way
// the unit does, so its bit stream shows what the load really put there.
#include "simulator/EncoderTables.h"
#include "unit/UnitState.h"

EncoderTables EncoderTablesFromUnit(const SimulatorImage& image);

// The output code the PCM encoder register selects; codes the unit does not know go out
// as NRZ-L (encoder code 0).
LineCode LineCodeOfEncoderRegister(uint16_t pcmEncoder);
