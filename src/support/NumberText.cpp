#include "support/NumberText.h"

#include <locale.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <vector>

namespace {

const char kHexDigits[] = "0123456789ABCDEF";
constexpr int kMaxDecimals = 1000;
const char* const kNibbles[16] = {"0000", "0001", "0010", "0011", "0100", "0101", "0110", "0111",
                                  "1000", "1001", "1010", "1011", "1100", "1101", "1110", "1111"};

std::string PrintfDigits(const char* format, uint32_t value, int width) {
  if (width < 0) return {};
  int needed = std::snprintf(nullptr, 0, format, width, static_cast<unsigned>(value));
  if (needed < 0) return {};
  std::string out(static_cast<size_t>(needed) + 1, '\0');
  std::snprintf(out.data(), out.size(), format, width, static_cast<unsigned>(value));
  out.resize(static_cast<size_t>(needed));
  return out;
}

// The C library's strtoul/strtol work in 64 bits here; the values below are what the
// 32-bit conversions give, which stored files and callers rely on.
bool ConvertUnsigned32(const std::string& text, uint32_t& value, int radix) {
  const char* begin = text.c_str();
  char* end = nullptr;
  errno = 0;
  unsigned long long raw = std::strtoull(begin, &end, radix);
  bool overflow = errno == ERANGE;
  const char* p = begin;
  while (std::isspace(static_cast<unsigned char>(*p))) ++p;
  bool negative = *p == '-';
  uint32_t result;
  if (negative) {
    unsigned long long magnitude =
        overflow ? std::numeric_limits<unsigned long long>::max() : (0ULL - raw);
    if (raw == 0) magnitude = 0;
    result = magnitude > 0xFFFFFFFFULL ? 0xFFFFFFFFu : static_cast<uint32_t>(0ULL - magnitude);
  } else {
    result = (overflow || raw > 0xFFFFFFFFULL) ? 0xFFFFFFFFu : static_cast<uint32_t>(raw);
  }
  value = result;
  return end != nullptr && *end == '\0';
}

locale_t CLocale() {
  static locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
  return c;
}

}  // namespace

std::string FitLeft(int length, char fill, const std::string& text) {
  if (length < 0) length = 0;
  size_t n = static_cast<size_t>(length);
  if (text.size() < n) return std::string(n - text.size(), fill) + text;
  if (text.size() > n) return text.substr(0, n);
  return text;
}

std::string FitRight(int length, char fill, const std::string& text) {
  if (length < 0) length = 0;
  size_t n = static_cast<size_t>(length);
  if (text.size() < n) return text + std::string(n - text.size(), fill);
  if (text.size() > n) return text.substr(0, n);
  return text;
}

std::string HexText(uint32_t value, int width, bool withPrefix) {
  std::string digits;
  if (width < 0) {
    digits = "INVALID";
  } else {
    digits = FitLeft(width, '0', PrintfDigits("%0*x", value, width));
    for (char& c : digits) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  }
  return withPrefix ? "0x" + digits : digits;
}

std::string OctText(uint32_t value, int width, bool withPrefix) {
  std::string digits =
      width < 0 ? std::string("INVALID") : FitLeft(width, '0', PrintfDigits("%0*o", value, width));
  return withPrefix ? "o" + digits : digits;
}

std::string NibbleBits(char digit) {
  for (int i = 0; i < 16; ++i)
    if (kHexDigits[i] == digit) return kNibbles[i];
  return "0000";
}

std::string BinaryText(uint32_t value, int bits) {
  if (bits <= 0) return {};
  int hexDigits = bits / 4 + (bits % 4 != 0 ? 1 : 0);
  std::string out;
  for (char c : HexText(value, hexDigits, false)) out += NibbleBits(c);
  if (out.size() > static_cast<size_t>(bits)) {
    out = StripLeading(out, '0');
    if (out.size() > static_cast<size_t>(bits)) out.resize(static_cast<size_t>(bits));
  }
  if (out.size() < static_cast<size_t>(bits)) out = FitLeft(bits, '0', out);
  return out;
}

// Fixed-point text rounded once, at whichever comes first: the last asked-for decimal
// or the 18th significant digit. Digits beyond the 18th are written as zeros.
std::string FloatText(double value, int decimals, int maxLength) {
  constexpr int kSignificant = 18;
  if (!std::isfinite(value) || decimals < 0 || decimals > kMaxDecimals) return "Nan";
  if (maxLength < 0) maxLength = 0;
  char sci[64];
  auto sr =
      std::to_chars(sci, sci + sizeof sci, value, std::chars_format::scientific, kSignificant - 1);
  if (sr.ec != std::errc()) return "Nan";
  const char* e = std::find(sci, sr.ptr, 'e');
  // "e+20" / "e-01"; the buffer has no terminating NUL.
  int exponent = 0;
  if (e + 2 <= sr.ptr) std::from_chars(e + 2, sr.ptr, exponent);
  if (e + 1 < sr.ptr && e[1] == '-') exponent = -exponent;
  std::string text;
  if (value == 0 || exponent + 1 + decimals <= kSignificant) {
    std::vector<char> buffer(static_cast<size_t>(decimals) + 340);
    auto fr = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                            std::chars_format::fixed, decimals);
    if (fr.ec != std::errc()) return "Nan";
    text.assign(buffer.data(), fr.ptr);
  } else {
    std::string digits;  // the 18 significant digits, without sign and point
    for (const char* p = sci; p != e; ++p)
      if (*p >= '0' && *p <= '9') digits += *p;
    std::string whole, fraction;
    if (exponent >= 0) {
      size_t wholeDigits = static_cast<size_t>(exponent) + 1;
      whole = digits.substr(0, std::min(wholeDigits, digits.size()));
      whole.append(wholeDigits - whole.size(), '0');
      if (wholeDigits < digits.size()) fraction = digits.substr(wholeDigits);
    } else {
      whole = "0";
      fraction = std::string(static_cast<size_t>(-exponent - 1), '0') + digits;
    }
    fraction.resize(static_cast<size_t>(decimals), '0');
    text = (value < 0 ? "-" : "") + whole + (decimals > 0 ? "." + fraction : std::string());
  }
  // A negative value that rounds to zero prints without its sign.
  if (!text.empty() && text[0] == '-' && text.find_first_not_of("-0.") == std::string::npos)
    text.erase(0, 1);
  if (text.size() > static_cast<size_t>(maxLength)) text.resize(static_cast<size_t>(maxLength));
  return text;
}

