#pragma once
// Fixed-width hex, octal and binary text of numbers, operator text back to numbers,
// and the small text-shaping helpers the conversions are built from. Independent of
// the user's locale: "." is always the decimal point.
#include <cstdint>
#include <string>

// Number to text.
std::string HexText(uint32_t value, int width, bool withPrefix);
std::string OctText(uint32_t value, int width, bool withPrefix);
std::string BinaryText(uint32_t value, int bits);
std::string NibbleBits(char digit);
std::string FloatText(double value, int decimals, int maxLength);
std::string YesNoText(bool flag);

// Text to number. Each returns true when the whole text was consumed; the value of the
// leading digits is written to the out-parameter in every case (32-bit saturation as
// the unit's software always had it). A radix the C library does not know (not 0 or
// 2..36) returns false and writes nothing.
bool TextToUInt32(const std::string& text, uint32_t& value, int radix);
bool TextToUInt16(const std::string& text, uint16_t& value, int radix);
bool TextToInt32(const std::string& text, int32_t& value);
bool TextToDouble(const std::string& text, double& value);
uint32_t HexTextToValue(const std::string& text, bool& ok);
// Radix 2, 8, 10 or 16; any other radix returns false and leaves value unchanged.
bool TextToValue64(const std::string& text, uint64_t& value, int radix);

// Text shaping.
std::string FitLeft(int length, char fill, const std::string& text);
std::string FitRight(int length, char fill, const std::string& text);
std::string RemoveChar(const std::string& text, char c);
std::string StripTrailing(std::string& text, char c);  // in place, also returned
std::string StripLeading(const std::string& text, char c);
std::string ReplaceChar(std::string& text, char from, char to, bool stripTrailing);  // in place
std::string TextBefore(const std::string& text, const std::string& delimiter);
std::string TextAfter(const std::string& text, const std::string& delimiter);
std::string TextAfter(const std::string& text, const char* delimiter);
