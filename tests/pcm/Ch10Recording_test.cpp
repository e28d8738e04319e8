// Chapter 10 recordings: packet bytes worked by hand, and the virtual unit's recording
// after a load read back by the tests' own reader.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <memory>

#include "common/ScriptedOperator.h"
#include "common/VirtualUnitOnPty.h"
#include "pcm/Ch10Packets.h"
#include "pcm/Ch10Recording.h"
#include "pcm/Ch10TestReader.h"
#include "pcm/PcmTestSupport.h"
#include "pcm/TmatsReader.h"
#include "simulator/Qm48SimulatorUnit.h"
#include "support/TempDir.h"
#include "unit/UnitBitstream.h"

namespace {

TEST(Ch10Packets, HeaderAndChecksumsWorkedByHand) {
  Ch10PacketWriter writer;
  std::vector<uint8_t> out;
  writer.Append(out, 1, 0x09, 0x123456789ABC, {1, 2, 3, 4, 5, 6});
  // Words of the header: EB25 0001 0024 0000 0006 0000 0008 0903 9ABC 5678 1234, whose
  // 16-bit sum is F7C3; the body 01..06 and two filler bytes sum as 32-bit words to
  // 04030201 + 00000605 = 04030806.
  const std::vector<uint8_t> expected = {0x25, 0xEB, 0x01, 0x00, 0x24, 0x00, 0x00, 0x00, 0x06,
                                         0x00, 0x00, 0x00, 0x08, 0x00, 0x03, 0x09, 0xBC, 0x9A,
                                         0x78, 0x56, 0x34, 0x12, 0xC3, 0xF7, 0x01, 0x02, 0x03,
                                         0x04, 0x05, 0x06, 0x00, 0x00, 0x06, 0x08, 0x03, 0x04};
  EXPECT_EQ(out, expected);
  writer.Append(out, 1, 0x09, 0, {});
  EXPECT_EQ(out[36 + 13], 1) << "the channel's second packet";
}

TEST(Ch10Packets, RecordingLayoutWorkedByHand) {
  Ch10RecordingInput in;
  in.Tmats = "G\\PN:X;\r\n";
  in.Bits.assign(100, 0);
  in.Bits[0] = in.Bits[95] = in.Bits[96] = 1;
  in.BitRate = 1000;             // 96 bits (six words) a packet: a tenth of a second
  in.StartSeconds = 1709214307;  // 2024-02-29 13:45:07 UTC
  in.StartMilliseconds = 890;
  std::string error;
  const std::vector<ReadPacket> p = ReadCh10File(BuildCh10Recording(in), error);
  ASSERT_TRUE(error.empty()) << error;
  ASSERT_EQ(p.size(), 4u);
  EXPECT_EQ(p[0].Type, 0x01);
  EXPECT_EQ(p[0].Channel, 0);
  for (size_t k : {0, 1, 2}) EXPECT_EQ(p[k].Time, 0u) << "all at the start, packet " << k;
  EXPECT_EQ(std::string(p[0].Data.begin() + 4, p[0].Data.end()), in.Tmats);
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
  sim->Setup.NumSubframes = 16;
  sim->Setup.SfIdStartBit = 3;
  sim->Setup.SimBitRate = 64000;
  sim->Setup.SimOutputCode = 4;  // BIO-M on the line; the recording holds the bits
  SendOptions fast;
  fast.pauseMs = 0;
  ASSERT_EQ(sim->Send232SimSetupData(link.Link(), {0, "ch10test"}, fast).result, SendResult::Done);
  ASSERT_TRUE(link.Unit().Ch10()->WaitForStreams(1, std::chrono::seconds(20)))
      << link.Unit().Ch10()->LastError();

  std::ifstream in(options.ch10Path, std::ios::binary);
  const std::vector<uint8_t> file((std::istreambuf_iterator<char>(in)), {});
  std::string error;
  const std::vector<ReadPacket> packets = ReadCh10File(file, error);
  ASSERT_TRUE(error.empty()) << error;
  ASSERT_GE(packets.size(), 3u);
  TmatsDocument doc;
  ASSERT_TRUE(
      ReadTmats(std::string(packets[0].Data.begin() + 4, packets[0].Data.end()), doc, error))
      << error;
  ASSERT_TRUE(doc.Recording);
  EXPECT_EQ(doc.ProgramName, "ch10test");
  EXPECT_EQ(doc.Links.front().Code, "BIO-M");
  EXPECT_EQ(doc.Links.front().BitRate, 64000);

  std::vector<uint8_t> bits;
  uint64_t previous = 0, packetBits = 0;
  for (const ReadPacket& p : packets) {
    if (p.Type != 0x09) continue;
    EXPECT_EQ(p.Channel, doc.PcmChannel);
    if (!bits.empty()) {
      EXPECT_EQ(p.Time - previous, packetBits * 10000000 / 64000);
    }
    previous = p.Time;
    const std::vector<uint8_t> more = ThroughputBits(p);
    packetBits = more.size();
    bits.insert(bits.end(), more.begin(), more.end());
  }
  // The bits the setup's model gives (130 frames of 4096 bits fill whole 16-bit words).
  const BitSequence expected = ModelOf(*sim).Bits(130);
  EXPECT_EQ(bits, std::vector<uint8_t>(expected.begin(), expected.end()));
}

}  // namespace
