#include "pcm/Crc16.h"

namespace {
constexpr uint16_t kCrc16Reflected = 0xA001;  // 0x8005 bit-reversed
constexpr uint16_t kCcittPoly = 0x1021;
}  // namespace

BitCrc::BitCrc(CrcKind kind) : kind_(kind), value_(kind == CrcKind::Ccitt ? 0xFFFF : 0x0000) {}

void BitCrc::AddBit(bool bit) {
  if (kind_ == CrcKind::Crc16) {
    const bool feedback = ((value_ & 1) != 0) != bit;
    value_ = static_cast<uint16_t>(value_ >> 1);
    if (feedback) value_ ^= kCrc16Reflected;
  } else {
    const bool feedback = ((value_ & 0x8000) != 0) != bit;
    value_ = static_cast<uint16_t>(value_ << 1);
    if (feedback) value_ ^= kCcittPoly;
  }
}

uint16_t CrcOfBytes(CrcKind kind, std::span<const uint8_t> bytes) {
  BitCrc crc(kind);
  for (uint8_t byte : bytes) {
    for (int j = 0; j < 8; ++j) {
      const int bit = kind == CrcKind::Crc16 ? j : 7 - j;
      crc.AddBit(((byte >> bit) & 1) != 0);
    }
  }
  return crc.Value();
}
