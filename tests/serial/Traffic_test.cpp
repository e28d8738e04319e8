// What the debug terminal shows of the traffic, its trace files, and the reply line's count
// of the lines that ran into it (another device on the line).
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "serial/DebugTraffic.h"
#include "serial/ReplyLine.h"
#include "serial/TraceFile.h"
#include "support/TempDir.h"

namespace {

TEST(DebugTrafficTest, ListsTextHexAndTimeForms) {
  EXPECT_EQ(SpecialCharEntries().size(), 32u);
  EXPECT_EQ(HexCharEntries().size(), 256u);
  EXPECT_EQ(ControlCharName(2) + ControlCharName(0x20), "STX");
  EXPECT_EQ(TrafficText(std::string("\x02"
                                    "AB\r\0\x7f\xff~ ",
                                    9)),
            "<STX>AB<CR><NUL><0x7F><0xFF>~ ");
  EXPECT_EQ(HexViewText(std::string("0Q\r\0\xff", 5)), "30 51 0D 00 FF");
  const LocalDateTime t{2026, 1, 1, 7, 5, 9, 42};
  EXPECT_EQ(TimeStampText(t), "07:05:09.042");
  TrafficLine line{TrafficDirection::Received, t, "1.2\r"};
  EXPECT_EQ(FormatTrafficLine(line, false, false), "RX 1.2<CR>");
  EXPECT_EQ(FormatTrafficLine(line, true, true), "07:05:09.042 RX 1.2<CR>   [31 2E 32 0D]");
  line = {TrafficDirection::Sent, t, "0Q"};
  EXPECT_EQ(FormatTrafficLine(line, false, true), "TX 0Q   [30 51]");
  // Every byte added from a list comes out of the send line as that very byte.
  for (int code = 0; code < 256; ++code) {
    const auto byte = static_cast<char>(code);
    ASSERT_EQ(EncodeSendLine("a" + SendToken(static_cast<uint8_t>(code)) + "b"),
              std::string("a") + byte + "b");
  }
  EXPECT_EQ(EncodeSendLine("0Q<cr> <a> <XYZ> <0x1> <<CR>> <CR"), "0Q\r <a> <XYZ> <0x1> <\r> <CR");
}

// Lines end at each carriage return; a line feed opens the next; a line's time is its
// first byte's.
TEST(DebugTrafficTest, ReceivedBytesMakeLines) {
  TrafficLineAssembler lines;
  const LocalDateTime first{2026, 1, 1, 0, 0, 1, 0}, later{2026, 1, 1, 0, 0, 2, 0};
  std::vector<TrafficLine> done;
  for (char c : std::string("\x02"
                            "AB\rOK\r\n12")) {
    const auto byte = static_cast<uint8_t>(c);
    for (TrafficLine& l : lines.Received(&byte, 1, done.empty() ? first : later)) done.push_back(l);
  }
  ASSERT_EQ(done.size(), 2u);
  EXPECT_EQ(done[0].bytes,
            "\x02"
            "AB\r");
  EXPECT_EQ(done[0].time.second, 1);
  EXPECT_EQ(done[1].bytes, "OK\r");
  EXPECT_EQ(lines.Sent(reinterpret_cast<const uint8_t*>("0Q"), 2, later).bytes, "0Q");
  done = lines.Received(reinterpret_cast<const uint8_t*>("3\r\rX"), 4, later);
  ASSERT_EQ(done.size(), 2u);
  EXPECT_EQ(done[0].bytes, "\n123\r");
  EXPECT_EQ(done[1].bytes, "\r");
  EXPECT_EQ(lines.OpenLine().bytes, "X");
  lines.Clear();
  EXPECT_TRUE(lines.OpenLine().bytes.empty());
  EXPECT_TRUE(lines.Received(nullptr, 3, later).empty());
}

// Appended line by line and readable at every moment; a saved copy replaces the old file
// whole; unwritable places are refused with a reason.
TEST(TraceFileTest, AppendsAndSaves) {
  TempDir dir;
  const std::string path = dir.File("run.Qm48ComDbg");
  {
    TraceFile trace;
    ASSERT_TRUE(trace.Open(path));
    EXPECT_TRUE(trace.WriteLine("TX 0Q"));
    EXPECT_EQ(ReadAll(path), "TX 0Q\r\n");
  }
  TraceFile again;
  ASSERT_TRUE(again.Open(path));
  EXPECT_TRUE(again.WriteLine("TX S"));
  again.Close();
  EXPECT_FALSE(again.WriteLine("lost"));
  EXPECT_EQ(ReadAll(path), "TX 0Q\r\nTX S\r\n");
  ASSERT_TRUE(SaveTraceLines(path, {"four", "five"}));
  EXPECT_EQ(ReadAll(path), "four\r\nfive\r\n");
  struct stat info {};
  ASSERT_EQ(::stat(path.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0644u);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);
  std::string error;
  EXPECT_FALSE(again.Open(dir.File("no/such/dir/x"), &error));
  EXPECT_FALSE(error.empty());
  error.clear();
  EXPECT_FALSE(SaveTraceLines(dir.File("no/such/dir/x"), {"a"}, &error));
  EXPECT_FALSE(error.empty());
}

TEST(ReplyLineCount, CountsEndedLinesWithBytesUntilTakenOrCleared) {
  ReplyLineBuffer line;
  auto add = [&](const std::string& bytes) {
    line.Append(reinterpret_cast<const uint8_t*>(bytes.data()),
                static_cast<uint32_t>(bytes.size()));
  };
  uint32_t lines = 99;
  EXPECT_EQ(line.Take(&lines), "");
  EXPECT_EQ(lines, 0u);
  add("0001 ");  // a reply and the bare carriage return of a doubled one: one line
  line.EndLine();
  line.EndLine();
  EXPECT_EQ(line.Take(&lines), "0001 ");
  EXPECT_EQ(lines, 1u);
  add("STATION 2 ");  // two lines run together, and a third begun, which stays
  line.EndLine();
  add("0002 ");
  line.EndLine();
  add("TAI");
  EXPECT_EQ(line.Take(&lines), "STATION 2 0002 ");
  EXPECT_EQ(lines, 2u);
  EXPECT_EQ(line.Text(), "TAI");
  line.EndLine();
  EXPECT_EQ(line.Take(&lines), "TAI");
  EXPECT_EQ(lines, 1u);
  // The tail of a line cut by emptying (read alone a plausible value) is not one reply.
  add("STATION 2 ONLINE 0BA");
  line.Clear();
  add("D ");
  line.EndLine();
  EXPECT_EQ(line.Take(&lines), "D ");
  EXPECT_EQ(lines, 2u);
  line.Clear();  // emptied between lines, nothing is cut
  add("14 ");
  line.EndLine();
  EXPECT_EQ(line.Take(&lines), "14 ");
  EXPECT_EQ(lines, 1u);
  add(std::string(ReplyLineBuffer::kCapacity + 40, 'x'));  // over-long: still one line
  line.EndLine();
  line.Clear();
  EXPECT_EQ(line.Take(&lines), "");
  EXPECT_EQ(lines, 0u);
}

}  // namespace
