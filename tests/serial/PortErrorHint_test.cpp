// What a new user is told about a serial device that would not open.
#include "serial/PortErrorHint.h"

#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <string>

#include "common/AsAnotherUser.h"
#include "support/TempDir.h"

namespace {

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

// A pseudo-terminal whose follower side stands in for a serial device.
struct Pty {
  Pty() {
    leader = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (leader >= 0 && ::grantpt(leader) == 0 && ::unlockpt(leader) == 0) path = ::ptsname(leader);
  }
  ~Pty() {
    if (leader >= 0) ::close(leader);
  }
  int leader = -1;
  std::string path;
};

TEST(PortErrorHint, EachProblemANewUserMeetsHasItsOwnAdvice) {
  EXPECT_EQ(PortErrorHint(EACCES),
            "add yourself to the dialout group: sudo usermod -aG dialout $USER, then log in again");
  EXPECT_EQ(PortErrorHint(EPERM), PortErrorHint(EACCES));
  for (int missing : {ENOENT, ENODEV, ENXIO})
    EXPECT_TRUE(Contains(PortErrorHint(missing), "PortDevices")) << missing;
  EXPECT_TRUE(Contains(PortErrorHint(EBUSY), "another program"));
  EXPECT_TRUE(Contains(PortErrorHint(ENOTTY), "not a serial device"));
  EXPECT_TRUE(Contains(PortErrorHint(EIO), "plug it in again"));
  // Nothing better to say than the system's text.
  EXPECT_EQ(PortErrorHint(0), "");
  EXPECT_EQ(PortErrorHint(EISDIR), "");
}

TEST(PortErrorHint, FailureTextNamesThePortTheReasonAndTheAdvice) {
  const std::string denied = PortOpenFailureText("/dev/ttyUSB0", EACCES);
  EXPECT_EQ(denied.rfind("cannot open the port /dev/ttyUSB0: Permission denied (13); ", 0), 0u)
      << denied;
  EXPECT_TRUE(Contains(denied, "dialout")) << denied;
  EXPECT_EQ(PortOpenFailureText("/dev/x", EISDIR),
            "cannot open the port /dev/x: Is a directory (21)");
  EXPECT_EQ(PortOpenFailureText("/dev/x", 0),
            "cannot open the port /dev/x: the line settings were refused");
}

TEST(PortErrorHint, ProbeFindsWhatStopsTheOpen) {
  TempDir dir;
  EXPECT_EQ(ProbePortDevice(dir.File("no-such-tty")), ENOENT);
  EXPECT_EQ(ProbePortDevice(dir.Path()), EISDIR);
  std::ofstream(dir.File("plain")) << "not a terminal";
  EXPECT_EQ(ProbePortDevice(dir.File("plain")), ENOTTY);

  Pty pty;
  ASSERT_FALSE(pty.path.empty());
  EXPECT_EQ(ProbePortDevice(pty.path), 0);
  // Another program holding the device's lock.
  const int holder = ::open(pty.path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
  ASSERT_GE(holder, 0);
  ASSERT_EQ(::flock(holder, LOCK_EX | LOCK_NB), 0);
  EXPECT_EQ(ProbePortDevice(pty.path), EBUSY);
  ::close(holder);
  EXPECT_EQ(ProbePortDevice(pty.path), 0);
}

TEST(PortErrorHint, APermissionRefusalNamesTheGroupTheCommandAndTheNewLogin) {
  if (::geteuid() != 0) GTEST_SKIP() << "handing a device to another group needs root";
  Pty pty;
  ASSERT_FALSE(pty.path.empty());
  // Groups a serial device belongs to on Debian, and the generic advice for a device only
  // root may open.
  struct Case {
    const char* group;
    std::string hint;
  };
  const std::string dialout =
      pty.path +
      " belongs to the group dialout: join it with sudo usermod -aG dialout $USER, then log out "
      "and in again (a new login is needed before the group counts)";
  const std::string uucp =
      pty.path +
      " belongs to the group uucp: join it with sudo usermod -aG uucp $USER, then log out and "
      "in again (a new login is needed before the group counts)";
  for (const Case& c :
       {Case{"dialout", dialout}, Case{"uucp", uucp}, Case{"root", PortErrorHint(EACCES)}}) {
    SCOPED_TRACE(c.group);
    const group* g = ::getgrnam(c.group);
    if (g == nullptr) continue;  // not on this system
    ASSERT_EQ(::chown(pty.path.c_str(), 0, g->gr_gid), 0);
    ASSERT_EQ(::chmod(pty.path.c_str(), 0660), 0);
    EXPECT_EQ(PortErrorHint(EACCES, pty.path), c.hint);
    EXPECT_EQ(PortErrorHint(EPERM, pty.path), c.hint);
    EXPECT_EQ(
        AsAnotherUser([&] { return PortOpenFailureText(pty.path, ProbePortDevice(pty.path)); }),
        "cannot open the port " + pty.path + ": Permission denied (13); " + c.hint);
  }
  // Other failures keep their own advice.
  EXPECT_EQ(PortErrorHint(EBUSY, pty.path), PortErrorHint(EBUSY));
}

}  // namespace
