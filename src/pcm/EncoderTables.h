#pragma once
// What the PCM encoder runs from: the tables of its memory and the settings of its
// registers, in a form the encoder model reads. Built either from a setup record (what the
// setup asks for) or from a unit's memory (what the unit was told).
#include <array>
#include <cstdint>
#include <vector>

#include "pcm/LineCodes.h"
#include "simulator/EncoderImage.h"
#include "simulator/MemoryImages.h"
#include "simulator/SimSetupData.h"

constexpr int kEncoderDynamicTables = 5;
constexpr int kEncoderUniqueValues = 7;
constexpr int kEncoderSyncSlots = 1024;

struct EncoderTables {
  bool LsbFirst = false;
  bool CountsUp = true;
  bool FccMode = false;  // the minor frame that ends the major frame sends its sync inverted
  bool Ccitt = false;    // the CRC word carries CCITT rather than CRC-16
  LineCode Code = LineCode::NrzL;
  // The per-counter tables cover the counter values Low..High. A major frame starts at
  // Start and counts (up or down) to the minor frame whose frame attribute marks the end
  // of the major frame; a count that leaves Low..High goes on from its other end.
  int64_t Low = 0;
  int64_t High = 0;
  int64_t Start = 0;
  std::vector<uint16_t> WordAttributes;                       // per word index, CRC bit included
  std::vector<uint16_t> WordValues;                           // per word index
  std::vector<uint16_t> FrameAttributes;                      // per counter value - Low
  std::vector<uint16_t> SfIdValues;                           // per counter value - Low
  std::array<uint16_t, kEncoderSyncSlots> FrameSyncValues{};  // per word number mod 1024
  std::array<uint16_t, kEncoderUniqueValues> UniqueValues{};
  // [k][counter value - Low]; a table no load wrote holds zeros.
  std::array<std::vector<uint16_t>, kEncoderDynamicTables> WaveValues;
  // Tables whose values are drawn at random at every load, so no two loads agree on them.
  std::array<bool, kEncoderDynamicTables> RandomWave{};
};

// The tables the encoder runs from after a load of this setup into a memory that held
// zeros, read as the unit reads them. "RANDOM" waves draw from the runtime generator as a
// load does.
EncoderTables EncoderTablesFromSetup(const SimSetupData& setup, const UserWaveTables& waves,
                                     EncoderCrcSetting crc);

// Word attribute fields (the bits are in MemoryImages.h).
inline int AttributeWordLength(uint16_t attribute) {
  return ((attribute >> 8) & 15) + 1;
}
inline int AttributeWordType(uint16_t attribute) {
  return (attribute >> 12) & 7;
}
// Frame attribute: the minor frame that ends the major frame.
constexpr uint16_t kFrameEndsMajorFrameBit = 0x0080;

// The tables the encoder runs from, read out of its memory and registers.
EncoderTables EncoderTablesFromImage(const std::vector<uint16_t>& memory,
                                     const std::array<uint16_t, kEncoderRegisters>& registers);

// The output code the PCM encoder register selects; an encoder code the unit does not know
// goes out as NRZ-L (encoder code 0).
LineCode LineCodeOfEncoderRegister(uint16_t pcmEncoder);
