#include "unit/UnitEncoderTables.h"

static_assert(kUnitMemoryWords == kEncoderMemoryWords);
static_assert(kUnitSimRegisters == kEncoderRegisters);

EncoderTables EncoderTablesFromUnit(const SimulatorImage& image) {
  return EncoderTablesFromImage(image.memory, image.registers);
}
