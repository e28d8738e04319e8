#include "pcm/Ch10Recording.h"

#include <algorithm>
#include <cmath>

#include "pcm/Ch10Packets.h"

namespace {

constexpr uint32_t kTmatsCsdw = kCh10DataTypeVersion;  // ASCII, no setup change, version
// Time: source internal (bits 3-0 = 0), format real-time clock (bits 7-4 = 3), date as
// month and year (bit 9), leap year in bit 8.
constexpr uint32_t kTimeCsdw = 0x3u << 4 | 1u << 9;
constexpr uint32_t kLeapYearBit = 1u << 8;
// PCM: throughput mode (bit 20), 16-bit alignment, no intra-packet headers.
constexpr uint32_t kPcmCsdw = 1u << 20;
constexpr int64_t kMaxPacketBits = int64_t{1} << 19;

uint16_t Bcd(int value, int digits) {
  uint16_t out = 0;
  for (int d = 0; d < digits; ++d, value /= 10)
    out = static_cast<uint16_t>(out | (value % 10) << (4 * d));
  return out;
}

std::vector<uint8_t> TimeBody(std::time_t seconds, int ms) {
  std::tm t{};
  ::gmtime_r(&seconds, &t);
  const int year = t.tm_year + 1900;
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  std::vector<uint8_t> body;
  PutLe32(body, kTimeCsdw | (leap ? kLeapYearBit : 0));
  PutLe16(body, static_cast<uint16_t>(Bcd(t.tm_sec, 2) << 8 | Bcd(ms / 10, 2)));
  PutLe16(body, static_cast<uint16_t>(Bcd(t.tm_hour, 2) << 8 | Bcd(t.tm_min, 2)));
  PutLe16(body, static_cast<uint16_t>(Bcd(t.tm_mon + 1, 2) << 8 | Bcd(t.tm_mday, 2)));
  PutLe16(body, Bcd(year, 4));
  return body;
}

}  // namespace

std::vector<uint8_t> BuildCh10Recording(const Ch10RecordingInput& in) {
  std::vector<uint8_t> out;
  Ch10PacketWriter writer;
  std::vector<uint8_t> body;
  PutLe32(body, kTmatsCsdw);
  body.insert(body.end(), in.Tmats.begin(), in.Tmats.end());
  writer.Append(out, kCh10TmatsChannel, kCh10TypeTmats, 0, body);
  writer.Append(out, in.TimeChannel, kCh10TypeTime, 0,
                TimeBody(in.StartSeconds, in.StartMilliseconds));

  const double rate = in.BitRate > 0 ? in.BitRate : 1;
  // About a tenth of a second a packet, whole 16-bit words.
  const int64_t perPacket =
      std::clamp<int64_t>(static_cast<int64_t>(rate / 10) / 16 * 16, 16, kMaxPacketBits);
  const int64_t total = static_cast<int64_t>(in.Bits.size());
  int64_t nextSecond = 1;
  for (int64_t at = 0; at < total; at += perPacket) {
    const uint64_t time = static_cast<uint64_t>(std::llround(at * (kCh10TimeCounterHz / rate)));
    while (time >= static_cast<uint64_t>(nextSecond) * kCh10TimeCounterHz) {
      writer.Append(out, in.TimeChannel, kCh10TypeTime,
                    static_cast<uint64_t>(nextSecond) * kCh10TimeCounterHz,
                    TimeBody(in.StartSeconds + nextSecond, in.StartMilliseconds));
      ++nextSecond;
    }
    body.clear();
    PutLe32(body, kPcmCsdw);
    const int64_t end = std::min(total, at + perPacket);
    // Throughput mode: the bits in 16-bit words, the first bit in the most significant
    // bit; a last word the stream does not fill is padded with 0s.
    for (int64_t w = at; w < end; w += 16) {
      uint16_t word = 0;
      for (int64_t b = 0; b < 16; ++b)
        word = static_cast<uint16_t>(word << 1 | (w + b < end ? in.Bits[size_t(w + b)] & 1 : 0));
      PutLe16(body, word);
    }
    writer.Append(out, in.PcmChannel, kCh10TypePcm, time, body);
  }
  return out;
}
