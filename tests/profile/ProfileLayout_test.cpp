// How the store reads and rewrites the text of a file: names, blanks, line ends, lines it
// does not understand, and where new entries go.
#include <gtest/gtest.h>

#include <random>

#include "profile/ProfileTestFiles.h"
#include "support/IniDocument.h"
#include "support/ProfileStore.h"

namespace {

std::string Read(const std::string& file, const std::string& section, const std::string& key) {
  std::string value = "<missing>";
  ReadProfileString(file, section, key, value);
  return value;
}

}  // namespace

TEST(ProfileLayout, NamesMatchWithoutCaseAndBlanksAreTrimmed) {
  TempFolder dir;
  std::string f = dir / "a.ini";
  PutFileBytes(f,
               "[SIMULATOR SETUP]\r\n"
               "  BitRate  =  1000  \r\n"
               "Quoted=\"  kept \"\r\n"
               "[ \xC4rger ]\r\n"  // Latin-1 capital A with diaeresis
               "Key=latin\r\n");
  EXPECT_EQ(Read(f, "simulator setup", "bitrate"), "1000");
  EXPECT_EQ(Read(f, "  Simulator Setup ", " BITRATE "), "1000");
  EXPECT_EQ(Read(f, "SIMULATOR SETUP", "Quoted"), "\"  kept \"");
  EXPECT_EQ(Read(f, "\xE4RGER", "key"), "latin");
  EXPECT_EQ(Read(f, "SIMULATOR", "BitRate"), "<missing>");
  EXPECT_EQ(Read(f, "SIMULATOR SETUP", "Bit"), "<missing>");
}

TEST(ProfileLayout, FirstSectionAndFirstKeyOfANameWin) {
  TempFolder dir;
  std::string f = dir / "dup.ini";
  PutFileBytes(f, "[A]\nk=1\nK=2\n[a]\nk=3\nm=4\n");
  EXPECT_EQ(Read(f, "A", "k"), "1");
  EXPECT_EQ(Read(f, "A", "m"), "<missing>");  // only the first [A] is looked at

  ASSERT_TRUE(WriteProfileString(f, "a", "K", "5"));
  ASSERT_TRUE(WriteProfileString(f, "A", "m", "6"));
  EXPECT_EQ(FileBytes(f), "[A]\nk=5\nK=2\nm=6\n[a]\nk=3\nm=4\n");
}

TEST(ProfileLayout, RewriteKeepsEveryOtherByteAndTheFilesLineEnds) {
  TempFolder dir;
  std::string lf = dir / "lf.ini";
  PutFileBytes(lf,
               "; written by hand\n"
               "orphan=before any section\n"
               "[A]\n"
               "  x = 1   ; not a comment, part of the value\n"
               "a line without an equals sign\n"
               "y=2\n"
               "\n"
               "; about B\n"
               "[B]\n"
               "z=3\n");
  ASSERT_TRUE(WriteProfileString(lf, "A", "x", "10"));
  ASSERT_TRUE(WriteProfileString(lf, "A", "new", "n"));  // after y, before the blank line
  ASSERT_TRUE(WriteProfileString(lf, "C", "c", "v"));    // new section at the end
  EXPECT_EQ(FileBytes(lf),
            "; written by hand\n"
            "orphan=before any section\n"
            "[A]\n"
            "  x = 10\n"
            "a line without an equals sign\n"
            "y=2\n"
            "new=n\n"
            "\n"
            "; about B\n"
            "[B]\n"
            "z=3\n"
            "[C]\n"
            "c=v\n");
  EXPECT_EQ(Read(lf, "", "orphan"), "<missing>");

  // CR LF files stay CR LF; a stray LF-only line and a missing last line end survive.
  std::string crlf = dir / "crlf.ini";
  PutFileBytes(crlf, "[A]\r\nx=1\nq=2\r\n[B]\r\nz=3");
  ASSERT_TRUE(WriteProfileString(crlf, "B", "w", "4"));
  ASSERT_TRUE(WriteProfileString(crlf, "A", "x", "9"));
  EXPECT_EQ(FileBytes(crlf), "[A]\r\nx=9\nq=2\r\n[B]\r\nz=3\r\nw=4\r\n");

  // New files are CR LF.
  std::string fresh = dir / "new.ini";
  ASSERT_TRUE(WriteProfileString(fresh, "S", "k", "v"));
  ASSERT_TRUE(WriteProfileString(fresh, "S", "k2", "v2"));
  EXPECT_EQ(FileBytes(fresh), "[S]\r\nk=v\r\nk2=v2\r\n");
}

TEST(ProfileLayout, ByteOrderMarkDoesNotHideTheFirstSectionAndIsKept) {
  TempFolder dir;
  std::string f = dir / "bom.ini";
  PutFileBytes(f, "\xEF\xBB\xBF[LAST SETUP FILENAME]\r\nFileName=Run1.QM48\r\n");
  EXPECT_EQ(Read(f, "LAST SETUP FILENAME", "FileName"), "Run1.QM48");
  ASSERT_TRUE(WriteProfileString(f, "LAST SETUP FILENAME", "FileName", "Run2.QM48"));
  EXPECT_EQ(FileBytes(f), "\xEF\xBB\xBF[LAST SETUP FILENAME]\r\nFileName=Run2.QM48\r\n");
}

