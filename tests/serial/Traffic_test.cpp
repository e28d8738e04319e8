// What the debug terminal shows of the traffic, its trace files, and the reply line.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "serial/DebugTraffic.h"
#include "serial/ReplyLine.h"
#include "serial/SerialTestKit.h"
#include "serial/TraceFile.h"

namespace {

TEST(DebugTrafficTest, TextHexAndTimeFormsAndTheLinesBytesMake) {
  EXPECT_EQ(SpecialCharEntries().size(), 32u);
  EXPECT_EQ(HexCharEntries().size(), 256u);
  EXPECT_EQ(ControlCharName(2) + ControlCharName(0x20), "STX");
  EXPECT_EQ(TrafficText(std::string("\002AB\r\0\x7f\xff~ ", 9)), "<STX>AB<CR><NUL><0x7F><0xFF>~ ");
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
  // Lines end at each CR, a line feed opens the next, a line's time is its first byte's.
  TrafficLineAssembler lines;
  const LocalDateTime first{2026, 1, 1, 0, 0, 1, 0}, later{2026, 1, 1, 0, 0, 2, 0};
  std::vector<TrafficLine> done;
  for (char c : std::string("\002AB\rOK\r\n12")) {
    const auto byte = static_cast<uint8_t>(c);
    for (TrafficLine& l : lines.Received(&byte, 1, done.empty() ? first : later)) done.push_back(l);
  }
  ASSERT_EQ(done.size(), 2u);
  EXPECT_EQ(done[0].bytes, "\002AB\r");
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

// Readable at every moment; a saved copy replaces the old file whole.
TEST(TraceFileTest, AppendsAndSaves) {
  TempDir dir;
  const std::string path = dir.File("run.Qm48ComDbg");
  TraceFile trace;
  ASSERT_TRUE(trace.Open(path));
  EXPECT_TRUE(trace.WriteLine("TX 0Q"));
  EXPECT_EQ(ReadAll(path), "TX 0Q\r\n");
  ASSERT_TRUE(trace.Open(path));  // opened again: added to
  EXPECT_TRUE(trace.WriteLine("TX S"));
  trace.Close();
  EXPECT_FALSE(trace.WriteLine("lost"));
  EXPECT_EQ(ReadAll(path), "TX 0Q\r\nTX S\r\n");
  ASSERT_TRUE(SaveTraceLines(path, {"four", "five"}));
  EXPECT_EQ(ReadAll(path), "four\r\nfive\r\n");
  struct stat info {};
  ASSERT_EQ(::stat(path.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0644u);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);
  std::string error, saveError;
  EXPECT_FALSE(trace.Open(dir.File("no/such/dir/x"), &error));
  EXPECT_FALSE(SaveTraceLines(dir.File("no/such/dir/x"), {"a"}, &saveError));
  EXPECT_EQ(error, dir.File("no/such/dir/x") + ": No such file or directory");
  EXPECT_EQ(saveError, error);
}

// Fed as the link feeds it: '|' is a carriage return, '#' a sender emptying the line.
TEST(ReplyLineBuffer, TakesCountsAndCutsLines) {
  SerialTestFolder folder;
  ReplyLineBuffer line;
  std::string many, left;
  for (int i = 0; i < 300; ++i) many += "0 |";
  for (int i = 0; i < 45; ++i) left += "0 ";
  const std::string a511(511, 'a'), a600 = std::string(600, 'a') + "|";
  const std::tuple<std::string, std::string, std::string, uint32_t, int> steps[] = {
      {"", "", "", 0, 0},
      {"0001 ||", "0001 ", "0001 ", 1, 0},  // a reply and the bare CR of a doubled one
      {"STATION 2 |0002 |TAI", "STATION 2 0002 TAI", "STATION 2 0002 ", 2, 0},  // run together
      {"|", "TAI", "TAI", 1, 0},  // the line begun stayed
      // The tail of a line cut by emptying (read alone a plausible value) is not one reply.
      {"STATION 2 ONLINE 0BA#D |", "D ", "D ", 2, 0},
      {"#14 |", "14 ", "14 ", 1, 0},  // emptied between lines, nothing is cut
      {many, left, left, 300, 0},     // finished lines nobody took make room for the next
      {a600, a511, a511, 1, 1},       // an over-long line keeps its first bytes, logged once
      {a600 + "bb|", "bb", "bb", 2, 2},
      // Emptied in the middle of an over-long line: its rest is still dropped up to the CR.
      {std::string(520, 'c') + "#ccc|xy|", "xy", "xy", 3, 3},
  };
  for (const auto& [script, text, taken, count, logged] : steps) {
    SCOPED_TRACE(script.substr(0, 30));
    for (const char c : script) {
      const auto byte = static_cast<uint8_t>(c);
      c == '|' ? line.EndLine() : c == '#' ? line.Clear() : line.Append(&byte, 1);
    }
    EXPECT_EQ(line.Text(), text);
    uint32_t lines = 99;
    EXPECT_EQ(line.Take(&lines), taken);
    EXPECT_EQ(lines, count);
    EXPECT_EQ(folder.LogCount("REPLY LINE FULL: bytes past 511"), logged);
  }
}

}  // namespace
