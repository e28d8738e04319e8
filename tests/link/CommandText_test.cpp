#include "link/CommandText.h"

#include <gtest/gtest.h>

TEST(CommandText, EveryLetterHasItsExactText) {
  EXPECT_EQ(MemoryWriteCommand(0x0800, 0), "0800 0000 M");
  EXPECT_EQ(MemoryWriteCommand(0xBEEF, 8192), "BEEF 2000 M");
  EXPECT_EQ(RegisterWriteCommand(0x9000, 0), "9000 0000 T");
  EXPECT_EQ(ClockRateCommand(1024000), "000F A000 K");
  EXPECT_EQ(ClockRateCommand(40960), "0000 A000 K");
  EXPECT_EQ(RunCommand(true), "1 R");
  EXPECT_EQ(RunCommand(false), "0 R");
  EXPECT_EQ(SaveFlashCommand(), "S");
  EXPECT_EQ(FormatNumberCommand(0), "0 N");
  EXPECT_EQ(FormatNumberCommand(3), "3 N");
  EXPECT_EQ(TransmitterWriteCommand(0x1234, 2), "1234 2 G");
}

TEST(CommandText, Hex16KeepsTheMostSignificantDigitsOfWideValues) {
  EXPECT_EQ(Hex16(0x1A), "001A");
  EXPECT_EQ(Hex16(0x12345), "1234");
  // A negative address as the unit's software computed it: all ones at the top.
  EXPECT_EQ(MemoryWriteCommand(1, static_cast<uint32_t>(-5)), "0001 FFFF M");
  EXPECT_EQ(MemoryWriteCommand(0x12345, 0x10000), "1234 1000 M");
  EXPECT_EQ(RegisterWriteCommand(0xFFFF, 0x10002), "FFFF 1000 T");
}

// The number the unit receives is the one those four digits stand for.
TEST(CommandText, Hex16ValueIsWhatTheFourDigitsCarry) {
  const std::pair<uint32_t, uint16_t> cases[] = {
      {0x1A, 0x1A},         {0xFFFF, 0xFFFF},     {0x10000, 0x1000},
      {0x12345, 0x1234},    {0xABCDEF, 0xABCD},   {static_cast<uint32_t>(-1), 0xFFFF},
      {0x80000000, 0x8000}, {0x0001FFFF, 0x1FFF},
  };
  for (const auto& [value, sent] : cases) EXPECT_EQ(Hex16Value(value), sent) << value;
}

TEST(CommandText, FormatNameIsEightLowerCaseCharacters) {
  EXPECT_EQ(FormatNameCommand("Test"), "Htest    ");
  EXPECT_EQ(FormatNameCommand(""), "H        ");
  EXPECT_EQ(FormatNameCommand("FRAME0012345"), "Hframe001");
  EXPECT_EQ(Name8("A B-Z"), "a b-z   ");
}
