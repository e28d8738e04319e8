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

  // Two lines run together, and the start of a third.
  Add(line, "STATION 2 ");
  line.EndLine();
  Add(line, "0002 ");
  line.EndLine();
  Add(line, "TAI");
  EXPECT_EQ(line.Take(&lines), "STATION 2 0002 TAI");
  EXPECT_EQ(lines, 2u);
  // The rest of the third ends a line of its own for the next reader.
  Add(line, "L");
  line.EndLine();
  EXPECT_EQ(line.Take(&lines), "L");
  EXPECT_EQ(lines, 1u);

  // An over-long line still counts once; clearing forgets the count.
  Add(line, std::string(ReplyLineBuffer::kCapacity + 40, 'x'));
  line.EndLine();
  line.Clear();
  EXPECT_EQ(line.Take(&lines), "");
  EXPECT_EQ(lines, 0u);
}

}  // namespace