TEST(ProfileLayout, BytesPassThroughUnchanged) {
  TempFolder dir;
  std::string f = dir / "latin1.ini";
  std::string value = "caf\xE9 \xB5s \xFF";
  ASSERT_TRUE(WriteProfileString(f, "S", "k", value));
  EXPECT_EQ(Read(f, "S", "k"), value);
  EXPECT_EQ(FileBytes(f), "[S]\r\nk=" + value + "\r\n");
}

TEST(ProfileLayout, LineBreaksInAValueCannotSplitTheEntry) {
  TempFolder dir;
  std::string f = dir / "lb.ini";
  ASSERT_TRUE(WriteProfileString(f, "S", "a", "1"));
  ASSERT_TRUE(WriteProfileString(f, "S", "k", "one\r\n[S]\nk=two"));
  ASSERT_TRUE(WriteProfileString(f, "S", "b", "2"));
  EXPECT_EQ(Read(f, "S", "k"), "one  [S] k=two");
  EXPECT_EQ(FileBytes(f), "[S]\r\na=1\r\nk=one  [S] k=two\r\nb=2\r\n");
}

TEST(ProfileLayout, NamesThatCannotBeStoredAreRefused) {
  TempFolder dir;
  std::string f = dir / "names.ini";
  EXPECT_FALSE(WriteProfileString(f, "S", "a=b", "v"));
  EXPECT_FALSE(WriteProfileString(f, "S", "  ", "v"));
  EXPECT_FALSE(WriteProfileString(f, "S", ";k", "v"));
  EXPECT_FALSE(WriteProfileString(f, "S", "[k", "v"));
  EXPECT_FALSE(WriteProfileString(f, "S", "k\n", "v"));
  EXPECT_FALSE(WriteProfileString(f, "S]x", "k", "v"));
  EXPECT_FALSE(WriteProfileString(f, "", "k", "v"));
  EXPECT_FALSE(WriteProfileString("", "S", "k", "v"));
  EXPECT_TRUE(dir.Names().empty());
}

// Whatever the bytes, parsing and writing back changes nothing, the entries around the
// garbage stay readable, and changing one of them changes only its line.
TEST(ProfileLayout, GarbageNeverLosesTheOtherEntries) {
  std::mt19937 random(48);
  std::uniform_int_distribution<int> byte(0, 255);
  std::uniform_int_distribution<int> length(0, 400);
  std::string bytes;
  for (int i = 0; i < 200; ++i) {
    int n = length(random);
    for (int j = 0; j < n; ++j) bytes += static_cast<char>(byte(random));
    if (i % 50 == 0) bytes += std::string(100000, 'L');  // very long lines
    if (i % 7 == 0) bytes += "\n[half open\n]\n=\n==\n\r\r\n";
    bytes += "\n[KNOWN" + std::to_string(i) + "]\nkey=value" + std::to_string(i) + "\n";
    bytes += std::string("\0\0binary=\0x\n", 13);
  }

  IniDocument doc = IniDocument::Parse(bytes);
  EXPECT_EQ(doc.Serialize(), bytes);
  for (int i = 0; i < 200; ++i) {
    std::string_view value;
    ASSERT_TRUE(doc.Find("known" + std::to_string(i), "KEY", value)) << i;
    EXPECT_EQ(value, "value" + std::to_string(i));
  }
  ASSERT_TRUE(doc.Set("KNOWN77", "key", "changed"));
  std::string expected = bytes;
  size_t at = expected.find("[KNOWN77]\nkey=value77\n");
  ASSERT_NE(at, std::string::npos);
  expected.replace(at, 21, "[KNOWN77]\nkey=changed");
  EXPECT_EQ(doc.Serialize(), expected);

  TempFolder dir;
  std::string f = dir / "garbage.ini";
  PutFileBytes(f, bytes);
  ASSERT_TRUE(WriteProfileString(f, "KNOWN77", "key", "changed"));
  EXPECT_EQ(FileBytes(f), expected);
  EXPECT_EQ(Read(f, "KNOWN199", "key"), "value199");
}

TEST(ProfileLayout, EmptyAndOddFilesParse) {
  for (std::string bytes : {"", "\n", "\r\n", "\xEF\xBB\xBF", "[", "]", "=", "[]\n=x\n", "\r"}) {
    IniDocument doc = IniDocument::Parse(bytes);
    EXPECT_EQ(doc.Serialize(), bytes);
    EXPECT_TRUE(doc.Set("S", "k", "v"));
    std::string_view value;
    EXPECT_TRUE(doc.Find("s", "K", value));
    EXPECT_EQ(value, "v");
  }
}

TEST(ProfileLayout, RewritingAValueWithLeadingBlanksChangesNothing) {
  IniDocument doc = IniDocument::Parse("[S]\r\nk= x\r\n");
  EXPECT_FALSE(doc.Set("S", "k", " x"));
  EXPECT_FALSE(doc.Set("S", "k", "  x"));
  EXPECT_EQ(doc.Serialize(), "[S]\r\nk= x\r\n");
  EXPECT_TRUE(doc.Set("S", "k", " y"));
  EXPECT_EQ(doc.Serialize(), "[S]\r\nk= y\r\n");
}
