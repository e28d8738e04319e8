// qm48ctl bitstream, run as the built binary.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "support/TempDir.h"

namespace {

struct Output {
  int code = -1;
  std::vector<std::string> lines;
};

Output Ctl(const std::string& arguments, const TempDir& dir) {
  const std::string command =
      "cd '" + dir.Path() + "' && '" QM48_CTL_PATH "' " + arguments + " 2>/dev/null";
  Output result;
  FILE* pipe = ::popen(command.c_str(), "r");
  if (pipe == nullptr) return result;
  std::string text;
  char buffer[65536];
  for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) text.append(buffer, n);
  const int status = ::pclose(pipe);
  result.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) result.lines.push_back(line);
  return result;
}

TEST(BitstreamCommandTest, PrintsMinorFramesWordByWord) {
  TempDir dir;
  ASSERT_EQ(Ctl("save-default d.qm48", dir).code, 0);
  const Output two = Ctl("bitstream d.qm48 --frames 2", dir);
  ASSERT_EQ(two.code, 0);
  ASSERT_EQ(two.lines.size(), 2u);
  // The default sync FE6B2840 in two words, then the subframe ID counter in word 3.
  EXPECT_EQ(two.lines[0].rfind("0: 1111111001101011 0010100001000000 0000000000000000 ", 0), 0u);
  EXPECT_EQ(two.lines[1].rfind("1: 1111111001101011 0010100001000000 0000000000000001 ", 0), 0u);
  EXPECT_EQ(two.lines[0].size(), 3 + 256 * 17 - 1);

  const Output major = Ctl("bitstream d.qm48", dir);
  EXPECT_EQ(major.code, 0);
  EXPECT_EQ(major.lines.size(), 64u);
  EXPECT_EQ(major.lines[63].rfind("63: ", 0), 0u);

  // NRZ-L cells repeat every bit.
  const Output cells = Ctl("bitstream --code d.qm48 --frames 1", dir);
  ASSERT_EQ(cells.lines.size(), 1u);
  EXPECT_EQ(cells.lines[0].rfind("0: 11111111111111000011110011001111 ", 0), 0u);
}

TEST(BitstreamCommandTest, RejectsBadArguments) {
  TempDir dir;
  ASSERT_EQ(Ctl("save-default d.qm48", dir).code, 0);
  EXPECT_EQ(Ctl("bitstream d.qm48 --frames 0", dir).code, 2);
  EXPECT_EQ(Ctl("bitstream d.qm48 --frames", dir).code, 2);
  EXPECT_EQ(Ctl("bitstream d.qm48 --frames 3x", dir).code, 2);
  EXPECT_EQ(Ctl("bitstream d.qm48 --wide", dir).code, 2);
  EXPECT_EQ(Ctl("bitstream", dir).code, 2);
  EXPECT_EQ(Ctl("bitstream missing.qm48", dir).code, 2);
}

}  // namespace
