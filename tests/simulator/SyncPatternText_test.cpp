#include "simulator/SyncPatternText.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace {

std::string Zeros(int n) {
  return std::string(n, '0');
}

TEST(SyncPatternTextTest, RendersTheDocumentedExamples) {
  EXPECT_EQ(PatternToBinaryText("FE6B2840", kPatternHex),
            Zeros(32) + "11111110011010110010100001000000");
  EXPECT_EQ(PatternToHexText("1X01", kPatternBinary), Zeros(15) + "X");
  EXPECT_EQ(PatternToBinaryText("1X01", kPatternBinary), Zeros(60) + "1X01");
  EXPECT_EQ(PatternToOctalText("FAF320", kPatternHex), Zeros(14) + "76571440");
  bool ok = false;
  EXPECT_EQ(PatternToHexText("FE6B2840", kPatternHex, &ok), "00000000FE6B2840");
  EXPECT_TRUE(ok);
}

TEST(SyncPatternTextTest, LeadingDontCareDigitIsFlagged) {
  // Hex digit 0 covers bits 63..60; octal digit 0 only bit 63, digit 1 bits 62..60.
  ParsedPattern hex = ParsePatternText("X" + std::string(15, 'F'), kPatternHex);
  EXPECT_TRUE(hex.Ok);
  for (int k = 0; k < 64; ++k) EXPECT_EQ(hex.DontCare[k], k < 4) << k;
  EXPECT_EQ(hex.Value, 0x0FFFFFFFFFFFFFFFull);
  EXPECT_EQ(PatternToOctalText("X" + std::string(15, 'F'), kPatternHex),
            "XX" + std::string(20, '7'));

  ParsedPattern oct = ParsePatternText("X" + std::string(21, '7'), kPatternOctal);
  for (int k = 0; k < 64; ++k) EXPECT_EQ(oct.DontCare[k], k == 0) << k;
  EXPECT_EQ(PatternToHexText("X" + std::string(21, '7'), kPatternOctal),
            "X" + std::string(15, 'F'));
  EXPECT_EQ(PatternToBinaryText("X" + std::string(21, '7'), kPatternOctal),
            "X" + std::string(63, '1'));

  EXPECT_EQ(PatternToBinaryText("X" + Zeros(63), kPatternBinary), "X" + Zeros(63));
  EXPECT_EQ(PatternToHexText("X" + Zeros(63), kPatternBinary), "X" + Zeros(15));
}

TEST(SyncPatternTextTest, RadixMarkersCountOnlyAtTheFront) {
  EXPECT_EQ(NormalizePatternText("0xfe 6b"), "FE6B");
  EXPECT_EQ(NormalizePatternText("0XFE"), "FE");
  EXPECT_EQ(NormalizePatternText("$fe"), "FE");
  EXPECT_EQ(NormalizePatternText("o17"), "17");
  EXPECT_EQ(NormalizePatternText("O17"), "17");
  EXPECT_EQ(NormalizePatternText(" 0x$1F"), "1F");  // markers are tried in turn
  EXPECT_EQ(NormalizePatternText("$"), "$");        // nothing follows: kept
  EXPECT_EQ(NormalizePatternText("0x"), "0X");
  // Inside the text "0X" is a zero and a don't-care digit, and "$"/"o" are no markers.
  EXPECT_EQ(NormalizePatternText("FE0X"), "FE0X");
  EXPECT_EQ(NormalizePatternText("1$2o3"), "1$2O3");
  EXPECT_EQ(PatternToHexText("FE0X", kPatternHex), Zeros(12) + "FE0X");
  EXPECT_EQ(PatternToBinaryText("10x1", kPatternBinary), Zeros(60) + "10X1");
  EXPECT_EQ(PatternToOctalText("o7x5", kPatternOctal), Zeros(19) + "7X5");
  // At the front "0X" is a marker even in binary.
  EXPECT_EQ(PatternToBinaryText("0X01", kPatternBinary), Zeros(63) + "1");
}