std::string YesNoText(bool flag) {
  return flag ? "YES" : "NO";
}

bool TextToUInt32(const std::string& text, uint32_t& value, int radix) {
  if (radix < 0 || radix == 1 || radix > 36) return false;
  return ConvertUnsigned32(text, value, radix);
}

bool TextToUInt16(const std::string& text, uint16_t& value, int radix) {
  uint32_t wide = 0;
  if (radix < 0 || radix == 1 || radix > 36) return false;
  bool ok = ConvertUnsigned32(text, wide, radix);
  value = static_cast<uint16_t>(wide & 0xFFFF);
  return ok;
}

bool TextToInt32(const std::string& text, int32_t& value) {
  char* end = nullptr;
  errno = 0;
  long long raw = std::strtoll(text.c_str(), &end, 10);
  if (raw > std::numeric_limits<int32_t>::max()) raw = std::numeric_limits<int32_t>::max();
  if (raw < std::numeric_limits<int32_t>::min()) raw = std::numeric_limits<int32_t>::min();
  value = static_cast<int32_t>(raw);
  return end != nullptr && *end == '\0';
}

bool TextToDouble(const std::string& text, double& value) {
  char* end = nullptr;
  value = strtod_l(text.c_str(), &end, CLocale());
  return end != nullptr && *end == '\0';
}

uint32_t HexTextToValue(const std::string& text, bool& ok) {
  uint32_t value = 0;
  ok = TextToUInt32(text, value, 16);
  return value;
}

bool TextToValue64(const std::string& text, uint64_t& value, int radix) {
  switch (radix) {
    case 16:
    case 2: {
      int width = radix == 16 ? 16 : 64;
      std::string padded = FitLeft(width, '0', text);
      uint32_t high = 0, low = 0;
      bool okHigh = TextToUInt32(padded.substr(0, width / 2), high, radix);
      bool okLow = TextToUInt32(padded.substr(width / 2), low, radix);
      value = (uint64_t{high} << 32) | low;
      return okHigh && okLow;
    }
    case 8: {
      std::string padded = FitLeft(22, '0', text);
      bool ok = true;
      for (char c : padded)
        if (c < '0' || c > '7') ok = false;
      // Each half is the value of its leading octal digits; 11 digits need 33 bits.
      auto half = [](const std::string& digits) {
        uint64_t v = 0;
        for (char c : digits) {
          if (c < '0' || c > '7') break;
          v = v * 8 + static_cast<uint64_t>(c - '0');
        }
        return v;
      };
      uint64_t high = half(padded.substr(0, 11));
      uint64_t low = half(padded.substr(11));
      value = high * (uint64_t{1} << 33) + low;
      return ok;
    }
    case 10:
      value = static_cast<uint64_t>(std::strtoll(text.c_str(), nullptr, 10));
      return true;
    default:
      return false;
  }
}

std::string RemoveChar(const std::string& text, char c) {
  std::string out;
  out.reserve(text.size());
  for (char ch : text)
    if (ch != c) out += ch;
  return out;
}

std::string StripTrailing(std::string& text, char c) {
  size_t end = text.size();
  while (end > 0 && text[end - 1] == c) --end;
  text.resize(end);
  return text;
}

std::string StripLeading(const std::string& text, char c) {
  size_t start = 0;
  while (start < text.size() && text[start] == c) ++start;
  return text.substr(start);
}

std::string ReplaceChar(std::string& text, char from, char to, bool stripTrailing) {
  if (stripTrailing) StripTrailing(text, from);
  for (char& ch : text)
    if (ch == from) ch = to;
  return text;
}

// An empty delimiter never occurs.
std::string TextBefore(const std::string& text, const std::string& delimiter) {
  size_t at = delimiter.empty() ? std::string::npos : text.find(delimiter);
  return at == std::string::npos ? std::string() : text.substr(0, at);
}

std::string TextAfter(const std::string& text, const std::string& delimiter) {
  size_t at = delimiter.empty() ? std::string::npos : text.find(delimiter);
  return at == std::string::npos ? std::string() : text.substr(at + delimiter.size());
}

std::string TextAfter(const std::string& text, const char* delimiter) {
  return TextAfter(text, std::string(delimiter ? delimiter : ""));
}
