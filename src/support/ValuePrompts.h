#pragma once
// The two modal number prompts of the editor panels. The operator may type the number
// in the shown radix, as "0x..." hex, or (outside hex) in exponent notation ("1.5e3");
// the result is kept inside the closed range of the two limits (in either order), with
// the warning signal when it had to be moved.
#include <cstdint>
#include <string>

// True when value now holds an accepted number (possibly the unchanged or clamped old
// one); false when the typed text could not be read, value then unchanged.
bool PromptIntInRange(const std::string& prompt, int32_t& value, int32_t upper, int radix,
                      int32_t lower);
bool PromptUIntInRange(const std::string& prompt, uint32_t& value, uint32_t upper, int radix,
                       uint32_t lower);

// The input box's starting text: the value's bare digits in the radix (2, 8, 16; any
// other radix decimal), no prefix, no leading zeros, "0" for zero.
std::string PromptDefaultText(int radix, int64_t value);

// Exponent notation: true when text holds an "e" or "E"; the rounded number (halves
// round down) is then written. Beyond the 32-bit range the signed form saturates like
// strtol and the unsigned one wraps like strtoul.
bool ExponentTextToInt(const std::string& text, int32_t& value);
bool ExponentTextToInt(const std::string& text, uint32_t& value);

// min(a, b) <= x <= max(a, b).
bool InRange(double x, double a, double b);
// x moved to the nearer of the two limits when it lies outside them.
double ClampToRange(double a, double b, double x);
