#include "link/CommandText.h"

#include <cctype>

#include "support/NumberText.h"

namespace {
// Four upper-case hex digits of a 16-bit value, the common case, without going through
// the general number text.
void PutHex4(char* out, uint32_t value) {
  static const char kDigits[] = "0123456789ABCDEF";
  for (int i = 3; i >= 0; --i) {
    out[i] = kDigits[value & 15];
    value >>= 4;
  }
}

// "hhhh hhhh L" for two arguments and a letter.
std::string TwoHexCommand(uint32_t first, uint32_t second, char letter) {
  std::string text(11, ' ');
  if (first > 0xFFFF || second > 0xFFFF) {
    text.replace(0, 4, Hex16(first));
    text.replace(5, 4, Hex16(second));
    text[10] = letter;
    return text;
  }
  PutHex4(&text[0], first);
  PutHex4(&text[5], second);
  text[10] = letter;
  return text;
}
}  // namespace

std::string Hex16(uint32_t value) {
  if (value > 0xFFFF) return HexText(value, 4, false);  // keeps the most significant digits
  std::string text(4, '0');
  PutHex4(&text[0], value);
  return text;
}

uint16_t Hex16Value(uint32_t value) {
  if (value <= 0xFFFF) return static_cast<uint16_t>(value);
  uint16_t number = 0;
  for (char c : Hex16(value))
    number = static_cast<uint16_t>(number << 4 | (c <= '9' ? c - '0' : c - 'A' + 10));
  return number;
}

std::string Name8(const std::string& name) {
  std::string out = FitRight(8, ' ', name);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

std::string MemoryWriteCommand(uint32_t value, uint32_t address) {
  return TwoHexCommand(value, address, 'M');
}

std::string RegisterWriteCommand(uint32_t value, uint32_t reg) {
  return TwoHexCommand(value, reg, 'T');
}

std::string ClockRateCommand(uint32_t rate) {
  return TwoHexCommand(rate >> 16, rate & 0xFFFF, 'K');
}

std::string RunCommand(bool run) {
  return run ? "1 R" : "0 R";
}

std::string SaveFlashCommand() {
  return "S";
}

std::string FormatNumberCommand(int formatNumber) {
  return FloatText(formatNumber, 0, 1) + " N";
}

std::string FormatNameCommand(const std::string& name) {
  std::string text("H");
  text += Name8(name);
  return text;
}

std::string TransmitterWriteCommand(uint32_t value, int reg) {
  std::string text = Hex16(value);
  text += ' ';
  text += std::to_string(reg);
  text += " G";
  return text;
}
