#include "simulator/EncoderTables.h"

#include <memory>

#include "simulator/MemoryImages.h"
#include "simulator/WaveWords.h"

namespace {
constexpr int32_t kDirectionUp = 0;
constexpr int32_t kLsbFirst = 1;
constexpr int32_t kSubframeModeFcc = 2;
}  // namespace

EncoderTables EncoderTablesFromSetup(const SimSetupData& record, const UserWaveTables& waves,
                                     EncoderCrcSetting crc) {
  auto setup = std::make_unique<SimSetupData>(record);
  EncoderTables tables;
  const std::vector<MemoryImageWrite> frameWrites = BuildFrameAttributes(*setup);
  auto attributes = std::make_unique<WordAttributeTable>();
  BuildWordAttributes(*setup, *attributes);
  const SfIdCounterRange range = SfIdRange(*setup);
  tables.Low = range.Low;
  tables.High = range.High;
  // The frame start register's counter value, as the load computes it from the record.
  tables.Start = setup->SubframeDirection == kDirectionUp
                     ? int64_t{setup->FirstSubFrameNum}
                     : int64_t{setup->NumSubframes} - (int64_t{setup->FirstSubFrameNum} + 1);
  const size_t counters = static_cast<size_t>(range.High - range.Low + 1);
  tables.LsbFirst = setup->BitOrder == kLsbFirst;
  tables.CountsUp = setup->SubframeDirection == kDirectionUp;
  tables.FccMode = setup->SubframeMode == kSubframeModeFcc;
  tables.Ccitt = crc.DoCttit;
  tables.Code = setup->SimOutputCode >= 0 && setup->SimOutputCode < kLineCodeCount
                    ? static_cast<LineCode>(setup->SimOutputCode)
                    : LineCode::NrzL;

  const int wordCount = FrameWordCount(*setup);
  const bool crcOn = crc.DoCrc16 || crc.DoCttit;
  tables.WordAttributes.resize(static_cast<size_t>(wordCount));
  for (int i = 0; i < wordCount; ++i) {
    uint16_t value = WordAttribute(*setup, *attributes, i);
    if (crcOn && crc.CrcWdNum == i) value |= kAttributeCrcBit;
    tables.WordAttributes[static_cast<size_t>(i)] = value;
  }
  tables.WordValues.assign(static_cast<size_t>(wordCount), 0);
  for (const MemoryImageWrite& write : WordValues(*setup)) {
    const int64_t i = write.Address - 1;
    if (i >= 0 && i < wordCount) tables.WordValues[static_cast<size_t>(i)] = write.Value;
  }

  tables.FrameAttributes.assign(counters, 0);
  for (const MemoryImageWrite& write : frameWrites) {
    const int64_t c = write.Address - kFrameAttributeBaseAddress;
    if (c >= range.Low && c <= range.High)
      tables.FrameAttributes[static_cast<size_t>(c - range.Low)] = write.Value;
  }

  const std::vector<MemoryImageWrite> unique = UniqueWordValues(*setup);
  for (size_t k = 0; k < unique.size() && k < tables.UniqueValues.size(); ++k)
    tables.UniqueValues[k] = unique[k].Value;

  // The wave writes come k after k, each over the counter values low..high.
  const std::vector<ActiveDynamicWord> dynamic = ActiveDynamicWords(*setup);
  for (size_t k = 0; k < dynamic.size() && k < tables.WaveValues.size(); ++k) {
    tables.WaveValues[k].assign(counters, 0);
    tables.RandomWave[k] = dynamic[k].Wave == kWaveRandom;
  }
  const std::vector<WaveWordWrite> waveWrites =
      BuildWaveWords(*setup, waves, range.Low, range.High);
  for (size_t i = 0; i < waveWrites.size(); ++i) {
    const size_t k = i / counters;
    if (k < tables.WaveValues.size()) tables.WaveValues[k][i % counters] = waveWrites[i].Value;
  }

  tables.SfIdValues.assign(counters, 0);
  for (const MemoryImageWrite& write : SfIdValues(*setup)) {
    const int64_t c = write.Address - kSfIdValueBaseAddress;
    if (c >= range.Low && c <= range.High)
      tables.SfIdValues[static_cast<size_t>(c - range.Low)] = write.Value;
  }

  for (const MemoryImageWrite& write : BuildFrameSyncWords(*setup)) {
    tables.FrameSyncValues[static_cast<size_t>(write.Address - kFrameSyncBaseAddress) %
                           kEncoderSyncSlots] = write.Value;
  }
  return tables;
}
