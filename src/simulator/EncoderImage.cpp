#include "simulator/EncoderImage.h"

#include <memory>
#include <utility>

#include "link/CommandText.h"
#include "simulator/SimRegisters.h"
#include "simulator/WaveWords.h"

namespace {

// Applies each write where its command puts it.
class ImageSink : public EncoderLoadSink {
 public:
  explicit ImageSink(EncoderImage& image) : image_(image) {}
  void Step(const char*, int) override {}
  void Memory(int64_t address, uint16_t value) override {
    image_.Memory[Hex16Value(static_cast<uint32_t>(address))] = value;
  }
  void Register(int reg, uint16_t value) override {
    image_.Registers[static_cast<size_t>(reg)] = value;
  }
  void Clock() override {}

 private:
  EncoderImage& image_;
};

}  // namespace

void WriteEncoderLoad(SimSetupData& setup, const UserWaveTables& waves, EncoderCrcSetting crc,
                      WordAttributeTable& work, EncoderLoadSink& sink) {
  sink.Step("SetFrameAttributes()", 0);
  for (const MemoryImageWrite& write : BuildFrameAttributes(setup))
    sink.Memory(write.Address, write.Value);

  sink.Step("SetWordAttributes()", 0);
  BuildWordAttributes(setup, work);
  const bool crcOn = crc.DoCrc16 || crc.DoCttit;
  const int words = FrameWordCount(setup);
  for (int i = 0; i < words; ++i) {
    uint16_t value = WordAttribute(setup, work, i);
    if (crcOn && crc.CrcWdNum == i) value |= kAttributeCrcBit;
    sink.Memory(kWordAttributeBaseAddress + i + 1, value);
  }

  sink.Step("SetUniqueWordValues()", 0);
  for (const MemoryImageWrite& write : UniqueWordValues(setup))
    sink.Memory(write.Address, write.Value);

  sink.Step("SetWaveWords()", 0);
  const SfIdCounterRange range = SfIdRange(setup);
  for (const WaveWordWrite& write : BuildWaveWords(setup, waves, static_cast<int32_t>(range.Low),
                                                   static_cast<int32_t>(range.High)))
    sink.Memory(write.Address, write.Value);

  sink.Step("SetSfIdValue()", 0);
  for (const MemoryImageWrite& write : SfIdValues(setup)) sink.Memory(write.Address, write.Value);

  sink.Step("SetFrameSyncPattern()", 0);
  for (const MemoryImageWrite& write : BuildFrameSyncWords(setup))
    sink.Memory(write.Address, write.Value);

  sink.Step("dunno why this is done", 0);
  sink.Memory(kConstantAddress, kConstantValue);

  sink.Step("SetCommonDataValues()", 0);
  for (const MemoryImageWrite& write : WordValues(setup)) sink.Memory(write.Address, write.Value);

  sink.Step("SetBitRate()", 1);
  sink.Clock();

  sink.Step("SetModeReg()", 0);
  sink.Register(kModeRegister, ModeRegisterValue(setup, crc.DoCrc16, crc.DoCttit));

  sink.Step("SetPcmOutput()", 0);
  sink.Register(kPcmEncoderRegister, PcmEncoderRegisterValue(setup));

  sink.Step("SetFirstFrame()", 0);
  sink.Register(kFrameStartRegister, FrameStartRegisterValue(setup));

  sink.Step("SetCommonWordValue()", 1);
  sink.Memory(kCommonWordValueAddress, static_cast<uint16_t>(setup.CommonWordValue & 0xFFFF));
}

EncoderImage LoadedEncoderImage(const SimSetupData& record, const UserWaveTables& waves,
                                EncoderCrcSetting crc) {
  auto setup = std::make_unique<SimSetupData>(record);
  auto work = std::make_unique<WordAttributeTable>();
  EncoderImage image;
  ImageSink sink(image);
  WriteEncoderLoad(*setup, waves, crc, *work, sink);
  return image;
}
