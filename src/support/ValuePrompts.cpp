#include "support/ValuePrompts.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <limits>

#include "support/NumberText.h"
#include "support/Operator.h"
#include "support/Signals.h"

namespace {

// Rounded value of exponent notation, inside -2147483647 ... 4294967295.
bool ExponentValue(const std::string& text, int64_t& rounded) {
  size_t at = text.find('e');
  if (at == std::string::npos) at = text.find('E');
  if (at == std::string::npos) return false;
  // Each part counts as its leading number (0 without one); the flags do not matter.
  double mantissa = 0;
  double exponent = 0;
  TextToDouble(text.substr(0, at), mantissa);
  TextToDouble(text.substr(at + 1), exponent);
  // "0e400" is 0, not 0 times infinity.
  double result = mantissa == 0 ? 0.0 : mantissa * std::pow(10.0, exponent);
  if (std::isnan(result)) result = 0;
  constexpr double kLowest = -2147483647.0;
  constexpr double kHighest = 4294967295.0;
  double below = std::clamp(std::floor(result), kLowest, kHighest);
  double above = std::clamp(std::ceil(result), kLowest, kHighest);
  // Only a strictly nearer ceiling wins: exact halves round down.
  rounded = static_cast<int64_t>(above - result < result - below ? above : below);
  return true;
}

// The signed conversion is strtol's in 32 bits: out-of-range values saturate.
bool ConvertInRadix(const std::string& text, int32_t& value, int radix) {
  if (radix == 10) return TextToInt32(text, value);
  char* end = nullptr;
  errno = 0;
  long long raw = std::strtoll(text.c_str(), &end, radix);
  raw = std::clamp<long long>(raw, std::numeric_limits<int32_t>::min(),
                              std::numeric_limits<int32_t>::max());
  value = static_cast<int32_t>(raw);
  return end == text.c_str() + text.size();
}

bool ConvertInRadix(const std::string& text, uint32_t& value, int radix) {
  return TextToUInt32(text, value, radix);
}

template <typename T>
std::string LimitText(T limit, int radix) {
  if (radix == 16) return HexText(static_cast<uint32_t>(limit), 8, true);
  return FloatText(static_cast<double>(limit), 0, 16);
}

template <typename T>
bool PromptInRange(const std::string& prompt, T& value, T upper, int radix, T lower) {
  std::string initial = PromptDefaultText(radix, value);
  std::string title = "Input Range " + LimitText(lower, radix) + " - " + LimitText(upper, radix);
  // Cancel, and OK on the offered text, keep the value (still range-checked below).
  const std::string typed = Operator().InputBox(title, prompt, initial).value_or(initial);
  if (typed != initial) {
    // Read into a temporary: text that cannot be read leaves the caller's value alone.
    T converted{};
    if (typed.rfind("0x", 0) == 0) {
      if (!ConvertInRadix(typed, converted, 16)) return false;
    } else if (radix == 16 || !ExponentTextToInt(typed, converted)) {
      // The shown text was decimal for any radix other than 2, 8 and 16.
      int shown = (radix == 2 || radix == 8 || radix == 16) ? radix : 10;
      if (!ConvertInRadix(typed, converted, shown)) return false;
    }
    value = converted;
  }
  double x = static_cast<double>(value);
  if (!InRange(x, static_cast<double>(lower), static_cast<double>(upper))) {
    SignalWarning();
    value = static_cast<T>(ClampToRange(static_cast<double>(lower), static_cast<double>(upper), x));
  }
  return true;
}

}  // namespace

bool PromptIntInRange(const std::string& prompt, int32_t& value, int32_t upper, int radix,
                      int32_t lower) {
  return PromptInRange(prompt, value, upper, radix, lower);
}

bool PromptUIntInRange(const std::string& prompt, uint32_t& value, uint32_t upper, int radix,
                       uint32_t lower) {
  return PromptInRange(prompt, value, upper, radix, lower);
}

std::string PromptDefaultText(int radix, int64_t value) {
  uint32_t bits = static_cast<uint32_t>(value);
  std::string text;
  switch (radix) {
    case 2:
      text = BinaryText(bits, 32);
      break;
    case 16:
      text = HexText(bits, 32, true);
      break;
    case 8:
      text = OctText(bits, 32, true);
      break;
    default:
      text = FloatText(static_cast<double>(value), 0, 16);
      break;
  }
  text = StripLeading(text, '0');
  text = StripLeading(text, 'x');
  text = StripLeading(text, 'o');
  text = StripLeading(text, '0');
  return text.empty() ? "0" : text;
}

bool ExponentTextToInt(const std::string& text, int32_t& value) {
  int64_t rounded = 0;
  if (!ExponentValue(text, rounded)) return false;
  value = static_cast<int32_t>(std::min<int64_t>(rounded, std::numeric_limits<int32_t>::max()));
  return true;
}

bool ExponentTextToInt(const std::string& text, uint32_t& value) {
  int64_t rounded = 0;
  if (!ExponentValue(text, rounded)) return false;
  value = static_cast<uint32_t>(rounded);
  return true;
}

bool InRange(double x, double a, double b) {
  return std::min(a, b) <= x && x <= std::max(a, b);
}

double ClampToRange(double a, double b, double x) {
  if (x > std::max(a, b)) return std::max(a, b);
  if (x < std::min(a, b)) return std::min(a, b);
  return x;
}
