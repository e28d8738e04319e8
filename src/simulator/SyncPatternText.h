#pragma once
// Frame sync pattern text: a pattern written in binary, octal or hex, possibly with
// don't-care digits "X", parsed into a 64-bit value with one don't-care flag per bit
// and rendered back as hex, binary or octal digits. Pure functions, no state.
#include <array>
#include <cstdint>
#include <string>

// The radix numbers of FsPatternRadix.
enum PatternRadix : int32_t {
  kPatternBinary = 0,
  kPatternOctal = 1,
  kPatternHex = 2,
};

struct ParsedPattern {
  uint64_t Value = 0;
  // DontCare[k] belongs to bit 63 - k of Value (DontCare[0] is the most significant bit).
  std::array<bool, 64> DontCare{};
  bool Ok = false;  // every digit was readable in the radix
};

// Digits of a 64-bit value in the radix: 64 binary, 22 octal, 16 hex; 0 for any other radix.
int PatternDigitCount(int32_t radix);

// The text without spaces and without the radix markers "0x", "0X", "$", "o", "O" at its
// front (each tried once, in that order), in upper case. Inside the text "0X" stays a zero
// followed by a don't-care digit.
std::string NormalizePatternText(const std::string& text);

// Parses a pattern text in the radix. An unknown radix gives value 0, no flags and false.
ParsedPattern ParsePatternText(const std::string& text, int32_t radix);

// 16 hex / 64 binary / 22 octal digits of the pattern, don't-care digits as "X". The
// parse's success flag goes to *ok when ok is given; unreadable digits render as the
// value of the readable leading digits of each half.
std::string PatternToHexText(const std::string& text, int32_t radix, bool* ok = nullptr);
std::string PatternToBinaryText(const std::string& text, int32_t radix, bool* ok = nullptr);
std::string PatternToOctalText(const std::string& text, int32_t radix, bool* ok = nullptr);
