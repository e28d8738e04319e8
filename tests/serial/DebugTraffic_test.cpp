// The debug terminal's traffic logic: the list entries, how bytes are shown, the send-line
// tokens, and the assembly of byte-by-byte notifications into lines.
#include "serial/DebugTraffic.h"

#include <gtest/gtest.h>

namespace {

std::vector<TrafficLine> Feed(TrafficLineAssembler& lines, const std::string& bytes) {
  std::vector<TrafficLine> done;
  for (char c : bytes) {  // one byte per notification, as the application port reads
    const auto byte = static_cast<uint8_t>(c);
    for (TrafficLine& line : lines.Received(&byte, 1, LocalNow())) done.push_back(line);
  }
  return done;
}

TEST(DebugTrafficTest, ListEntries) {
  const auto& special = SpecialCharEntries();
  ASSERT_EQ(special.size(), 32u);
  EXPECT_EQ(special[0], "0x00   NUL  Null");
  EXPECT_EQ(special[8], "0x08   BS   Backspace");
  EXPECT_EQ(special[13], "0x0D   CR   Carriage return");
  EXPECT_EQ(special[23], "0x17   ETB  End transmission block");
  EXPECT_EQ(special[31], "0x1F   US   Unit separator");
  const auto hex = HexCharEntries();
  ASSERT_EQ(hex.size(), 256u);
  EXPECT_EQ(hex[0], "0x00");
  EXPECT_EQ(hex[13], "0x0D");
  EXPECT_EQ(hex[255], "0xFF");
  EXPECT_EQ(ControlCharName(2), "STX");
  EXPECT_EQ(ControlCharName(0x20), "");
}

TEST(DebugTrafficTest, TextHexAndTimeForms) {
  EXPECT_EQ(TrafficText(std::string("\x02"
                                    "AB\r",
                                    4)),
            "<STX>AB<CR>");
  EXPECT_EQ(TrafficText(std::string("\0\x7f\xff~ ", 5)), "<NUL><0x7F><0xFF>~ ");
  EXPECT_EQ(HexViewText(std::string("0Q\r\0\xff", 5)), "30 51 0D 00 FF");
  EXPECT_EQ(HexViewText(""), "");
  LocalDateTime t;
  t.hour = 7;
  t.minute = 5;
  t.second = 9;
  t.millisecond = 42;
  EXPECT_EQ(TimeStampText(t), "07:05:09.042");

  TrafficLine line{TrafficDirection::Received, t, "1.2\r"};
  EXPECT_EQ(FormatTrafficLine(line, false, false), "RX 1.2<CR>");
  EXPECT_EQ(FormatTrafficLine(line, true, true), "07:05:09.042 RX 1.2<CR>   [31 2E 32 0D]");
  line.direction = TrafficDirection::Sent;
  line.bytes = "0Q";
  EXPECT_EQ(FormatTrafficLine(line, false, true), "TX 0Q   [30 51]");
}

// Every byte added from a list comes out of the send line as that very byte.
TEST(DebugTrafficTest, SendTokensRoundTrip) {
  for (int code = 0; code < 256; ++code) {
    const auto byte = static_cast<uint8_t>(code);
    ASSERT_EQ(EncodeSendLine("a" + SendToken(byte) + "b"),
              std::string("a") + static_cast<char>(byte) + "b")
        << code;
  }
  EXPECT_EQ(SendToken(13), "<CR>");
  EXPECT_EQ(SendToken('A'), "A");
  EXPECT_EQ(EncodeSendLine("0Q<cr>"), "0Q\r");
  // What is no token is sent as typed.
  EXPECT_EQ(EncodeSendLine("<a> <XYZ> <0x1> <CR"), "<a> <XYZ> <0x1> <CR");
  EXPECT_EQ(EncodeSendLine("<<CR>>"), "<\r>");
  EXPECT_EQ(EncodeSendLine(TrafficText(std::string("\x01\x7f"
                                                   "x\r",
                                                   4))),
            std::string("\x01\x7f"
                        "x\r",
                        4));
}

TEST(DebugTrafficTest, ReceivedBytesMakeLinesAtEachCarriageReturn) {
  TrafficLineAssembler lines;
  auto done = Feed(lines, std::string("\x02"
                                      "AB\r",
                                      4));
  ASSERT_EQ(done.size(), 1u);
  EXPECT_EQ(done[0].direction, TrafficDirection::Received);
  EXPECT_EQ(TrafficText(done[0].bytes), "<STX>AB<CR>");
  EXPECT_TRUE(lines.OpenLine().bytes.empty());

  // A reply ending in CR LF: the line feed opens the next line.
  done = Feed(lines, "OK\r\n12");
  ASSERT_EQ(done.size(), 1u);
  EXPECT_EQ(done[0].bytes, "OK\r");
  EXPECT_EQ(lines.OpenLine().bytes, "\n12");

  // Several lines in one chunk, and a write in between leaves the open line alone.
  const TrafficLine sent = lines.Sent(reinterpret_cast<const uint8_t*>("0Q"), 2, LocalNow());
  EXPECT_EQ(sent.direction, TrafficDirection::Sent);
  EXPECT_EQ(sent.bytes, "0Q");
  const std::string chunk = "3\r\rX";
  done = lines.Received(reinterpret_cast<const uint8_t*>(chunk.data()), 4, LocalNow());
  ASSERT_EQ(done.size(), 2u);
  EXPECT_EQ(done[0].bytes, "\n123\r");
  EXPECT_EQ(done[1].bytes, "\r");
  EXPECT_EQ(lines.OpenLine().bytes, "X");
  lines.Clear();
  EXPECT_TRUE(lines.OpenLine().bytes.empty());
  EXPECT_TRUE(lines.Received(nullptr, 3, LocalNow()).empty());
}

// The time stamp of a line is that of its first byte.
TEST(DebugTrafficTest, LineTimeIsItsFirstByte) {
  TrafficLineAssembler lines;
  LocalDateTime first;
  first.second = 1;
  LocalDateTime later;
  later.second = 2;
  const uint8_t a = 'A', cr = '\r';
  EXPECT_TRUE(lines.Received(&a, 1, first).empty());
  auto done = lines.Received(&cr, 1, later);
  ASSERT_EQ(done.size(), 1u);
  EXPECT_EQ(done[0].time.second, 1);
}

}  // namespace
