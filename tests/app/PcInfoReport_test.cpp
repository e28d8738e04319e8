// The PC information report: parsers fed with system-file texts, the report's sections,
// and one gathering from the machine the tests run on.
#include "app/PcInfoReport.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

const char kX86CpuInfo[] =
    "processor\t: 0\n"
    "vendor_id\t: GenuineIntel\n"
    "model name\t: Example(R) Core(TM) i5-1234 CPU @ 2.00GHz\n"
    "flags\t\t: fpu vme de\n"
    "\n"
    "processor\t: 1\n"
    "model name\t: Example(R) Core(TM) i5-1234 CPU @ 2.00GHz\n"
    "\n"
    "processor\t: 2\n"
    "model name\t: Example(R) Core(TM) i5-1234 CPU @ 2.00GHz\n";

bool Contains(const std::vector<std::string>& lines, const std::string& text) {
  return std::any_of(lines.begin(), lines.end(),
                     [&](const std::string& line) { return line.find(text) != std::string::npos; });
}

TEST(PcInfoParsers, CpuInfoCountsProcessorsAndTakesTheFirstModel) {
  CpuInfo cpu = ParseCpuInfo(kX86CpuInfo);
  EXPECT_EQ(cpu.count, 3);
  EXPECT_EQ(cpu.model, "Example(R) Core(TM) i5-1234 CPU @ 2.00GHz");

  // A processor that names itself under another key, and a "Processor" line that is a
  // model, not an entry to count.
  CpuInfo arm = ParseCpuInfo(
      "Processor\t: ARMv7 Processor rev 4 (v7l)\nprocessor\t: 0\nBogoMIPS\t: 38.40\n"
      "processor\t: 1\nHardware\t: Board 2835\n");
  EXPECT_EQ(arm.count, 2);
  EXPECT_EQ(arm.model, "ARMv7 Processor rev 4 (v7l)");

  CpuInfo none = ParseCpuInfo("garbage without separators\n\n");
  EXPECT_EQ(none.count, 0);
  EXPECT_EQ(none.model, "");
}

TEST(PcInfoParsers, MemInfoReadsTotalAndAvailable) {
  MemoryInfo mem = ParseMemInfo(
      "MemTotal:       16314228 kB\nMemFree:         1234567 kB\n"
      "MemAvailable:   10485760 kB\nBuffers:          204800 kB\n");
  ASSERT_TRUE(mem.hasTotal);
  ASSERT_TRUE(mem.hasAvailable);
  EXPECT_EQ(mem.totalKb, 16314228u);
  EXPECT_EQ(mem.availableKb, 10485760u);

  // An old kernel without MemAvailable, and values that are no numbers.
  MemoryInfo old = ParseMemInfo("MemTotal: 2048 kB\nMemFree: 1024 kB\n");
  EXPECT_TRUE(old.hasTotal);
  EXPECT_FALSE(old.hasAvailable);
  MemoryInfo bad = ParseMemInfo("MemTotal: lots kB\nMemAvailable: 99999999999999999999999 kB\n");
  EXPECT_FALSE(bad.hasTotal);
  EXPECT_FALSE(bad.hasAvailable);
}

TEST(PcInfoParsers, OsReleaseNameIsUnquoted) {
  EXPECT_EQ(ParseOsReleaseName("NAME=\"Debian GNU/Linux\"\nPRETTY_NAME=\"Debian GNU/Linux 12 "
                               "(bookworm)\"\nVERSION_ID=\"12\"\n"),
            "Debian GNU/Linux 12 (bookworm)");
  EXPECT_EQ(ParseOsReleaseName("PRETTY_NAME='Single Quoted'\n"), "Single Quoted");
  EXPECT_EQ(ParseOsReleaseName("PRETTY_NAME=Bare\n"), "Bare");
  EXPECT_EQ(ParseOsReleaseName("PRETTY_NAME=\"Say \\\"hi\\\" \\\\ there\"\n"),
            "Say \"hi\" \\ there");
  EXPECT_EQ(ParseOsReleaseName("# PRETTY_NAME=\"commented\"\nNAME=x\n"), "");
}

TEST(PcInfoParsers, ByteSizeTextPicksTheUnit) {
  EXPECT_EQ(ByteSizeText(900), "900 bytes");
  EXPECT_EQ(ByteSizeText(1536), "1.5 KiB");
  EXPECT_EQ(ByteSizeText(512ull << 20), "512.0 MiB");
  EXPECT_EQ(ByteSizeText(16314228ull * 1024), "15.6 GiB");
}

TEST(PcInfoReport, LinesHoldEverySectionWithTheParsedNumbers) {
  PcInfo info;
  info.disks.push_back({"/home/op", true, 100ull << 30, 25ull << 30});
  info.disks.push_back({"/gone", false, 0, 0});
  info.cpu = ParseCpuInfo(kX86CpuInfo);
  info.os = {"Debian GNU/Linux 12 (bookworm)", "Linux", "6.1.0-18-amd64", "#1 SMP", "x86_64"};
  info.memory = ParseMemInfo("MemTotal: 2097152 kB\nMemAvailable: 1048576 kB\n");

  std::vector<std::string> lines = PcInfoLines(info);
  for (const char* section : {"DISKS", "PROCESSOR", "OPERATING SYSTEM", "MEMORY"})
    EXPECT_TRUE(std::find(lines.begin(), lines.end(), section) != lines.end()) << section;
  EXPECT_TRUE(Contains(lines, "/home/op: size 100.0 GiB, free 25.0 GiB"));
  EXPECT_TRUE(Contains(lines, "/gone: size and free space unknown"));
  EXPECT_TRUE(Contains(lines, "Example(R) Core(TM) i5-1234 CPU @ 2.00GHz, 3 processors"));
  EXPECT_TRUE(Contains(lines, "Debian GNU/Linux 12 (bookworm)"));
  EXPECT_TRUE(Contains(lines, "Linux 6.1.0-18-amd64 #1 SMP x86_64"));
  EXPECT_TRUE(Contains(lines, "total 2.0 GiB, available 1.0 GiB"));

  // Nothing known still gives every section, saying what is unknown.
  std::vector<std::string> empty = PcInfoLines(PcInfo{});
  EXPECT_TRUE(Contains(empty, "model unknown, 0 processors"));
  EXPECT_TRUE(Contains(empty, "kernel unknown"));
  EXPECT_TRUE(Contains(empty, "total unknown, available unknown"));
}

TEST(PcInfoReport, GathersThisMachine) {
  PcInfo info = GatherPcInfo("/proc");  // another file system than "/", so two disks
  ASSERT_EQ(info.disks.size(), 2u);
  EXPECT_EQ(info.disks[0].path, "/proc");
  EXPECT_EQ(info.disks[1].path, "/");
  EXPECT_TRUE(info.disks[1].known);
  EXPECT_GT(info.disks[1].sizeBytes, 0u);
  EXPECT_LE(info.disks[1].freeBytes, info.disks[1].sizeBytes);
  EXPECT_GE(info.cpu.count, 1);
  EXPECT_EQ(info.os.sysname, "Linux");
  EXPECT_TRUE(info.memory.hasTotal);
  EXPECT_GT(info.memory.totalKb, 0u);

  // The root given as the start directory is reported once.
  EXPECT_EQ(GatherPcInfo("/").disks.size(), 1u);
}

}  // namespace
