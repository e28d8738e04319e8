#pragma once
// The two CRCs the unit can compute into a minor frame's CRC word.
//
// "CRC-16" is the reflected x^16 + x^15 + x^2 + 1 code (polynomial 0x8005, bits taken
// least significant first, initial value 0, no final XOR); "CCITT" is x^16 + x^12 + x^5 + 1
// (0x1021, most significant bit first, initial value 0xFFFF, no final XOR). These are the
// two common 16-bit checks telemetry ground stations know by those names.
#include <cstddef>
#include <cstdint>
#include <span>

enum class CrcKind { Crc16, Ccitt };

// A running CRC fed one bit at a time, in the order the bits go out on the wire.
class BitCrc {
 public:
  explicit BitCrc(CrcKind kind);
  void AddBit(bool bit);
  uint16_t Value() const { return value_; }

 private:
  CrcKind kind_;
  uint16_t value_;
};

// The CRC of a byte sequence; the bytes' bits are fed in the code's own bit order
// (least significant first for CRC-16, most significant first for CCITT).
uint16_t CrcOfBytes(CrcKind kind, std::span<const uint8_t> bytes);
