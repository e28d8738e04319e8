#pragma once
// IRIG 106-17 Chapter 10 packets: the 24-byte packet header (little-endian), the packet
// body, filler to a multiple of four bytes and a 32-bit data checksum.
#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

constexpr uint16_t kCh10Sync = 0xEB25;
constexpr size_t kCh10HeaderBytes = 24;
constexpr uint8_t kCh10DataTypeVersion = 0x08;     // the version number of IRIG 106-17
constexpr uint8_t kCh10TypeTmats = 0x01;           // computer-generated data, format 1
constexpr uint8_t kCh10TypeTime = 0x11;            // time data, format 1
constexpr uint8_t kCh10TypePcm = 0x09;             // PCM data, format 1
constexpr uint8_t kCh10Checksum32 = 0x03;          // packet flags bits 1-0: 32-bit data checksum
constexpr uint64_t kCh10TimeCounterHz = 10000000;  // the relative time counter's rate
constexpr uint16_t kCh10TmatsChannel = 0;

// The header checksum: the 16-bit sum of the header's first eleven 16-bit words.
uint16_t Ch10HeaderChecksum(const uint8_t* header);

// Numbers each channel's packets 0, 1, ... 255, 0, ...
class Ch10PacketWriter {
 public:
  // Appends one packet: header, body (channel-specific data word and data), filler and
  // checksum. time: the 48-bit relative time counter of the packet's data.
  void Append(std::vector<uint8_t>& out, uint16_t channel, uint8_t dataType, uint64_t time,
              const std::vector<uint8_t>& body);

 private:
  std::array<uint8_t, 65536> sequence_{};
};

void PutLe16(std::vector<uint8_t>& out, uint16_t value);
void PutLe32(std::vector<uint8_t>& out, uint32_t value);
