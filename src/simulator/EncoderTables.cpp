#include "simulator/EncoderTables.h"

#include "simulator/EncoderImage.h"
#include "simulator/WaveWords.h"

EncoderTables EncoderTablesFromSetup(const SimSetupData& setup, const UserWaveTables& waves,
                                     EncoderCrcSetting crc) {
  // Read out of the memory the load leaves, as the unit reads it: where the load's tables
  // overlap, wrap or leave the counter's reach, the prediction does what the unit does.
  const EncoderImage image = LoadedEncoderImage(setup, waves, crc);
  EncoderTables tables = EncoderTablesFromImage(image.Memory, image.Registers);
  const std::vector<ActiveDynamicWord> dynamic = ActiveDynamicWords(setup);
  for (size_t k = 0; k < dynamic.size() && k < tables.RandomWave.size(); ++k)
    tables.RandomWave[k] = dynamic[k].Wave == kWaveRandom;
  return tables;
}
