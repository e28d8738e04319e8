// The INI profile store: values read from file texts, texts writes leave, typed values.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "support/ProfileStore.h"
#include "support/TempDir.h"

namespace {

class Profile : public ::testing::Test {
 protected:
  void Put(const std::string& bytes) { std::ofstream(file, std::ios::binary) << bytes; }
  TempDir dir;
  std::string file = dir.File("p.ini");
};

TEST_F(Profile, FileTextsAndTheValuesRead) {
  const std::string dup = "[A]\nk=1\nK=2\n[a]\nk=3\nm=4\n",
                    setup = "[SIMULATOR SETUP]\r\nBitRate=1\r\n";
  // clang-format off
  const std::vector<std::array<std::string, 4>> cases = {  // file text, section, key, value read
      {"[SIMULATOR SETUP]\r\n  BitRate  =  1000  \r\n", "simulator setup", "bitrate", "1000"},
      {setup, "  Simulator Setup ", " BITRATE ", "1"}, {setup, "SIMULATOR", "BitRate", "-"}, {setup, "SIMULATOR SETUP", "Bit", "-"},
      {"[S]\r\nQuoted=\"  kept \"\r\n", "S", "Quoted", "\"  kept \""},
      {"[ \xC4rger ]\r\nKey=latin\r\n", "\xE4RGER", "key", "latin"},  // Latin-1 case folding
      {dup, "A", "k", "1"}, {dup, "A", "m", "-"},  // the first section and first key of a name win
      {"orphan=before any section\n[A]\n", "", "orphan", "-"},
      {"\xEF\xBB\xBF[LAST]\r\nFileName=R.QM48\r\n", "LAST", "FileName", "R.QM48"},  // byte order mark
      {"[S]\r\nk=caf\xE9 \xB5s \xFF\r\n", "S", "k", "caf\xE9 \xB5s \xFF"},
      {"[S]\r\nk=  BOGUS SECTION or KEY  \r\n", "S", "k", "-"},  // the sentinel
      {"[", "", "", "-"}, {"]\r=\r\n[]\n=x\n", "", "", "-"},  // odd files parse
      {"[S]\nk=" + std::string(1022, 'v') + "XY\n", "S", "k", std::string(1022, 'v') + "X"},  // cut
  };
  // clang-format on
  for (const auto& [text, section, key, value] : cases) {
    Put(text);
    std::string read = "-";
    ReadProfileString(file, section, key, read);
    EXPECT_EQ(read, value) << text;
  }
  std::string read;
  EXPECT_FALSE(ReadProfileString(dir.File("none.ini"), "S", "k", read));
  EXPECT_FALSE(ReadProfileString(dir.Path(), "S", "k", read));  // a folder
}

TEST_F(Profile, WritesAndTheTextsTheyLeave) {
  struct Case {
    std::string before;  // "": no file yet
    std::vector<std::array<const char*, 3>> writes;
    std::string after;
  };
  // Other bytes stay; new keys go after the section's last entry, new sections at the end;
  // line ends are kept (new files: CR LF); line breaks cannot split an entry; a value that
  // differs only in its leading blanks changes nothing.
  const Case cases[] = {
      {"[A]\nk=1\nK=2\n[a]\nk=3\nm=4\n",
       {{"a", "K", "5"}, {"A", "m", "6"}},
       "[A]\nk=5\nK=2\nm=6\n[a]\nk=3\nm=4\n"},
      {"; by hand\n[A]\n  x = 1   ; part of the value\nno equals\ny=2\n\n; B\n[B]\nz=3\n",
       {{"A", "x", "10"}, {"A", "new", "n"}, {"C", "c", "v"}},
       "; by hand\n[A]\n  x = 10\nno equals\ny=2\nnew=n\n\n; B\n[B]\nz=3\n[C]\nc=v\n"},
      {"[A]\r\nx=1\nq=2\r\n[B]\r\nz=3",
       {{"B", "w", "4"}, {"A", "x", "9"}},
       "[A]\r\nx=9\nq=2\r\n[B]\r\nz=3\r\nw=4\r\n"},
      {"\xEF\xBB\xBF[L]\r\nF=R1\r\n", {{"L", "F", "R2"}}, "\xEF\xBB\xBF[L]\r\nF=R2\r\n"},
      {"",
       {{"S", "a", "1"}, {"S", "k", "one\r\n[S]\nk=two"}, {"S", "b", "2"}},
       "[S]\r\na=1\r\nk=one  [S] k=two\r\nb=2\r\n"},
      {"[S]\r\nk= x\r\n", {{"S", "k", " x"}, {"S", "k", "  x"}}, "[S]\r\nk= x\r\n"},
      {"[S]\r\nk= x\r\n", {{"S", "k", " y"}}, "[S]\r\nk= y\r\n"},
  };
  for (const Case& c : cases) {
    std::remove(file.c_str());
    if (!c.before.empty()) Put(c.before);
    for (const auto& [section, key, value] : c.writes)
      EXPECT_TRUE(WriteProfileString(file, section, key, value)) << key;
    EXPECT_EQ(ReadAll(file), c.after);
  }
  std::remove(file.c_str());  // names that cannot be stored are refused, nothing is written
  const std::pair<const char*, const char*> refused[] = {
      {"S", "a=b"}, {"S", "  "}, {"S", ";k"}, {"S", "[k"}, {"S", "k\n"}, {"S]x", "k"}, {"", "k"}};
  for (auto [section, key] : refused)
    EXPECT_FALSE(WriteProfileString(file, section, key, "v")) << section << key;
  EXPECT_FALSE(WriteProfileString("", "S", "k", "v") || PathExists(file));
}

TEST_F(Profile, TypedValuesAndTheirStoredTexts) {
  for (auto [key, value] : {std::pair{"D1", 2.5}, {"D2", 123456789.5}, {"D3", -0.25}})
    ASSERT_TRUE(WriteProfileDouble(file, "S", key, value));
  ASSERT_TRUE(WriteProfileInt(file, "S", "I", INT32_MIN) &&
              WriteProfileBool(file, "S", "B1", true) && WriteProfileBool(file, "S", "B0", false));
  for (auto [key, radix, value] :
       {std::tuple{"U2", 2, 5u}, {"U8", 8, 8u}, {"U16", 16, 0x1Au}, {"U10", 10, 4294967295u}})
    ASSERT_TRUE(WriteProfileUInt(file, "S", key, radix, value));
  EXPECT_EQ(ReadAll(file),
            "[S]\r\nD1=2.500000000\r\nD2=123456789.50000000\r\nD3=-0.250000000\r\nI=-2147483648\r\n"
            "B1=YES\r\nB0=NO\r\nU2=00000000000000000000000000000101\r\nU8=00000000010\r\n"
            "U16=0000001A\r\nU10=4294967295\r\n");
  for (int radix : {2, 8, 10, 16}) {
    uint32_t u = 0;
    uint16_t u16 = 0;
    ASSERT_TRUE(WriteProfileUInt(file, "S", "U", radix, 0xDEADBEEF));
    EXPECT_TRUE(ReadProfileUInt(file, "S", "U", radix, u) && u == 0xDEADBEEFu) << radix;
    EXPECT_TRUE(ReadProfileUInt16(file, "S", "U", radix, u16) && u16 == 0xBEEF) << radix;
  }
  double d = 0;
  EXPECT_TRUE(WriteProfileDouble(file, "S", "D", -1234.125) &&
              ReadProfileDouble(file, "S", "D", d));
  EXPECT_EQ(d, -1234.125);

  // Stored texts and what a read of each type makes of them; "-": false, value untouched.
  // clang-format off
  const std::vector<std::array<std::string, 3>> reads = {
      {"12x", "int", "-"}, {"BOGUS SECTION or KEY", "int", "-"}, {"12 ", "int", "12"}, {"", "int", "0"},
      {"abc", "dec", "-"}, {"abc", "hex", "2748"}, {"abc", "u16", "-"}, {"abc", "double", "-"},
      {"YES", "bool", "1"}, {"yes", "bool", "0"}, {"1", "bool", "0"},
      {std::string(1023, '0') + "x", "dec", "0"},  // what lies beyond 1023 is not seen
  };
  // clang-format on
  for (const auto& [text, type, expected] : reads) {
    ASSERT_TRUE(WriteProfileString(file, "S", "R", text));
    int32_t i = 7;
    uint32_t u = 7;
    uint16_t u16 = 7;
    double v = 7;
    bool b = true;
    const bool ok = type == "int"    ? ReadProfileInt(file, "S", "R", i)
                    : type == "dec"  ? ReadProfileUInt(file, "S", "R", 10, u)
                    : type == "hex"  ? ReadProfileUInt(file, "S", "R", 16, u)
                    : type == "u16"  ? ReadProfileUInt16(file, "S", "R", 10, u16)
                    : type == "bool" ? ReadProfileBool(file, "S", "R", b)
                                     : ReadProfileDouble(file, "S", "R", v);
    const int64_t value = type == "int"      ? i
                          : type == "u16"    ? u16
                          : type == "bool"   ? b
                          : type == "double" ? int64_t(v)
                                             : u;
    const std::string got = ok ? std::to_string(value) : "-";
    EXPECT_EQ(got, expected) << text << " as " << type;
    EXPECT_TRUE(got != "-" || (i == 7 && u == 7 && u16 == 7 && v == 7 && b)) << text;
  }
  EXPECT_NE(ReadAll(file).find(std::string(1023, '0') + "x\r\n"), std::string::npos);  // whole
  bool b = true;
  EXPECT_FALSE(ReadProfileBool(file, "S", "Missing", b));
  EXPECT_TRUE(b);
}

}  // namespace
