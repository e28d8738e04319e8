// Typed reads and writes: the text each type is stored as, and which stored texts read
// as missing or unreadable.
#include <gtest/gtest.h>

#include "profile/ProfileTestFiles.h"
#include "support/ProfileStore.h"

namespace {

class ProfileValues : public ::testing::Test {
 protected:
  // The value text exactly as it stands in the file.
  std::string Stored(const std::string& key) {
    std::string bytes = FileBytes(file);
    std::string marker = "\r\n" + key + "=";
    size_t at = bytes.find(marker);
    if (at == std::string::npos) return "<missing>";
    at += marker.size();
    return bytes.substr(at, bytes.find("\r\n", at) - at);
  }
  void Put(const std::string& key, const std::string& value) {
    ASSERT_TRUE(WriteProfileString(file, "S", key, value));
  }

  TempFolder dir;
  std::string file = dir / "values.ini";
};

}  // namespace

TEST_F(ProfileValues, WritesUseTheFixedTextForms) {
  ASSERT_TRUE(WriteProfileDouble(file, "S", "Half", 2.5));
  ASSERT_TRUE(WriteProfileDouble(file, "S", "Big", 123456789.5));
  ASSERT_TRUE(WriteProfileDouble(file, "S", "Negative", -0.25));
  ASSERT_TRUE(WriteProfileInt(file, "S", "Minus", -7));
  ASSERT_TRUE(WriteProfileInt(file, "S", "Lowest", INT32_MIN));
  ASSERT_TRUE(WriteProfileBool(file, "S", "On", true));
  ASSERT_TRUE(WriteProfileBool(file, "S", "Off", false));
  ASSERT_TRUE(WriteProfileUInt(file, "S", "Bin", 2, 5));
  ASSERT_TRUE(WriteProfileUInt(file, "S", "Oct", 8, 8));
  ASSERT_TRUE(WriteProfileUInt(file, "S", "Hex", 16, 0x1A));
  ASSERT_TRUE(WriteProfileUInt(file, "S", "Dec", 10, 4294967295u));
  EXPECT_EQ(Stored("Half"), "2.500000000");
  EXPECT_EQ(Stored("Big"), "123456789.50000000");
  EXPECT_EQ(Stored("Negative"), "-0.250000000");
  EXPECT_EQ(Stored("Minus"), "-7");
  EXPECT_EQ(Stored("Lowest"), "-2147483648");
  EXPECT_EQ(Stored("On"), "YES");
  EXPECT_EQ(Stored("Off"), "NO");
  EXPECT_EQ(Stored("Bin"), "00000000000000000000000000000101");
  EXPECT_EQ(Stored("Oct"), "00000000010");
  EXPECT_EQ(Stored("Hex"), "0000001A");
  EXPECT_EQ(Stored("Dec"), "4294967295");
}

TEST_F(ProfileValues, EveryTypeReadsBackWhatWasWritten) {
  ASSERT_TRUE(WriteProfileDouble(file, "S", "D", -1234.125));
  ASSERT_TRUE(WriteProfileInt(file, "S", "I", -2147483647));
  ASSERT_TRUE(WriteProfileBool(file, "S", "B", true));
  for (int radix : {2, 8, 10, 16})
    ASSERT_TRUE(WriteProfileUInt(file, "S", "U" + std::to_string(radix), radix, 0xDEADBEEF));
  ASSERT_TRUE(WriteProfileString(file, "S", "T", "free text, = signs = kept"));

  double d = 0;
  int32_t i = 0;
  bool b = false;
  std::string t;
  EXPECT_TRUE(ReadProfileDouble(file, "S", "D", d));
  EXPECT_EQ(d, -1234.125);
  EXPECT_TRUE(ReadProfileInt(file, "S", "I", i));
  EXPECT_EQ(i, -2147483647);
  EXPECT_TRUE(ReadProfileBool(file, "S", "B", b));
  EXPECT_TRUE(b);
  for (int radix : {2, 8, 10, 16}) {
    uint32_t u = 0;
    EXPECT_TRUE(ReadProfileUInt(file, "S", "U" + std::to_string(radix), radix, u));
    EXPECT_EQ(u, 0xDEADBEEFu) << radix;
    uint16_t u16 = 0;
    EXPECT_TRUE(ReadProfileUInt16(file, "S", "U" + std::to_string(radix), radix, u16));
    EXPECT_EQ(u16, 0xBEEF) << radix;
  }
  EXPECT_TRUE(ReadProfileString(file, "S", "T", t));
  EXPECT_EQ(t, "free text, = signs = kept");
}

