// Chapter 10 recordings read back by the tests' own reader: a recording's packets worked by
// hand, and the virtual unit's recording after a load.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <map>
#include <memory>

#include "common/ScriptedOperator.h"
#include "common/VirtualUnitOnPty.h"
#include "pcm/Ch10Recording.h"
#include "pcm/PcmTestSupport.h"
#include "pcm/TmatsReader.h"
#include "simulator/Qm48SimulatorUnit.h"
#include "simulator/SimKit.h"
#include "support/TempDir.h"
#include "unit/UnitBitstream.h"

namespace {

struct ReadPacket {
  uint16_t Channel = 0;
  uint8_t Sequence = 0, Type = 0;
  uint64_t Time = 0;
  std::vector<uint8_t> Data;  // channel-specific data word and data, no filler
  std::string Text() const { return {Data.begin() + 4, Data.end()}; }
};

uint32_t Le(const std::vector<uint8_t>& b, size_t at, int bytes) {
  uint32_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = v << 8 | b[at + size_t(i)];
  return v;
}

// A reader written from the standard apart from the writer: it checks every header and data
// checksum, the filler and each channel's sequence.
void ReadCh10File(const std::vector<uint8_t>& file, std::vector<ReadPacket>& packets) {
  std::map<uint16_t, uint8_t> next;
  for (size_t at = 0; at < file.size();) {
    SCOPED_TRACE("packet at byte " + std::to_string(at));
    ASSERT_GE(file.size() - at, 24u);
    ASSERT_EQ(Le(file, at, 2), 0xEB25u) << "sync";
    uint32_t sum = 0;
    for (size_t i = 0; i < 22; i += 2) sum += Le(file, at + i, 2);
    ASSERT_EQ(sum & 0xFFFF, Le(file, at + 22, 2)) << "header checksum";
    ReadPacket p{uint16_t(Le(file, at + 2, 2)),
                 file[at + 13],
                 file[at + 15],
                 Le(file, at + 16, 4) | uint64_t{Le(file, at + 20, 2)} << 32,
                 {}};
    const uint32_t length = Le(file, at + 4, 4), data = Le(file, at + 8, 4);
    ASSERT_TRUE(length % 4 == 0 && length >= 24 + data + 4 && length <= 24 + data + 3 + 4 &&
                at + length <= file.size() && (file[at + 14] & 3) == 3)
        << "length " << length << " data " << data;
    p.Data.assign(file.begin() + long(at + 24), file.begin() + long(at + 24 + data));
    for (size_t f = at + 24 + data; f < at + length - 4; ++f) ASSERT_EQ(file[f], 0) << "filler";
    uint32_t check = 0;
    for (size_t i = at + 24; i < at + length - 4; i += 4) check += Le(file, i, 4);
    ASSERT_EQ(check, Le(file, at + length - 4, 4)) << "data checksum";
    ASSERT_EQ(p.Sequence, next.try_emplace(p.Channel, p.Sequence).first->second) << "sequence";
    next[p.Channel] = uint8_t(p.Sequence + 1);
    packets.push_back(std::move(p));
    at += length;
  }
}

TEST(Ch10Packets, RecordingLayoutWorkedByHand) {
  Ch10RecordingInput in;
  in.Tmats = "G\\PN:X;\r\n";
  in.Bits.assign(100, 0);
  in.Bits[0] = in.Bits[95] = in.Bits[96] = 1;
  in.BitRate = 1000;             // 96 bits (six words) a packet: a tenth of a second
  in.StartSeconds = 1709214307;  // 2024-02-29 13:45:07 UTC
  in.StartMilliseconds = 890;
  std::vector<ReadPacket> p;
  ASSERT_NO_FATAL_FAILURE(ReadCh10File(BuildCh10Recording(in), p));
  ASSERT_EQ(p.size(), 4u);
  EXPECT_EQ(p[0].Type, 0x01);
  EXPECT_EQ(p[0].Channel, 0);
  for (size_t k : {0, 1, 2}) EXPECT_EQ(p[k].Time, 0u) << "all at the start, packet " << k;
  EXPECT_EQ(p[0].Text(), in.Tmats);
  // Time: internal source, real-time clock, month and year, leap year: CSDW 0x330, then
  // BCD 07 s 89 (tens of ms), 13 h 45 min, month 02 day 29, year 2024.
  EXPECT_EQ(p[1].Type, 0x11);
  EXPECT_EQ(p[1].Data, (std::vector<uint8_t>{0x30, 0x03, 0, 0, 0x89, 0x07, 0x45, 0x13, 0x29, 0x02,
                                             0x24, 0x20}));
  EXPECT_EQ(p[2].Type, 0x09);
  EXPECT_EQ(Le(p[2].Data, 0, 4), 1u << 20) << "throughput mode";
  EXPECT_EQ(p[2].Data.size(), 4u + 12);
  EXPECT_EQ(Le(p[2].Data, 4, 2), 0x8000u);
  EXPECT_EQ(Le(p[2].Data, 14, 2), 0x0001u);
  EXPECT_EQ(p[3].Time, 960000u) << "96 bits at 1000 bps, at 10 MHz";
  EXPECT_EQ(p[3].Data.size(), 4u + 2);
  EXPECT_EQ(Le(p[3].Data, 4, 2), 0x8000u) << "4 bits, padded";
}

// The virtual unit's recording after a load: its TMATS names the setup's PCM, and its PCM
// packets, a packet's time apart, hold the bits of the setup's encoder model.
TEST(Ch10Recorder, TheUnitsRecordingHoldsTheSetupsTmatsAndBits) {
  ScriptedOperator op;
  ScopedOperator scope{op};
  TempDir dir;
  VirtualUnitOptions options;
  options.ch10Path = dir.File("unit.ch10");
  options.bitstreamFrames = 130;
  VirtualUnitOnPty link(options);
  ASSERT_TRUE(link.Ready());
  // Another program opening and closing the device does not end the unit's hold on it.
  ::close(::open(link.Unit().DevicePath().c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC));
  auto sim = std::make_unique<progsimulatorclass>();
  // BIO-M (code 4) on the line; the recording holds the bits.
  Apply(sim->Setup, "NumSubframes=16 SfIdStartBit=3 SimBitRate=64000 SimOutputCode=4");
  SendOptions fast;
  fast.pauseMs = 0;
  ASSERT_EQ(sim->Send232SimSetupData(link.Link(), {0, "ch10test"}, fast).result, SendResult::Done);
  ASSERT_TRUE(link.Unit().Ch10()->WaitForStreams(1, std::chrono::seconds(20)))
      << link.Unit().Ch10()->LastError();

  const std::string file = ReadAll(options.ch10Path);
  std::vector<ReadPacket> packets;
  ASSERT_NO_FATAL_FAILURE(ReadCh10File({file.begin(), file.end()}, packets));
  ASSERT_GE(packets.size(), 3u);
  TmatsDocument doc;
  std::string error;
  ASSERT_TRUE(ReadTmats(packets[0].Text(), doc, error)) << error;
  ASSERT_TRUE(doc.Recording);
  EXPECT_EQ(doc.ProgramName, "ch10test");
  EXPECT_EQ(doc.Links.front().Code, "BIO-M");
  EXPECT_EQ(doc.Links.front().BitRate, 64000);
  // Throughput mode: 16-bit words, the first bit in the most significant bit.
  std::vector<uint8_t> bits;
  uint64_t start = 0;
  for (const ReadPacket& p : packets) {
    if (p.Type != 0x09) continue;
    EXPECT_EQ(p.Channel, doc.PcmChannel);
    if (bits.empty()) start = p.Time;
    EXPECT_EQ(p.Time - start, bits.size() * 10000000 / 64000) << "the bits before it at 10 MHz";
    for (size_t i = 4; i + 1 < p.Data.size(); i += 2)
      for (int b = 15; b >= 0; --b) bits.push_back(uint8_t(Le(p.Data, i, 2) >> b & 1));
  }
  // The bits the setup's model gives (130 frames of 4096 bits fill whole 16-bit words).
  const BitSequence expected = ModelOf(*sim).Bits(130);
  EXPECT_EQ(bits, std::vector<uint8_t>(expected.begin(), expected.end()));
}

}  // namespace
