#include "pcm/Ch10Packets.h"

void PutLe16(std::vector<uint8_t>& out, uint16_t value) {
  out.push_back(static_cast<uint8_t>(value));
  out.push_back(static_cast<uint8_t>(value >> 8));
}

void PutLe32(std::vector<uint8_t>& out, uint32_t value) {
  PutLe16(out, static_cast<uint16_t>(value));
  PutLe16(out, static_cast<uint16_t>(value >> 16));
}

uint16_t Ch10HeaderChecksum(const uint8_t* header) {
  uint16_t sum = 0;
  for (int i = 0; i < 22; i += 2)
    sum = static_cast<uint16_t>(sum + (header[i] | header[i + 1] << 8));
  return sum;
}

void Ch10PacketWriter::Append(std::vector<uint8_t>& out, uint16_t channel, uint8_t dataType,
                              uint64_t time, const std::vector<uint8_t>& body) {
  const size_t filler = (4 - body.size() % 4) % 4;
  const size_t start = out.size();
  PutLe16(out, kCh10Sync);
  PutLe16(out, channel);
  PutLe32(out, static_cast<uint32_t>(kCh10HeaderBytes + body.size() + filler + 4));
  PutLe32(out, static_cast<uint32_t>(body.size()));
  out.push_back(kCh10DataTypeVersion);
  out.push_back(sequence_[channel]++);
  out.push_back(kCh10Checksum32);
  out.push_back(dataType);
  PutLe32(out, static_cast<uint32_t>(time));
  PutLe16(out, static_cast<uint16_t>(time >> 32));
  PutLe16(out, Ch10HeaderChecksum(out.data() + start));
  out.insert(out.end(), body.begin(), body.end());
  out.insert(out.end(), filler, 0);
  uint32_t sum = 0;
  for (size_t i = start + kCh10HeaderBytes; i < out.size(); i += 4)
    sum += out[i] | out[i + 1] << 8 | out[i + 2] << 16 | static_cast<uint32_t>(out[i + 3]) << 24;
  PutLe32(out, sum);
}
