#include "support/NumberText.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <limits>
#include <string>

#include "support/ErrorLog.h"

TEST(NumberText, HexOctBinaryExamples) {
  EXPECT_EQ(HexText(0x1A, 4, true), "0x001A");
  EXPECT_EQ(HexText(0x1A, 4, false), "001A");
  EXPECT_EQ(HexText(0x12345, 4, false), "1234");
  EXPECT_EQ(HexText(0x3F, 1, false), "3");
  EXPECT_EQ(HexText(0xABCDEF01, 8, false), "ABCDEF01");
  EXPECT_EQ(HexText(5, 0, false), "");
  EXPECT_EQ(HexText(5, 0, true), "0x");
  EXPECT_EQ(HexText(5, -1, true), "0xINVALID");
  EXPECT_EQ(OctText(8, 3, true), "o010");
  EXPECT_EQ(OctText(0777, 2, false), "77");
  EXPECT_EQ(BinaryText(0x1F, 5), "11111");
  EXPECT_EQ(BinaryText(1, 8), "00000001");
  EXPECT_EQ(BinaryText(5, 3), "101");
  EXPECT_EQ(BinaryText(0, 3), "000");
  EXPECT_EQ(BinaryText(7, 0), "");
  EXPECT_EQ(BinaryText(0xFFFFFFFF, 32), std::string(32, '1'));
  EXPECT_EQ(BinaryText(8, 3), "100");  // too wide: the leading bits stay
  EXPECT_EQ(NibbleBits('a'), "0000");
  EXPECT_EQ(NibbleBits('C'), "1100");
  EXPECT_EQ(YesNoText(true), "YES");
  EXPECT_EQ(YesNoText(false), "NO");
}

TEST(NumberText, FloatText) {
  EXPECT_EQ(FloatText(2250.5, 1, 10), "2250.5");
  EXPECT_EQ(FloatText(3.14159, 2, 10), "3.14");
  EXPECT_EQ(FloatText(7, 0, 5), "7");
  EXPECT_EQ(FloatText(123.456, 3, 5), "123.4");
  EXPECT_EQ(FloatText(-2.5, 1, 10), "-2.5");
  EXPECT_EQ(FloatText(-0.001, 2, 10), "0.00");
  EXPECT_EQ(FloatText(std::nan(""), 2, 10), "Nan");
  EXPECT_EQ(FloatText(std::numeric_limits<double>::infinity(), 2, 10), "Nan");
  // No more than 18 significant digits; the places after them are zeros.
  EXPECT_EQ(FloatText(0.1, 20, 30), "0.10000000000000000600");
  EXPECT_EQ(FloatText(1e20, 2, 30), "100000000000000000000.00");
  EXPECT_EQ(FloatText(1.0 / 3, 17, 30), "0.33333333333333331");
}

TEST(NumberText, TextToUInt32FollowsStrtoulIn32Bits) {
  uint32_t v = 7;
  EXPECT_FALSE(TextToUInt32("12 ", v, 10));
  EXPECT_EQ(v, 12u);
  EXPECT_TRUE(TextToUInt32("", v, 16));
  EXPECT_EQ(v, 0u);
  EXPECT_TRUE(TextToUInt32("0x1F", v, 16));
  EXPECT_EQ(v, 31u);
  EXPECT_TRUE(TextToUInt32("  +42", v, 10));
  EXPECT_EQ(v, 42u);
  EXPECT_FALSE(TextToUInt32("1012", v, 2));
  EXPECT_EQ(v, 5u);
  // Saturation and wrap-around as a 32-bit strtoul does them.
  EXPECT_TRUE(TextToUInt32("4294967295", v, 10));
  EXPECT_EQ(v, 0xFFFFFFFFu);
  EXPECT_TRUE(TextToUInt32("4294967296", v, 10));
  EXPECT_EQ(v, 0xFFFFFFFFu);
  EXPECT_TRUE(TextToUInt32("99999999999999999999999", v, 10));
  EXPECT_EQ(v, 0xFFFFFFFFu);
  EXPECT_TRUE(TextToUInt32("-1", v, 10));
  EXPECT_EQ(v, 0xFFFFFFFFu);
  EXPECT_TRUE(TextToUInt32("-4294967295", v, 10));
  EXPECT_EQ(v, 1u);
  EXPECT_TRUE(TextToUInt32("-4294967296", v, 10));
  EXPECT_EQ(v, 0xFFFFFFFFu);
  EXPECT_TRUE(TextToUInt32("100000000", v, 16));
  EXPECT_EQ(v, 0xFFFFFFFFu);

  uint16_t w = 0;
  EXPECT_TRUE(TextToUInt16("65537", w, 10));
  EXPECT_EQ(w, 1u);
  EXPECT_FALSE(TextToUInt16("FFx", w, 16));
  EXPECT_EQ(w, 0xFFu);

  bool ok = true;
  EXPECT_EQ(HexTextToValue("1f", ok), 31u);
  EXPECT_TRUE(ok);
  EXPECT_EQ(HexTextToValue("1G", ok), 1u);
  EXPECT_FALSE(ok);
}