TEST(SyncPatternTextTest, UnreadableDigitsKeepTheLeadingDigitsOfEachHalf) {
  bool ok = true;
  EXPECT_EQ(PatternToHexText("12G4", kPatternHex, &ok), Zeros(14) + "12");
  EXPECT_FALSE(ok);
  // High half "1234567G" reads as 0x1234567, low half "89ABCDEF" in full.
  EXPECT_EQ(PatternToHexText("1234567G89ABCDEF", kPatternHex, &ok), "0123456789ABCDEF");
  EXPECT_FALSE(ok);
  EXPECT_EQ(PatternToOctalText("19", kPatternOctal, &ok), Zeros(21) + "1");
  EXPECT_FALSE(ok);
  EXPECT_EQ(PatternToBinaryText("1021", kPatternBinary, &ok), Zeros(62) + "10");
  EXPECT_FALSE(ok);
  // A text longer than the full width keeps its first digits.
  EXPECT_EQ(PatternToHexText("123456789ABCDEF01", kPatternHex, &ok), "123456789ABCDEF0");
  EXPECT_TRUE(ok);
  // An unknown radix reads nothing.
  EXPECT_EQ(PatternToHexText("FF", 3, &ok), Zeros(16));
  EXPECT_FALSE(ok);
  EXPECT_EQ(PatternDigitCount(3), 0);
}

// A pattern with don't-care digits written in a radix, and the renderings it must give.
struct Case {
  std::string text;
  std::string hex, binary, octal;
};

Case MakeCase(std::mt19937_64& rng, int32_t radix) {
  const int bitsPerDigit = radix == kPatternBinary ? 1 : radix == kPatternOctal ? 3 : 4;
  const int digits = PatternDigitCount(radix);
  uint64_t value = rng();
  uint64_t mask = 0;  // don't-care bits, whole digits at a time
  std::string full;
  for (int p = 0; p < digits; ++p) {
    const int bottom = bitsPerDigit * (digits - 1 - p);
    const int width = (radix == kPatternOctal && p == 0) ? 1 : bitsPerDigit;
    const uint64_t digitMask = ((uint64_t{1} << width) - 1) << bottom;
    if (rng() % 5 == 0) {
      mask |= digitMask;
      value &= ~digitMask;
      full += 'X';
    } else {
      full += "0123456789ABCDEF"[(value & digitMask) >> bottom];
    }
  }
  // Drop some leading zeros, never leaving a front "0X" (that reads as a marker), and
  // write some digits in lower case.
  size_t drop = rng() % (digits + 1);
  while (drop > 0 && full.size() > 1 && full[0] == '0') {
    full.erase(0, 1);
    --drop;
  }
  if (full.size() > 1 && full[0] == '0' && full[1] == 'X') full.erase(0, 1);
  std::string text = full;
  for (char& c : text)
    if (rng() % 2) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (rng() % 3 == 0)
    text = (radix == kPatternOctal ? "o" : radix == kPatternHex ? "0x" : "$") + text;
  if (rng() % 3 == 0) text.insert(rng() % (text.size() + 1), " ");

  auto render = [&](int bits, int count) {
    std::string out;
    for (int p = 0; p < count; ++p) {
      int top = 63 - bits * p + (bits == 3 ? 2 : 0), bottom = top - bits + 1;
      if (top > 63) top = 63;
      uint64_t digitMask = 0;
      for (int b = bottom; b <= top; ++b) digitMask |= uint64_t{1} << b;
      out += (mask & digitMask) ? 'X' : "0123456789ABCDEF"[(value & digitMask) >> bottom];
    }
    return out;
  };
  return {text, render(4, 16), render(1, 64), render(3, 22)};
}

TEST(SyncPatternTextTest, RandomPatternsRenderInEveryRadix) {
  std::mt19937_64 rng(48);
  for (int32_t radix : {kPatternBinary, kPatternOctal, kPatternHex}) {
    for (int i = 0; i < 500; ++i) {
      Case c = MakeCase(rng, radix);
      bool ok = false;
      EXPECT_EQ(PatternToHexText(c.text, radix, &ok), c.hex) << c.text << " radix " << radix;
      EXPECT_TRUE(ok) << c.text;
      EXPECT_EQ(PatternToBinaryText(c.text, radix), c.binary) << c.text << " radix " << radix;
      EXPECT_EQ(PatternToOctalText(c.text, radix), c.octal) << c.text << " radix " << radix;
      // The binary rendering read back as a pattern gives the same renderings (without
      // a leading zero in front of an X, which would read as a radix marker).
      std::string bits = c.binary.rfind("0X", 0) == 0 ? c.binary.substr(1) : c.binary;
      EXPECT_EQ(PatternToHexText(bits, kPatternBinary), c.hex);
      EXPECT_EQ(PatternToOctalText(bits, kPatternBinary), c.octal);
      EXPECT_EQ(PatternToBinaryText(bits, kPatternBinary), c.binary);
    }
  }
}

}  // namespace
