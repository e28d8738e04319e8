#include "pcm/Crc16.h"

#include <gtest/gtest.h>

#include <string_view>

namespace {

std::span<const uint8_t> Bytes(std::string_view text) {
  return {reinterpret_cast<const uint8_t*>(text.data()), text.size()};
}

TEST(Crc16Test, CheckValuesOfTheStandardString) {
  EXPECT_EQ(CrcOfBytes(CrcKind::Crc16, Bytes("123456789")), 0xBB3D);
  EXPECT_EQ(CrcOfBytes(CrcKind::Ccitt, Bytes("123456789")), 0x29B1);
}

TEST(Crc16Test, EmptyInputGivesTheInitialValue) {
  EXPECT_EQ(CrcOfBytes(CrcKind::Crc16, {}), 0x0000);
  EXPECT_EQ(CrcOfBytes(CrcKind::Ccitt, {}), 0xFFFF);
}

TEST(Crc16Test, OneFlippedBitChangesTheCrc) {
  const uint8_t a[] = {0x12, 0x34, 0x56};
  const uint8_t b[] = {0x12, 0x35, 0x56};
  EXPECT_NE(CrcOfBytes(CrcKind::Crc16, a), CrcOfBytes(CrcKind::Crc16, b));
  EXPECT_NE(CrcOfBytes(CrcKind::Ccitt, a), CrcOfBytes(CrcKind::Ccitt, b));
}

}  // namespace
