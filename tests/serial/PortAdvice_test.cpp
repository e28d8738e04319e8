// Why a port would not open and what to do; what the low-latency setting did (fake sysfs).
#include <grp.h>
#include <sys/file.h>
#include <sys/stat.h>

#include <cerrno>
#include <fstream>

#include "common/AsAnotherUser.h"
#include "serial/LowLatency.h"
#include "serial/PortErrorHint.h"
#include "serial/SerialTestKit.h"

namespace {

const std::string kDialout =
    "add yourself to the dialout group: sudo usermod -aG dialout $USER, then log in again";

TEST(PortErrorHint, EachProblemHasItsAdviceTheProbeFindsItAndAGroupIsNamed) {
  for (int missing : {ENOENT, ENODEV, ENXIO})
    EXPECT_NE(PortErrorHint(missing).find("PortDevices"), std::string::npos);
  EXPECT_EQ(PortErrorHint(EPERM), kDialout);
  for (auto [error, part] : {std::pair{EBUSY, "another program"},
                             {ENOTTY, "not a serial device"},
                             {EIO, "plug it in again"}})
    EXPECT_NE(PortErrorHint(error).find(part), std::string::npos) << error;
  EXPECT_EQ(PortErrorHint(EISDIR), "");
  EXPECT_EQ(PortOpenFailureText("/dev/ttyUSB0", EACCES),
            "cannot open the port /dev/ttyUSB0: Permission denied (13); " + kDialout);
  EXPECT_EQ(PortOpenFailureText("/dev/x", EISDIR),
            "cannot open the port /dev/x: Is a directory (21)");
  EXPECT_EQ(PortOpenFailureText("/dev/x", 0),
            "cannot open the port /dev/x: the line settings were refused");

  TempDir dir;
  EXPECT_EQ(ProbePortDevice(dir.File("no-such-tty")), ENOENT);
  EXPECT_EQ(ProbePortDevice(dir.Path()), EISDIR);
  std::ofstream(dir.File("plain")) << "not a terminal";
  EXPECT_EQ(ProbePortDevice(dir.File("plain")), ENOTTY);
  PtyPair pty;
  EXPECT_EQ(ProbePortDevice(pty.SlavePath()), 0);
  const int holder = ::open(pty.SlavePath().c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
  ASSERT_EQ(::flock(holder, LOCK_EX | LOCK_NB), 0);
  EXPECT_EQ(ProbePortDevice(pty.SlavePath()), EBUSY);
  ::close(holder);
  // A device you may not open is explained by its owning group (root's: the generic advice).
  if (::geteuid() != 0) GTEST_SKIP() << "handing a device to another group needs root";
  const std::string path = pty.SlavePath();
  for (const std::string group : {"dialout", "uucp", "root"}) {
    const struct group* g = ::getgrnam(group.c_str());
    if (g == nullptr) continue;
    ASSERT_EQ(::chown(path.c_str(), 0, g->gr_gid), 0);
    ASSERT_EQ(::chmod(path.c_str(), 0660), 0);
    const std::string hint = group == "root" ? PortErrorHint(EACCES)
                                             : path + " belongs to the group " + group +
                                                   ": join it with sudo usermod -aG " + group +
                                                   " $USER, then log out and in again (a new login "
                                                   "is needed before the group counts)";
    EXPECT_EQ(PortErrorHint(EPERM, path), hint);
    EXPECT_EQ(AsAnotherUser([&] { return PortOpenFailureText(path, ProbePortDevice(path)); }),
              "cannot open the port " + path + ": Permission denied (13); " + hint);
  }
  EXPECT_EQ(PortErrorHint(EBUSY, path), PortErrorHint(EBUSY));
}

// An adapter's timer is lowered, each outcome has its line, only root may lower the timer.
TEST(LowLatency, EveryOutcomeAndItsLine) {
  PtyPair pty;
  TempDir dir;
  const DeviceTree tree{dir.Path() + "/sys", dir.Path() + "/dev"};
  const std::string file = tree.sys + "/class/tty/" +
                           std::filesystem::path(pty.SlavePath()).filename().string() +
                           "/device/latency_timer";
  const std::string head =
      pty.SlavePath() + ": no low-latency setting (not a hardware serial port)";
  const int fd = ::open(pty.SlavePath().c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
  std::filesystem::create_directories(std::filesystem::path(file).parent_path());
  for (const auto& [content, tail, left] :
       {std::tuple{"16\n", "; latency timer 16 ms, now 1 ms", "1"},
        {"1\n", "; latency timer 1 ms", "1\n"},
        {"junk\n", "", "junk\n"}}) {
    std::ofstream(file) << content;
    const LowLatencyReport report = ApplyLowLatency(fd, pty.SlavePath(), tree);
    EXPECT_EQ(report.text, head + tail);
    EXPECT_EQ(report.mode, LowLatencyMode::NotOffered);
    EXPECT_EQ(ReadAll(file), left);
  }
  ::close(fd);
  const std::string f = "/sys/class/tty/ttyUSB0/device/latency_timer",
                    sudo = ": echo 1 | sudo tee " + f;
  const std::tuple<LowLatencyMode, int, LatencyTimer, std::string> cases[] = {
      {LowLatencyMode::Set, 0, {}, "on"},
      {LowLatencyMode::AlreadyOn, 0, {true, 1, 1, 0}, "already on; latency timer 1 ms"},
      {LowLatencyMode::Refused,
       EINVAL,
       {true, 16, 16, EIO},
       "refused: Invalid argument (22); latency timer 16 ms, it could not be lowered "
       "(Input/output error (5))" +
           sudo},
      {LowLatencyMode::Set,
       0,
       {true, 16, 16, EPERM},
       "on; latency timer 16 ms, only root may lower it" + sudo},
  };
  for (const auto& [mode, error, timer, text] : cases)
    EXPECT_EQ(LowLatencyText("/dev/ttyUSB0", {mode, error, timer, ""}, f),
              "/dev/ttyUSB0: low-latency mode " + text);
  if (::geteuid() != 0) GTEST_SKIP() << "the refusal is met as another user, started by root";
  ASSERT_EQ(::chmod(dir.Path().c_str(), 0755), 0);
  const std::string timer = dir.File("latency_timer");
  std::ofstream(timer) << "16\n";
  ASSERT_EQ(::chmod(timer.c_str(), 0644), 0);
  EXPECT_EQ(AsAnotherUser([&] { return std::to_string(LowerLatencyTimer(timer).error); }),
            std::to_string(EACCES));
  EXPECT_EQ(ReadAll(timer), "16\n");
}

}  // namespace
