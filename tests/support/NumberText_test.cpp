#include "support/NumberText.h"

#include <gtest/gtest.h>

TEST(NumberText, HexOctBinaryExamples) {
  EXPECT_EQ(HexText(0x1A, 4, true), "0x001A");
  EXPECT_EQ(HexText(0x1A, 4, false), "001A");
  EXPECT_EQ(HexText(0x12345, 4, false), "1234");
  EXPECT_EQ(HexText(0x3F, 1, false), "3");
  EXPECT_EQ(HexText(5, 0, false), "");
  EXPECT_EQ(HexText(5, 0, true), "0x");
  EXPECT_EQ(OctText(8, 3, true), "o010");
  EXPECT_EQ(BinaryText(0x1F, 5), "11111");
  EXPECT_EQ(BinaryText(1, 8), "00000001");
  EXPECT_EQ(BinaryText(5, 3), "101");
  EXPECT_EQ(BinaryText(0, 3), "000");
  EXPECT_EQ(BinaryText(7, 0), "");
  EXPECT_EQ(NibbleBits('a'), "0000");
  EXPECT_EQ(NibbleBits('C'), "1100");
}
