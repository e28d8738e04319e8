#include "simulator/SyncPatternText.h"

#include <cctype>

#include "support/NumberText.h"

namespace {

// The number base of a radix number, 0 for an unknown radix.
int RadixBase(int32_t radix) {
  switch (radix) {
    case kPatternBinary:
      return 2;
    case kPatternOctal:
      return 8;
    case kPatternHex:
      return 16;
    default:
      return 0;
  }
}

// Bits covered by digit p (0 = leftmost) of a full-width pattern text: from bit `top`
// down to bit `bottom`; bits above 63 do not exist.
void DigitBits(int32_t radix, int p, int& top, int& bottom) {
  switch (radix) {
    case kPatternBinary:
      top = bottom = 63 - p;
      break;
    case kPatternOctal:
      top = 65 - 3 * p;
      bottom = 63 - 3 * p;
      break;
    default:
      top = 63 - 4 * p;
      bottom = 60 - 4 * p;
      break;
  }
  if (top > 63) top = 63;
}

bool AnyFlagged(const ParsedPattern& pattern, int top, int bottom) {
  for (int bit = top; bit >= bottom; --bit)
    if (pattern.DontCare[63 - bit]) return true;
  return false;
}

// Replaces every digit of a full-width rendering that covers a don't-care bit by "X".
std::string MarkDontCares(std::string text, const ParsedPattern& pattern, int32_t radix) {
  for (int p = 0; p < static_cast<int>(text.size()); ++p) {
    int top = 0, bottom = 0;
    DigitBits(radix, p, top, bottom);
    if (AnyFlagged(pattern, top, bottom)) text[p] = 'X';
  }
  return text;
}

}  // namespace

int PatternDigitCount(int32_t radix) {
  switch (radix) {
    case kPatternBinary:
      return 64;
    case kPatternOctal:
      return 22;
    case kPatternHex:
      return 16;
    default:
      return 0;
  }
}

std::string NormalizePatternText(const std::string& text) {
  std::string t = RemoveChar(text, ' ');
  // Markers count only at the front: inside a pattern "0X" is a zero and a don't-care.
  for (const char* marker : {"0x", "0X", "$", "o", "O"}) {
    std::string m = marker;
    if (t.size() > m.size() && t.compare(0, m.size(), m) == 0) t = t.substr(m.size());
  }
  for (char& c : t) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return t;
}

ParsedPattern ParsePatternText(const std::string& text, int32_t radix) {
  ParsedPattern result;
  const int base = RadixBase(radix);
  if (base == 0) return result;
  std::string t = FitLeft(PatternDigitCount(radix), '0', NormalizePatternText(text));
  for (int p = 0; p < static_cast<int>(t.size()); ++p) {
    if (t[p] != 'X') continue;
    int top = 0, bottom = 0;
    DigitBits(radix, p, top, bottom);
    for (int bit = top; bit >= bottom; --bit) result.DontCare[63 - bit] = true;
    t[p] = '0';
  }
  result.Ok = TextToValue64(t, result.Value, base);
  return result;
}

std::string PatternToHexText(const std::string& text, int32_t radix, bool* ok) {
  ParsedPattern pattern = ParsePatternText(text, radix);
  if (ok) *ok = pattern.Ok;
  std::string digits = HexText(static_cast<uint32_t>(pattern.Value >> 32), 8, false) +
                       HexText(static_cast<uint32_t>(pattern.Value), 8, false);
  return MarkDontCares(digits, pattern, kPatternHex);
}

std::string PatternToBinaryText(const std::string& text, int32_t radix, bool* ok) {
  ParsedPattern pattern = ParsePatternText(text, radix);
  if (ok) *ok = pattern.Ok;
  std::string digits = BinaryText(static_cast<uint32_t>(pattern.Value >> 32), 32) +
                       BinaryText(static_cast<uint32_t>(pattern.Value), 32);
  return MarkDontCares(digits, pattern, kPatternBinary);
}

std::string PatternToOctalText(const std::string& text, int32_t radix, bool* ok) {
  ParsedPattern pattern = ParsePatternText(text, radix);
  if (ok) *ok = pattern.Ok;
  std::string digits(22, '0');
  for (int p = 0; p < 22; ++p)
    digits[p] = static_cast<char>('0' + ((pattern.Value >> (3 * (21 - p))) & 7));
  return MarkDontCares(digits, pattern, kPatternOctal);
}