TEST(NumberText, TextToInt32AndDouble) {
  int32_t i = 0;
  EXPECT_TRUE(TextToInt32("99999999999", i));
  EXPECT_EQ(i, 2147483647);
  EXPECT_TRUE(TextToInt32("-99999999999", i));
  EXPECT_EQ(i, std::numeric_limits<int32_t>::min());
  EXPECT_TRUE(TextToInt32(" -17", i));
  EXPECT_EQ(i, -17);
  EXPECT_FALSE(TextToInt32("0x10", i));
  EXPECT_EQ(i, 0);

  double d = 0;
  EXPECT_TRUE(TextToDouble("2250.5", d));
  EXPECT_DOUBLE_EQ(d, 2250.5);
  EXPECT_FALSE(TextToDouble("2250,5", d));
  EXPECT_DOUBLE_EQ(d, 2250);
  EXPECT_TRUE(TextToDouble("-1e3", d));
  EXPECT_DOUBLE_EQ(d, -1000);
}

TEST(NumberText, TextToValue64) {
  uint64_t v = 0;
  EXPECT_TRUE(TextToValue64("FFFFFFFFFFFFFFFF", v, 16));
  EXPECT_EQ(v, ~uint64_t{0});
  EXPECT_TRUE(TextToValue64("123456789ABCDEF", v, 16));
  EXPECT_EQ(v, 0x0123456789ABCDEFu);
  EXPECT_FALSE(TextToValue64("12345678XBCDEF01", v, 16));
  EXPECT_TRUE(TextToValue64(std::string(64, '1'), v, 2));
  EXPECT_EQ(v, ~uint64_t{0});
  EXPECT_TRUE(TextToValue64("101", v, 2));
  EXPECT_EQ(v, 5u);
  EXPECT_TRUE(TextToValue64("1777777777777777777777", v, 8));
  EXPECT_EQ(v, ~uint64_t{0});
  EXPECT_TRUE(TextToValue64("2000000000000000000001", v, 8));  // 2^64 + 1, modulo 2^64
  EXPECT_EQ(v, 1u);
  EXPECT_TRUE(TextToValue64("17", v, 8));
  EXPECT_EQ(v, 15u);
  EXPECT_FALSE(TextToValue64("18", v, 8));
  EXPECT_TRUE(TextToValue64("-1", v, 10));
  EXPECT_EQ(v, ~uint64_t{0});
  EXPECT_TRUE(TextToValue64("123abc", v, 10));
  EXPECT_EQ(v, 123u);
  // A text longer than the padded width keeps its first characters.
  EXPECT_TRUE(TextToValue64("00000000000000012", v, 16));
  EXPECT_EQ(v, 1u);

  v = 99;
  EXPECT_FALSE(TextToValue64("1", v, 7));
  EXPECT_EQ(v, 99u);
}

TEST(NumberText, TextShaping) {
  EXPECT_EQ(FitLeft(5, '0', "12"), "00012");
  EXPECT_EQ(FitLeft(2, '0', "12345"), "12");
  EXPECT_EQ(FitRight(5, '.', "ab"), "ab...");
  EXPECT_EQ(FitRight(1, '.', "ab"), "a");
  EXPECT_EQ(RemoveChar("a b c", ' '), "abc");
  EXPECT_EQ(RemoveChar("", ' '), "");
  std::string t = "AB  ";
  EXPECT_EQ(StripTrailing(t, ' '), "AB");
  EXPECT_EQ(t, "AB");
  EXPECT_EQ(StripLeading("000", '0'), "");
  EXPECT_EQ(StripLeading("0010", '0'), "10");
  std::string r = "a_b__";
  EXPECT_EQ(ReplaceChar(r, '_', ' ', true), "a b");
  EXPECT_EQ(r, "a b");
  std::string r2 = "a_b_";
  EXPECT_EQ(ReplaceChar(r2, '_', ' ', false), "a b ");
  EXPECT_EQ(TextBefore("A=B", "="), "A");
  EXPECT_EQ(TextAfter("A=B", "="), "B");
  EXPECT_EQ(TextAfter("A=B", std::string("=")), "B");
  EXPECT_EQ(TextBefore("AB", "="), "");
  EXPECT_EQ(TextAfter("AB", "="), "");
  EXPECT_EQ(TextAfter("K==V=W", "=="), "V=W");
  EXPECT_EQ(TextBefore("AB", ""), "");
  EXPECT_EQ(TextAfter("AB", ""), "");
}

// Qt switches the C library to the user's locale; texts written and read here must keep
// "." as the decimal point regardless.
TEST(NumberText, IndependentOfTheUserLocale) {
  const char* candidates[] = {"de_DE.UTF-8", "de_DE.utf8",  "fr_FR.UTF-8", "fr_FR.utf8",
                              "nl_NL.UTF-8", "ru_RU.UTF-8", "de_DE"};
  std::string previous = std::setlocale(LC_ALL, nullptr);
  const char* found = nullptr;
  for (const char* name : candidates) {
    if (std::setlocale(LC_ALL, name) && std::localeconv()->decimal_point[0] == ',') {
      found = name;
      break;
    }
  }
  if (!found) {
    std::setlocale(LC_ALL, previous.c_str());
    GTEST_SKIP() << "no locale with a decimal comma is installed";
  }
  double d = 0;
  bool okPoint = TextToDouble("2250.5", d);
  double point = d;
  bool okComma = TextToDouble("2250,5", d);
  std::string text = FloatText(2250.5, 1, 10);
  std::string stamp = TimeStampText(61.25);
  std::setlocale(LC_ALL, previous.c_str());

  EXPECT_TRUE(okPoint) << found;
  EXPECT_DOUBLE_EQ(point, 2250.5);
  EXPECT_FALSE(okComma);
  EXPECT_EQ(text, "2250.5");
  EXPECT_EQ(stamp, "000:00:01:01.250000");
}
