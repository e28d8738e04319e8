// What the program tells in words: the caption that is its status line, the report of a
// load that did not complete, the PC information report, and the crash handler's log lines.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>

#include "app/LoadReportText.h"
#include "app/PcInfoReport.h"
#include "app/StatusCaption.h"
#include "app/TerminationHandler.h"
#include "support/ErrorLog.h"
#include "support/TempDir.h"

namespace {

bool Contains(const std::vector<std::string>& lines, const std::string& text) {
  return std::ranges::any_of(
      lines, [&](const std::string& l) { return l.find(text) != std::string::npos; });
}

TEST(StatusCaption, StarTitleAndConnection) {
  const std::string file = "/home/op/setups/Flight.Test.qm48";
  EXPECT_EQ(StatusCaption(false, "", true), "QM-48  Ver 1.41    Connected");
  EXPECT_EQ(StatusCaption(true, file, true), "*QM-48  Ver 1.41  FLIGHT  Connected");
  EXPECT_EQ(StatusCaption(false, file, false), "QM-48  Ver 1.41  FLIGHT  Disconnected");
  const std::pair<const char*, const char*> titles[] = {{"", ""},
                                                        {"ONE.QM48", "ONE"},
                                                        {"/a.b/c/two", "two"},
                                                        {"/dir/.hidden", ""},
                                                        {"/dir/", ""},
                                                        {"C:\\SETUPS\\OLD.QM48", "OLD"}};
  for (const auto& [path, title] : titles) EXPECT_EQ(FileTitle(path), title) << path;
}

TEST(LoadReportText, SaysWhichStageAndWhereItStopped) {
  LoadAllOutcome out;
  EXPECT_TRUE(LoadFailureReport(out).text.empty());
  out.stage = LoadStage::Query;
  EXPECT_TRUE(LoadFailureReport(out).text.empty());
  out.stage = LoadStage::Validation;
  out.validationMessage = "WORDS PER MINOR FRAME";
  LoadReport r = LoadFailureReport(out);
  EXPECT_EQ(std::tie(r.text, r.caption),
            std::make_tuple("INVALID SIM SETUP DATA.....WORDS PER MINOR FRAME",
                            "SIMULATOR SETUP INVALID"));

  // Stage, how its send ended, commands answered; caption, what the text says, and whether
  // it says that the answered commands are in effect.
  const std::tuple<LoadStage, SendResult, uint32_t, const char*, const char*, bool> cases[] = {
      {LoadStage::Simulator, SendResult::TimedOut, 11, "SIMULATOR LOAD INCOMPLETE",
       "command 12 (0800 0000 M)", true},
      {LoadStage::Transmitter, SendResult::NoPort, 0, "TRANSMITTER LOAD INCOMPLETE",
       "nothing was sent", false},
      {LoadStage::Transmitter, SendResult::Cancelled, 3, "TRANSMITTER LOAD INCOMPLETE",
       "cancelled after 3", true},
      // A query changes nothing in the unit: no word of answered commands in effect.
      {LoadStage::Query, SendResult::Disconnected, 2, "QUERY INCOMPLETE", "went away", false},
  };
  for (const auto& [stage, result, answered, caption, says, answeredSaid] : cases) {
    out = {stage, {result, answered + 1, 0, "0800 0000 M", answered}, ""};
    r = LoadFailureReport(out);
    EXPECT_EQ(r.caption, caption);
    EXPECT_NE(r.text.find(says), std::string::npos) << r.text;
    EXPECT_EQ(r.text.find("already answered") != std::string::npos, answeredSaid) << r.text;
  }
}

const char kX86CpuInfo[] =
    "processor\t: 0\nvendor_id\t: GenuineIntel\n"
    "model name\t: Example(R) Core(TM) i5-1234 CPU @ 2.00GHz\nflags\t\t: fpu vme de\n\n"
    "processor\t: 1\nmodel name\t: Example(R) Core(TM) i5-1234 CPU @ 2.00GHz\n\n"
    "processor\t: 2\nmodel name\t: Example(R) Core(TM) i5-1234 CPU @ 2.00GHz\n";

TEST(PcInfoReport, ParsersLinesAndThisMachine) {
  const CpuInfo cpu = ParseCpuInfo(kX86CpuInfo);
  EXPECT_EQ(std::tie(cpu.count, cpu.model),
            std::make_tuple(3, "Example(R) Core(TM) i5-1234 CPU @ 2.00GHz"));
  // A processor that names itself under another key, and a "Processor" line that is a
  // model, not an entry to count.
  const CpuInfo arm = ParseCpuInfo(
      "Processor\t: ARMv7 Processor rev 4 (v7l)\nprocessor\t: 0\nBogoMIPS\t: 38.40\n"
      "processor\t: 1\nHardware\t: Board 2835\n");
  EXPECT_EQ(std::tie(arm.count, arm.model), std::make_tuple(2, "ARMv7 Processor rev 4 (v7l)"));
  EXPECT_EQ(ParseCpuInfo("garbage without separators\n\n").count, 0);

  const MemoryInfo mem = ParseMemInfo(
      "MemTotal:       16314228 kB\nMemFree:         1234567 kB\n"
      "MemAvailable:   10485760 kB\nBuffers:          204800 kB\n");
  EXPECT_EQ(std::tie(mem.hasTotal, mem.hasAvailable, mem.totalKb, mem.availableKb),
            std::make_tuple(true, true, 16314228u, 10485760u));
  const MemoryInfo old = ParseMemInfo("MemTotal: 2048 kB\nMemFree: 1024 kB\n");
  EXPECT_TRUE(old.hasTotal && !old.hasAvailable);
  const MemoryInfo bad =
      ParseMemInfo("MemTotal: lots kB\nMemAvailable: 99999999999999999999999 kB\n");
  EXPECT_FALSE(bad.hasTotal || bad.hasAvailable);

  const std::pair<const char*, const char*> names[] = {
      {"NAME=\"Debian GNU/Linux\"\nPRETTY_NAME=\"Debian GNU/Linux 12 (bookworm)\"\n",
       "Debian GNU/Linux 12 (bookworm)"},
      {"PRETTY_NAME='Single Quoted'\n", "Single Quoted"},
      {"PRETTY_NAME=Bare\n", "Bare"},
      {"PRETTY_NAME=\"Say \\\"hi\\\" \\\\ there\"\n", "Say \"hi\" \\ there"},
      {"# PRETTY_NAME=\"commented\"\nNAME=x\n", ""}};
  for (const auto& [text, name] : names) EXPECT_EQ(ParseOsReleaseName(text), name) << text;
  const std::pair<uint64_t, const char*> sizes[] = {{900, "900 bytes"},
                                                    {1536, "1.5 KiB"},
                                                    {512ull << 20, "512.0 MiB"},
                                                    {16314228ull * 1024, "15.6 GiB"}};
  for (const auto& [bytes, text] : sizes) EXPECT_EQ(ByteSizeText(bytes), text);

  const PcInfo info{
      {{"/home/op", true, 100ull << 30, 25ull << 30}, {"/gone", false, 0, 0}},
      cpu,
      {"Debian GNU/Linux 12 (bookworm)", "Linux", "6.1.0-18-amd64", "#1 SMP", "x86_64"},
      ParseMemInfo("MemTotal: 2097152 kB\nMemAvailable: 1048576 kB\n")};
  for (const char* text :
       {"/home/op: size 100.0 GiB, free 25.0 GiB", "/gone: size and free space unknown",
        "Example(R) Core(TM) i5-1234 CPU @ 2.00GHz, 3 processors", "Debian GNU/Linux 12 (bookworm)",
        "Linux 6.1.0-18-amd64 #1 SMP x86_64", "total 2.0 GiB, available 1.0 GiB"})
    EXPECT_TRUE(Contains(PcInfoLines(info), text)) << text;
  for (const char* text :
       {"model unknown, 0 processors", "kernel unknown", "total unknown, available unknown"})
    EXPECT_TRUE(Contains(PcInfoLines(PcInfo{}), text)) << text;

  const PcInfo here = GatherPcInfo("/proc");  // another file system than "/", so two disks
  ASSERT_EQ(here.disks.size(), 2u);
  EXPECT_EQ(std::tie(here.disks[0].path, here.disks[1].path, here.disks[1].known),
            std::make_tuple("/proc", "/", true));
  EXPECT_GT(here.disks[1].sizeBytes, 0u);
  EXPECT_LE(here.disks[1].freeBytes, here.disks[1].sizeBytes);
  EXPECT_GE(here.cpu.count, 1);
  EXPECT_EQ(here.os.sysname, "Linux");
  EXPECT_GT(here.memory.totalKb, 0u);
  EXPECT_EQ(GatherPcInfo("/").disks.size(), 1u);  // the root as start directory: once
}

// The log line's layout; each crash signal, raised in a child: the log gains the line and
// the end banner, and the child still dies of that signal; with the handler removed the
// log stays as it was.
TEST(TerminationHandler, LogLineAndCrashSignals) {
  char buffer[256];
  for (double t : {0.0, 1.5, 86399.9999996, 123456.789012, 31708800.0})
    EXPECT_EQ(std::string(buffer, FormatLogLine(buffer, sizeof buffer, 5000, t, "X")),
              "005000  " + TimeStampText(t) + "  X\r\n")
        << t;
  EXPECT_EQ(std::string(buffer, FormatLogLine(buffer, sizeof buffer, 0, -3, "neg")),
            "000000  000:00:00:00.000000  neg\r\n");
  EXPECT_EQ(FormatLogLine(buffer, 10, 1, 0, "too long for it"), 0u);

  for (int signal : {SIGSEGV, SIGABRT, SIGFPE, SIGBUS, SIGILL, 0}) {
    TempDir dir;
    const std::string log = dir.File("Crash.Log");
    std::ofstream(log) << "first line\r\n";
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      if (!InstallTerminationHandler(log)) _exit(90);
      if (signal == 0) RemoveTerminationHandler();
      if (signal == SIGABRT || signal == 0) std::abort();
      raise(signal);
      _exit(91);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status)) << "signal " << signal << " status " << status;
    EXPECT_EQ(WTERMSIG(status), signal == 0 ? SIGABRT : signal);
    const std::vector<std::string> lines = CrLfLines(ReadAll(log));
    if (signal == 0) {
      EXPECT_EQ(lines, std::vector<std::string>{"first line"});
      continue;
    }
    ASSERT_EQ(lines.size(), 3u) << signal;
    EXPECT_EQ(
        std::make_tuple(lines[0], lines[1].substr(0, 8), lines[1].substr(27), lines[2].substr(27)),
        std::make_tuple("first line", "005000  ", "  Abnormal Program Termination",
                        "  ------------------PROGRAM END--------------------"));
  }
}

}  // namespace
