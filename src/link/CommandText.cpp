#include "link/CommandText.h"

#include <cctype>

#include "support/NumberText.h"

std::string Hex16(uint32_t value) { return HexText(value, 4, false); }

std::string Name8(const std::string& name) {
  std::string out = FitRight(8, ' ', name);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

std::string MemoryWriteCommand(uint32_t value, uint32_t address) {
  return Hex16(value) + " " + Hex16(address) + " M";
}

std::string RegisterWriteCommand(uint32_t value, uint32_t reg) {
  return Hex16(value) + " " + Hex16(reg) + " T";
}

std::string ClockRateCommand(uint32_t rate) {
  return Hex16(rate >> 16) + " " + Hex16(rate & 0xFFFF) + " K";
}

std::string RunCommand(bool run) { return run ? "1 R" : "0 R"; }

std::string SaveFlashCommand() { return "S"; }

std::string FormatNumberCommand(int formatNumber) {
  return FloatText(formatNumber, 0, 1) + " N";
}

std::string FormatNameCommand(const std::string& name) { return "H" + Name8(name); }

std::string TransmitterWriteCommand(uint32_t value, int reg) {
  return Hex16(value) + " " + std::to_string(reg) + " G";
}
