// Low-latency mode on open: a pseudo-terminal has none and that is no error; an adapter's
// latency timer (a sysfs file, here in a fake tree) is lowered to 1 ms, and where only
// root may do that the log line carries the command that does it.
#include "serial/LowLatency.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>

#include "common/AsAnotherUser.h"
#include "serial/SerialTestKit.h"
#include "support/TempDir.h"

namespace {

// The fake tree's timer file for the pty's tty name ("/dev/pts/7" → "7").
std::string TimerFile(const DeviceTree& tree, const std::string& ptyPath) {
  return tree.sys + "/class/tty/" + std::filesystem::path(ptyPath).filename().string() +
         "/device/latency_timer";
}

}  // namespace

TEST(LowLatency, APseudoTerminalHasNoSettingAndThatIsNoError) {
  PtyPair pty;
  const int fd = ::open(pty.SlavePath().c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
  ASSERT_GE(fd, 0);
  const LowLatencyReport report = ApplyLowLatency(fd, pty.SlavePath());
  ::close(fd);
  EXPECT_EQ(report.mode, LowLatencyMode::NotOffered);
  EXPECT_FALSE(report.timer.present);
  EXPECT_EQ(report.text, pty.SlavePath() + ": no low-latency setting (not a hardware serial port)");
}

TEST(LowLatency, TheAdaptersTimerIsLoweredToOneMillisecond) {
  PtyPair pty;
  TempDir dir;
  const DeviceTree tree{dir.Path() + "/sys", dir.Path() + "/dev"};
  const std::string file = TimerFile(tree, pty.SlavePath());
  const std::string head =
      pty.SlavePath() + ": no low-latency setting (not a hardware serial port)";
  struct Case {
    const char* content;  // null: no timer file
    std::string text;
    std::string left;  // the file afterwards
  };
  const Case cases[] = {
      {"16\n", head + "; latency timer 16 ms, now 1 ms", "1"},
      {"2\n", head + "; latency timer 2 ms, now 1 ms", "1"},
      {"1\n", head + "; latency timer 1 ms", "1\n"},
      {"0\n", head + "; latency timer 0 ms", "0\n"},
      {"junk\n", head, "junk\n"},
      {nullptr, head, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.content ? c.content : "(none)");
    std::filesystem::remove_all(tree.sys);
    if (c.content) {
      std::filesystem::create_directories(std::filesystem::path(file).parent_path());
      std::ofstream(file) << c.content;
    }
    const int fd = ::open(pty.SlavePath().c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    const LowLatencyReport report = ApplyLowLatency(fd, pty.SlavePath(), tree);
    ::close(fd);
    EXPECT_EQ(report.text, c.text);
    if (c.content) {
      EXPECT_EQ(ReadAll(file), c.left);
    }
  }
}

TEST(LowLatency, OnlyRootMayLowerTheTimerAndTheLineSaysHow) {
  if (::geteuid() != 0) GTEST_SKIP() << "the refusal is met as another user, started by root";
  TempDir dir;
  ASSERT_EQ(::chmod(dir.Path().c_str(), 0755), 0);
  const std::string file = dir.File("latency_timer");
  std::ofstream(file) << "16\n";
  ASSERT_EQ(::chmod(file.c_str(), 0644), 0);
  const std::string text = AsAnotherUser([&] {
    LowLatencyReport report;
    report.mode = LowLatencyMode::Set;
    report.timer = LowerLatencyTimer(file);
    return LowLatencyText("/dev/ttyUSB0", report, file);
  });
  EXPECT_EQ(text,
            "/dev/ttyUSB0: low-latency mode on; latency timer 16 ms, only root may lower "
            "it: echo 1 | sudo tee " +
                file);
  EXPECT_EQ(ReadAll(file), "16\n");
}

TEST(LowLatency, EachOutcomeHasItsLine) {
  struct Case {
    LowLatencyMode mode;
    int error;
    LatencyTimer timer;
    std::string text;
  };
  const std::string f = "/sys/class/tty/ttyUSB0/device/latency_timer";
  const Case cases[] = {
      {LowLatencyMode::Set, 0, {}, "/dev/ttyUSB0: low-latency mode on"},
      {LowLatencyMode::AlreadyOn,
       0,
       {true, 1, 1, 0},
       "/dev/ttyUSB0: low-latency mode already on; latency timer 1 ms"},
      {LowLatencyMode::Refused,
       EINVAL,
       {true, 16, 16, EIO},
       "/dev/ttyUSB0: low-latency mode refused: Invalid argument (22); latency timer 16 ms, it "
       "could not be lowered (Input/output error (5)): echo 1 | sudo tee " +
           f},
      {LowLatencyMode::Set,
       0,
       {true, 16, 16, EPERM},
       "/dev/ttyUSB0: low-latency mode on; latency timer 16 ms, only root may lower it: echo 1 | "
       "sudo tee " +
           f},
  };
  for (const Case& c : cases) {
    LowLatencyReport report;
    report.mode = c.mode;
    report.error = c.error;
    report.timer = c.timer;
    EXPECT_EQ(LowLatencyText("/dev/ttyUSB0", report, f), c.text);
  }
}