TEST_F(ProfileValues, MissingAndUnreadableEntriesLeaveTheOutParameterAlone) {
  Put("Sentinel", "BOGUS SECTION or KEY");
  Put("SentinelBlanks", "  BOGUS SECTION or KEY  ");
  Put("Bad", "12x");
  Put("Empty", "");
  Put("Spaced", "12 ");  // trimmed when read
  Put("Word", "abc");

  std::string t = "old";
  EXPECT_FALSE(ReadProfileString(file, "S", "Sentinel", t));
  EXPECT_FALSE(ReadProfileString(file, "S", "SentinelBlanks", t));
  EXPECT_FALSE(ReadProfileString(file, "S", "Nowhere", t));
  EXPECT_FALSE(ReadProfileString(file, "Nowhere", "Bad", t));
  EXPECT_FALSE(ReadProfileString(dir / "no such file.ini", "S", "Bad", t));
  EXPECT_FALSE(ReadProfileString(dir.Path(), "S", "Bad", t));  // a folder
  EXPECT_EQ(t, "old");

  int32_t i = 99;
  EXPECT_FALSE(ReadProfileInt(file, "S", "Bad", i));
  EXPECT_FALSE(ReadProfileInt(file, "S", "Sentinel", i));
  EXPECT_EQ(i, 99);
  EXPECT_TRUE(ReadProfileInt(file, "S", "Spaced", i));
  EXPECT_EQ(i, 12);
  EXPECT_TRUE(ReadProfileInt(file, "S", "Empty", i));
  EXPECT_EQ(i, 0);

  uint32_t u = 7;
  uint16_t u16 = 7;
  double d = 1.5;
  EXPECT_FALSE(ReadProfileUInt(file, "S", "Word", 10, u));
  EXPECT_FALSE(ReadProfileUInt16(file, "S", "Word", 10, u16));
  EXPECT_FALSE(ReadProfileDouble(file, "S", "Word", d));
  EXPECT_EQ(u, 7u);
  EXPECT_EQ(u16, 7);
  EXPECT_EQ(d, 1.5);
  EXPECT_TRUE(ReadProfileUInt(file, "S", "Word", 16, u));  // hex digits
  EXPECT_EQ(u, 0xABCu);
}

TEST_F(ProfileValues, BoolIsTrueOnlyForUpperCaseYes) {
  Put("Lower", "yes");
  Put("Upper", "YES");
  Put("Other", "1");
  bool b = true;
  EXPECT_TRUE(ReadProfileBool(file, "S", "Lower", b));
  EXPECT_FALSE(b);
  EXPECT_TRUE(ReadProfileBool(file, "S", "Upper", b));
  EXPECT_TRUE(b);
  EXPECT_TRUE(ReadProfileBool(file, "S", "Other", b));
  EXPECT_FALSE(b);
  b = true;
  EXPECT_FALSE(ReadProfileBool(file, "S", "Missing", b));
  EXPECT_TRUE(b);
}

TEST_F(ProfileValues, LongValuesAreStoredWholeAndReadCutTo1023) {
  std::string longValue(2000, 'v');
  longValue[1022] = 'X';
  longValue[1023] = 'Y';
  Put("Long", longValue);
  EXPECT_EQ(Stored("Long"), longValue);
  std::string t;
  ASSERT_TRUE(ReadProfileString(file, "S", "Long", t));
  EXPECT_EQ(t.size(), 1023u);
  EXPECT_EQ(t.back(), 'X');
  // What lies beyond the cut is not seen by the conversion either.
  Put("Far", std::string(1023, '0') + "x");
  uint32_t u = 5;
  EXPECT_TRUE(ReadProfileUInt(file, "S", "Far", 10, u));
  EXPECT_EQ(u, 0u);
}
