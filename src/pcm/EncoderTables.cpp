#include "pcm/EncoderTables.h"

#include <array>
#include <utility>

#include "simulator/EncoderImage.h"
#include "simulator/SimRegisters.h"
#include "simulator/WaveWords.h"

// What the encoder takes from its registers and memory:
// - mode register: bit 0 CCITT, bit 3 LSB first (the CRC word itself is marked in its
//   word attribute);
// - frame start register: the counter's start value in bits 0..11, bit 12 counts up,
//   bit 14 "FCC"; the 12-bit counter runs from the start value to the minor frame whose
//   frame attribute marks the end of the major frame, then starts again;
// - the minor frame ends with the word whose attribute has bit 15 (16383 words at most);
// - every per-counter table is read at its base address plus the counter value, whatever
//   else the load put there;
// - convolutional coding and differential encoding (PCM encoder bits 8..12) are not
//   modelled: the stream is the plain output code.
namespace {
constexpr uint16_t kModeCcittBit = 0x0001;
constexpr uint16_t kModeLsbFirstBit = 0x0008;
constexpr uint16_t kStartValueMask = 0x0FFF;
constexpr uint16_t kStartCountsUpBit = 0x1000;
constexpr uint16_t kStartFccBit = 0x4000;
constexpr uint16_t kEncoderCodeMask = 0x003F;

uint16_t Word(const std::vector<uint16_t>& memory, int64_t address) {
  return memory[static_cast<size_t>(address & 0xFFFF)];
}
}  // namespace

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

LineCode LineCodeOfEncoderRegister(uint16_t pcmEncoder) {
  // Encoder code → output code, the inverse of the table the load uses.
  static constexpr std::array<std::pair<uint16_t, LineCode>, 16> kCodes = {{
      {0, LineCode::NrzL},
      {2, LineCode::NrzM},
      {3, LineCode::NrzS},
      {8, LineCode::BiPhaseL},
      {10, LineCode::BiPhaseM},
      {11, LineCode::BiPhaseS},
      {12, LineCode::DmM},
      {13, LineCode::DmS},
      {14, LineCode::MDmM},
      {15, LineCode::MDmS},
      {1, LineCode::InvNrzL},
      {9, LineCode::InvBiPhaseL},
      {4, LineCode::Rz},
      {6, LineCode::InvRz},
      {16, LineCode::Rnrz11},
      {32, LineCode::Rnrz15},
  }};
  const uint16_t code = pcmEncoder & kEncoderCodeMask;
  for (const auto& [encoderCode, lineCode] : kCodes) {
    if (encoderCode == code) return lineCode;
  }
  return LineCode::NrzL;
}

EncoderTables EncoderTablesFromImage(const std::vector<uint16_t>& memory,
                                     const std::array<uint16_t, kEncoderRegisters>& registers) {
  EncoderTables tables;
  const uint16_t mode = registers[kModeRegister];
  const uint16_t start = registers[kFrameStartRegister];
  tables.LsbFirst = (mode & kModeLsbFirstBit) != 0;
  tables.Ccitt = (mode & kModeCcittBit) != 0;
  tables.CountsUp = (start & kStartCountsUpBit) != 0;
  tables.FccMode = (start & kStartFccBit) != 0;
  tables.Code = LineCodeOfEncoderRegister(registers[kPcmEncoderRegister]);

  // Every value of the 12-bit counter; the encoder model follows the count from Start.
  tables.Low = 0;
  tables.High = kStartValueMask;
  tables.Start = start & kStartValueMask;
  const size_t counters = static_cast<size_t>(tables.High - tables.Low + 1);

  for (int64_t i = 0; i < kMaxWordsPerMinorFrame; ++i) {
    const uint16_t attribute = Word(memory, kWordAttributeBaseAddress + i + 1);
    tables.WordAttributes.push_back(attribute);
    tables.WordValues.push_back(Word(memory, i + 1));
    if ((attribute & kAttributeLastWordBit) != 0) break;
  }

  tables.FrameAttributes.resize(counters);
  tables.SfIdValues.resize(counters);
  for (auto& wave : tables.WaveValues) wave.resize(counters);
  for (size_t s = 0; s < counters; ++s) {
    const int64_t c = tables.Low + static_cast<int64_t>(s);
    tables.FrameAttributes[s] = Word(memory, kFrameAttributeBaseAddress + c);
    tables.SfIdValues[s] = Word(memory, kSfIdValueBaseAddress + c);
    for (size_t k = 0; k < tables.WaveValues.size(); ++k) {
      tables.WaveValues[k][s] =
          Word(memory, kWaveTableBaseAddress + kWaveTableStride * static_cast<int64_t>(k) + c);
    }
  }
  for (size_t j = 0; j < tables.FrameSyncValues.size(); ++j)
    tables.FrameSyncValues[j] = Word(memory, kFrameSyncBaseAddress + static_cast<int64_t>(j));
  for (size_t k = 0; k < tables.UniqueValues.size(); ++k)
    tables.UniqueValues[k] = Word(memory, kUniqueValueBaseAddress + static_cast<int64_t>(k));
  return tables;
}
