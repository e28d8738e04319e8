// Number text as the setup files, the log and the panels write and read it.
#include "support/NumberText.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <tuple>

#include "support/ErrorLog.h"
#include "support/TempDir.h"

// FloatText keeps no more than 18 significant digits; the places after them are zeros.
TEST(NumberText, Renderings) {
  std::string t = "AB  ", r = "a_b__", r2 = "a_b_";  // shaped in place, rows in order
  const std::pair<std::string, std::string> cases[] = {
      {HexText(0x1A, 4, true), "0x001A"},
      {HexText(0xABCDEF01, 8, false), "ABCDEF01"},
      {HexText(0x12345, 4, false), "1234"},
      {HexText(5, 0, true), "0x"},
      {HexText(5, -1, true), "0xINVALID"},
      {OctText(8, 3, true), "o010"},
      {OctText(0777, 2, false), "77"},
      {BinaryText(0, 3), "000"},
      {BinaryText(5, 3), "101"},
      {BinaryText(8, 3), "100"},  // too wide: kept
      {BinaryText(7, 0), ""},
      {NibbleBits('C'), "1100"},
      {BinaryText(0xFFFFFFFF, 32), std::string(32, '1')},
      {NibbleBits('a'), "0000"},
      {FloatText(-2.5, 1, 10), "-2.5"},
      {FloatText(1.0 / 3, 17, 30), "0.33333333333333331"},
      {FloatText(3.14159, 2, 10), "3.14"},
      {FloatText(123.456, 3, 5), "123.4"},
      {FloatText(-0.001, 2, 10), "0.00"},
      {FloatText(std::nan(""), 2, 10), "Nan"},
      {FloatText(0.1, 20, 30), "0.10000000000000000600"},
      {FloatText(1e20, 2, 30), "100000000000000000000.00"},
      {FitLeft(5, '0', "12"), "00012"},
      {FitLeft(2, '0', "12345"), "12"},
      {FitRight(5, '.', "ab"), "ab..."},
      {RemoveChar("a b c", ' '), "abc"},
      {StripLeading("0010", '0'), "10"},
      {StripLeading("000", '0'), ""},
      {TextBefore("A=B", "="), "A"},
      {TextAfter("K==V=W", "=="), "V=W"},
      {TextBefore("AB", "="), ""},
      {TextAfter("AB", ""), ""},
      {StripTrailing(t, ' '), "AB"},
      {t, "AB"},
      {ReplaceChar(r, '_', ' ', true), "a b"},
      {ReplaceChar(r2, '_', ' ', false), "a b "}};
  for (const auto& [got, expected] : cases) EXPECT_EQ(got, expected);
}

// As a 32-bit strtoul: the value up to the first bad character (false), saturation, wrapping.
TEST(NumberText, TextToValues) {
  const std::tuple<const char*, int, bool, uint32_t> cases[] = {
      {"12 ", 10, false, 12},
      {"", 16, true, 0},
      {"0x1F", 16, true, 31},
      {"  +42", 10, true, 42},
      {"1012", 2, false, 5},
      {"-4294967295", 10, true, 1},
      {"-1", 10, true, 0xFFFFFFFF},
      {"4294967296", 10, true, 0xFFFFFFFF},
      {"-4294967296", 10, true, 0xFFFFFFFF},
      {"100000000", 16, true, 0xFFFFFFFF},
      {"99999999999999999999999", 10, true, 0xFFFFFFFF}};
  for (const auto& [text, radix, ok, value] : cases) {
    uint32_t v = 7;
    EXPECT_EQ(TextToUInt32(text, v, radix), ok) << text;
    EXPECT_EQ(v, value) << text;
  }
  uint16_t w = 0;
  bool ok = true;
  int32_t i = 0;
  double d = 0;
  EXPECT_EQ(std::pair(TextToUInt16("65537", w, 10), w), std::pair(true, uint16_t{1}));
  EXPECT_EQ(std::pair(TextToUInt16("FFx", w, 16), w), std::pair(false, uint16_t{0xFF}));
  EXPECT_EQ(std::pair(HexTextToValue("1G", ok), ok), std::pair(1u, false));
  EXPECT_EQ(std::pair(TextToInt32("99999999999", i), i), std::pair(true, 2147483647));
  EXPECT_EQ(std::pair(TextToInt32("-99999999999", i), i),
            std::pair(true, std::numeric_limits<int32_t>::min()));
  EXPECT_EQ(std::pair(TextToInt32("0x10", i), i), std::pair(false, 0));
  EXPECT_EQ(std::pair(TextToDouble("-1e3", d), d), std::pair(true, -1000.0));
  const std::tuple<std::string, int, bool, uint64_t> wide[] = {
      {"123456789ABCDEF", 16, true, 0x0123456789ABCDEF},
      {"12345678XBCDEF01", 16, false, 0x1234567800000000},
      {std::string(64, '1'), 2, true, ~uint64_t{0}},
      {"2000000000000000000001", 8, true, 1},  // 2^64 + 1, modulo 2^64
      {"18", 8, false, 1},
      {"-1", 10, true, ~uint64_t{0}},
      {"123abc", 10, true, 123},
      {"00000000000000012", 16, true, 1},  // longer than the width: its first characters
      {"1", 7, false, 99}};                // no such radix: unchanged
  for (const auto& [text, radix, ok, value] : wide) {
    uint64_t v = 99;
    EXPECT_EQ(TextToValue64(text, v, radix), ok) << text;
    EXPECT_EQ(v, value) << text;
  }
}

// Qt switches the C library to the user's locale; these texts keep "." in our own comma one.
TEST(NumberText, IndependentOfTheUserLocale) {
  TempDir dir;
  std::ofstream(dir.File("comma.src"))
      << "LC_NUMERIC\ndecimal_point \",\"\nthousands_sep \".\"\ngrouping 3\nEND LC_NUMERIC\n";
  const std::string build = "localedef -c -i " + dir.File("comma.src") + " -f UTF-8 " +
                            dir.File("comma") + " >/dev/null 2>&1; test -d " + dir.File("comma");
  if (std::system(build.c_str()) != 0) GTEST_SKIP() << "localedef could not build a locale";
  ::setenv("LOCPATH", dir.Path().c_str(), 1);
  const std::string previous = std::setlocale(LC_NUMERIC, nullptr);
  const bool set = std::setlocale(LC_NUMERIC, "comma") != nullptr;
  const std::string decimal = std::localeconv()->decimal_point;
  double point = 0, comma = 0;
  const bool okPoint = TextToDouble("2250.5", point), okComma = TextToDouble("2250,5", comma);
  const std::string text = FloatText(2250.5, 1, 10), stamp = TimeStampText(61.25);
  std::setlocale(LC_NUMERIC, previous.c_str());
  ::unsetenv("LOCPATH");
  ASSERT_TRUE(set && decimal == ",") << decimal;
  EXPECT_TRUE(okPoint && !okComma);
  EXPECT_DOUBLE_EQ(point, 2250.5);
  EXPECT_EQ(text, "2250.5");
  EXPECT_EQ(stamp, "000:00:01:01.250000");
}
