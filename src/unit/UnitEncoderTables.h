#pragma once
// The virtual unit's encoder reads its tables out of its own memory and registers, the way
// the unit does, so its bit stream shows what the load really put there.
#include "pcm/EncoderTables.h"
#include "simulator/EncoderImage.h"
#include "unit/UnitState.h"

EncoderTables EncoderTablesFromUnit(const SimulatorImage& image);
