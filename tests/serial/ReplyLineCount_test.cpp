// The reply line counts the lines that ran into it, so that a reader can tell one
// answer from several lines run together (another device on the line).
#include <gtest/gtest.h>

#include <string>

#include "serial/ReplyLine.h"

namespace {

void Add(ReplyLineBuffer& line, const std::string& bytes) {
  line.Append(reinterpret_cast<const uint8_t*>(bytes.data()), static_cast<uint32_t>(bytes.size()));
}

TEST(ReplyLineCount, CountsEndedLinesWithBytesUntilTakenOrCleared) {
  ReplyLineBuffer line;
  uint32_t lines = 99;
  EXPECT_EQ(line.Take(&lines), "");
  EXPECT_EQ(lines, 0u);

  // A reply and the bare carriage return of a doubled one: one line.
  Add(line, "0001 ");
  line.EndLine();
  line.EndLine();
  EXPECT_EQ(line.Take(&lines), "0001 ");
  EXPECT_EQ(lines, 1u);

  // Two lines run together, and the start of a third, which stays for the next reader.
  Add(line, "STATION 2 ");
  line.EndLine();
  Add(line, "0002 ");
  line.EndLine();
  Add(line, "TAI");
  EXPECT_EQ(line.Take(&lines), "STATION 2 0002 ");
  EXPECT_EQ(lines, 2u);
  EXPECT_EQ(line.Text(), "TAI");
  Add(line, "L");
  line.EndLine();
  EXPECT_EQ(line.Take(&lines), "TAIL");
  EXPECT_EQ(lines, 1u);

  // A line cut by emptying the reply line before a command: its tail ("0D", read alone a
  // plausible value) must not pass for one whole reply.
  Add(line, "STATION 2 ONLINE 0BA");
  line.Clear();
  Add(line, "D ");
  line.EndLine();
  EXPECT_EQ(line.Take(&lines), "D ");
  EXPECT_EQ(lines, 2u);
  // Emptied between lines, nothing is cut.
  line.Clear();
  Add(line, "14 ");
  line.EndLine();
  EXPECT_EQ(line.Take(&lines), "14 ");
  EXPECT_EQ(lines, 1u);

  // An over-long line still counts once; clearing forgets the count.
  Add(line, std::string(ReplyLineBuffer::kCapacity + 40, 'x'));
  line.EndLine();
  line.Clear();
  EXPECT_EQ(line.Take(&lines), "");
  EXPECT_EQ(lines, 0u);
}

}  // namespace
