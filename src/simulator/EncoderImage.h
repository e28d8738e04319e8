#pragma once
// The encoder's memory and registers as a load leaves them. The load, the unit and the
// PC-side model all go through here, so what the model predicts comes from exactly what
// the load wrote: every write at the address its command carries, later writes over
// earlier ones, the registers as sent. How the encoder reads its tables out of them is
// pcm/EncoderTables.h.
#include <array>
#include <cstdint>
#include <vector>

#include "simulator/MemoryImages.h"
#include "simulator/SimSetupData.h"

// The CRC settings kept beside the record.
struct EncoderCrcSetting {
  bool DoCrc16 = false;
  bool DoCttit = false;
  int32_t CrcWdNum = -1;  // 0-based word index
};

constexpr size_t kEncoderMemoryWords = 65536;  // the whole 16-bit word address space
constexpr int kEncoderRegisters = 3;           // 0 frame start, 1 mode, 2 PCM encoder

// Receives the encoder part of a load in the load's order: each step's label, then its
// memory and register writes; the clock ("K") comes between the word values and the
// registers.
class EncoderLoadSink {
 public:
  virtual ~EncoderLoadSink() = default;
  virtual void Step(const char* label, int tag) = 0;
  virtual void Memory(int64_t address, uint16_t value) = 0;
  virtual void Register(int reg, uint16_t value) = 0;
  virtual void Clock() = 0;
};

// From the frame attributes to the common word value. Resets FirstSubFrameNum where the
// counter range asks for it, and rebuilds the word attribute work table.
void WriteEncoderLoad(SimSetupData& setup, const UserWaveTables& waves, EncoderCrcSetting crc,
                      WordAttributeTable& work, EncoderLoadSink& sink);

struct EncoderImage {
  std::vector<uint16_t> Memory = std::vector<uint16_t>(kEncoderMemoryWords, 0);
  std::array<uint16_t, kEncoderRegisters> Registers{};
};

// What a load of this setup leaves in an encoder whose memory held zeros. "RANDOM" waves
// draw from the runtime generator as the load does. The record is not changed.
EncoderImage LoadedEncoderImage(const SimSetupData& setup, const UserWaveTables& waves,
                                EncoderCrcSetting crc);
