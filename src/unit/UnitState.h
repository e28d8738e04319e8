#pragma once
// Everything the virtual unit holds: the encoder memory and the simulator registers it
// runs from, the copy saved to flash, the transmitter registers and the run state.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

constexpr uint32_t kUnitMemoryWords = 65536;  // the whole 16-bit word address space
constexpr int kUnitFormats = 4;
constexpr int kUnitSimRegisters = 3;  // 0 frame start, 1 mode, 2 PCM encoder
constexpr int kUnitTxRegisters = 4;   // 0 frequency, 1 deviation, 2 filter, 3 attenuation
constexpr size_t kUnitNameLength = 8;

// What the encoder runs from, and what "S" copies to flash.
struct SimulatorImage {
  std::vector<uint16_t> memory = std::vector<uint16_t>(kUnitMemoryWords, 0);
  std::array<uint16_t, kUnitSimRegisters> registers{};
  uint32_t clock = 0;
  int formatNumber = 0;
  // The eight bytes each "H" brought, as received (the controller sends lower case).
  std::array<std::string, kUnitFormats> formatNames{
      std::string(kUnitNameLength, ' '), std::string(kUnitNameLength, ' '),
      std::string(kUnitNameLength, ' '), std::string(kUnitNameLength, ' ')};

  bool operator==(const SimulatorImage&) const = default;
};

struct UnitState {
  SimulatorImage sim;
  SimulatorImage flash;  // the image at the last "S"
  uint64_t flashSaves = 0;
  std::array<uint16_t, kUnitTxRegisters> tx{};
  bool running = false;
  uint64_t commandCount = 0;  // every command cut from the line, answered or not

  bool operator==(const UnitState&) const = default;
};
