#pragma once
// A Chapter 10 reader of the tests' own, written from the standard apart from the writer:
// it checks every header and data checksum, the filler and each channel's sequence.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

struct ReadPacket {
  uint16_t Channel = 0;
  uint8_t Sequence = 0;
  uint8_t Type = 0;
  uint64_t Time = 0;
  std::vector<uint8_t> Data;  // channel-specific data word and data, no filler
};

inline uint32_t Le(const std::vector<uint8_t>& b, size_t at, int bytes) {
  uint32_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = v << 8 | b[at + size_t(i)];
  return v;
}

// Empty error when every packet is sound.
inline std::vector<ReadPacket> ReadCh10File(const std::vector<uint8_t>& file, std::string& error) {
  std::vector<ReadPacket> packets;
  std::map<uint16_t, int> last;
  for (size_t at = 0; at < file.size();) {
    const std::string where = "packet at byte " + std::to_string(at) + ": ";
    if (file.size() - at < 24 || Le(file, at, 2) != 0xEB25) {
      error = where + "no sync";
      return packets;
    }
    uint32_t sum = 0;
    for (size_t i = 0; i < 22; i += 2) sum += Le(file, at + i, 2);
    if ((sum & 0xFFFF) != Le(file, at + 22, 2)) {
      error = where + "header checksum";
      return packets;
    }
    ReadPacket p;
    p.Channel = static_cast<uint16_t>(Le(file, at + 2, 2));
    const uint32_t length = Le(file, at + 4, 4), data = Le(file, at + 8, 4);
    p.Sequence = file[at + 13];
    p.Type = file[at + 15];
    p.Time = Le(file, at + 16, 4) | uint64_t{Le(file, at + 20, 2)} << 32;
    if (length % 4 != 0 || length < 24 + data + 4 || length > 24 + data + 3 + 4 ||
        at + length > file.size() || (file[at + 14] & 3) != 3) {
      error = where + "length " + std::to_string(length) + " data " + std::to_string(data);
      return packets;
    }
    p.Data.assign(file.begin() + long(at + 24), file.begin() + long(at + 24 + data));
    for (size_t f = at + 24 + data; f < at + length - 4; ++f) {
      if (file[f] != 0) error = where + "filler not zero";
    }
    uint32_t check = 0;
    for (size_t i = at + 24; i < at + length - 4; i += 4) check += Le(file, i, 4);
    if (check != Le(file, at + length - 4, 4)) error = where + "data checksum";
    if (last.count(p.Channel) != 0 && p.Sequence != uint8_t(last[p.Channel] + 1))
      error = where + "sequence " + std::to_string(p.Sequence);
    if (!error.empty()) return packets;
    last[p.Channel] = p.Sequence;
    packets.push_back(std::move(p));
    at += length;
  }
  return packets;
}

// Throughput-mode PCM: 16-bit words, the first bit in the most significant bit.
inline std::vector<uint8_t> ThroughputBits(const ReadPacket& p) {
  std::vector<uint8_t> bits;
  for (size_t i = 4; i + 1 < p.Data.size(); i += 2) {
    const uint32_t word = Le(p.Data, i, 2);
    for (int b = 15; b >= 0; --b) bits.push_back(static_cast<uint8_t>(word >> b & 1));
  }
  return bits;
}
