// Sync pattern text: normalised, parsed with don't-care digits, rendered in three radices.
#include "simulator/SyncPatternText.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Zeros(int n) {
  return std::string(n, '0');
}

TEST(SyncPatternTextTest, RenderingsWorkedByHand) {
  const std::string X15F = "X" + std::string(15, 'F'), X21s7 = "X" + std::string(21, '7');
  const struct {
    char to;  // H, B or O
    std::string text;
    int32_t radix;
    std::string expected;
    bool ok;
  } cases[] = {
      {'B', "FE6B2840", kPatternHex, Zeros(32) + "11111110011010110010100001000000", true},
      {'H', "FE6B2840", kPatternHex, "00000000FE6B2840", true},
      {'H', "1X01", kPatternBinary, Zeros(15) + "X", true},
      {'B', "1X01", kPatternBinary, Zeros(60) + "1X01", true},
      {'O', "FAF320", kPatternHex, Zeros(14) + "76571440", true},
      // Hex digit 0 covers bits 63..60; octal digit 0 only bit 63, digit 1 bits 62..60.
      {'O', X15F, kPatternHex, "XX" + std::string(20, '7'), true},
      {'H', X21s7, kPatternOctal, X15F, true},
      {'B', X21s7, kPatternOctal, "X" + std::string(63, '1'), true},
      {'B', "X" + Zeros(63), kPatternBinary, "X" + Zeros(63), true},
      {'H', "X" + Zeros(63), kPatternBinary, "X" + Zeros(15), true},
      // Radix markers count only at the front; inside, "0X" is a zero and a don't-care.
      {'H', "FE0X", kPatternHex, Zeros(12) + "FE0X", true},
      {'B', "10x1", kPatternBinary, Zeros(60) + "10X1", true},
      {'O', "o7x5", kPatternOctal, Zeros(19) + "7X5", true},
      {'B', "0X01", kPatternBinary, Zeros(63) + "1", true},
      // Unreadable digits keep the leading digits of each half.
      {'H', "12G4", kPatternHex, Zeros(14) + "12", false},
      {'H', "1234567G89ABCDEF", kPatternHex, "0123456789ABCDEF", false},
      {'O', "19", kPatternOctal, Zeros(21) + "1", false},
      {'B', "1021", kPatternBinary, Zeros(62) + "10", false},
      {'H', "123456789ABCDEF01", kPatternHex, "123456789ABCDEF0", true},  // first digits kept
      {'H', "FF", 3, Zeros(16), false},  // an unknown radix reads nothing
  };
  for (const auto& c : cases) {
    bool ok = !c.ok;
    const std::string text = c.to == 'H'   ? PatternToHexText(c.text, c.radix, &ok)
                             : c.to == 'B' ? PatternToBinaryText(c.text, c.radix, &ok)
                                           : PatternToOctalText(c.text, c.radix, &ok);
    EXPECT_EQ(text, c.expected) << c.to << " " << c.text;
    EXPECT_EQ(ok, c.ok) << c.to << " " << c.text;
  }
  const ParsedPattern hex = ParsePatternText(X15F, kPatternHex);
  EXPECT_TRUE(hex.Ok);
  EXPECT_EQ(hex.Value, 0x0FFFFFFFFFFFFFFFull);
  for (int k = 0; k < 64; ++k) EXPECT_EQ(hex.DontCare[k], k < 4) << k;
  const std::pair<const char*, const char*> normalised[] = {
      {"0xfe 6b", "FE6B"}, {"0XFE", "FE"}, {"$fe", "FE"}, {"o17", "17"},    {"O17", "17"},
      {" 0x$1F", "1F"},    {"$", "$"},     {"0x", "0X"},  {"FE0X", "FE0X"}, {"1$2o3", "1$2O3"}};
  for (const auto& [text, expected] : normalised) EXPECT_EQ(NormalizePatternText(text), expected);
  EXPECT_EQ(PatternDigitCount(3), 0);
  EXPECT_EQ(PatternToHexText("fe", kPatternHex) + PatternToOctalText("7", kPatternOctal),
            Zeros(14) + "FE" + Zeros(21) + "7");  // no word of whether it read
}

}  // namespace
