// The virtual unit as a raw port sees it: a reply line a command, its state, controllers
// coming and going, the bytes of every fault mode, and its link.
#include "unit/VirtualUnit.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "common/VirtualUnitOnPty.h"
#include "platform/UniqueFd.h"
#include "support/TempDir.h"

namespace {

using namespace std::chrono_literals;

// The controller's end of the pseudo-terminal, opened raw as a serial port would be.
class RawPort {
 public:
  explicit RawPort(const std::string& path) : fd_(::open(path.c_str(), O_RDWR | O_NOCTTY)) {
    termios tio{};
    if (fd_ && ::tcgetattr(fd_.Get(), &tio) == 0) ::cfmakeraw(&tio);
    if (fd_) ::tcsetattr(fd_.Get(), TCSANOW, &tio);
  }
  int Fd() const { return fd_.Get(); }
  void Send(const std::string& bytes) {
    EXPECT_EQ(::write(fd_.Get(), bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
  }
  // The bytes up to and including the next carriage return; with no line (or none before
  // the line is quiet for the time) everything that came.
  std::string Read(bool line = true, std::chrono::milliseconds quiet = 3000ms) {
    pollfd in{fd_.Get(), POLLIN, 0};
    char bytes[256];
    for (ssize_t n = 0; (!line || pending_.find('\r') == std::string::npos) &&
                        ::poll(&in, 1, static_cast<int>(quiet.count())) > 0 &&
                        (n = ::read(fd_.Get(), bytes, sizeof bytes)) > 0;)
      pending_.append(bytes, static_cast<size_t>(n));
    const size_t cr = line ? pending_.find('\r') : std::string::npos;
    const std::string reply = pending_.substr(0, cr == std::string::npos ? cr : cr + 1);
    pending_.erase(0, reply.size());
    return reply;
  }

 private:
  UniqueFd fd_;
  std::string pending_;
};

struct RunningUnit {
  explicit RunningUnit(VirtualUnitOptions options = {}) : unit(std::move(options)) {
    std::string error;
    EXPECT_TRUE(unit.Start(&error)) << error;
    port = std::make_unique<RawPort>(unit.DevicePath());
    EXPECT_GE(port->Fd(), 0) << unit.DevicePath();
  }
  VirtualUnit unit;
  std::unique_ptr<RawPort> port;
};

TEST(VirtualUnit, AnswersEachCommandWithOneLineAndKeepsTheState) {
  RunningUnit u;
  u.port->Send("0800 0000 M2 NHframe001");  // several commands in one write
  u.port->Send("0001 E240 K0062 0001 T57E9 0 G1 R0FI");
  for (int i = 0; i < 7; ++i) EXPECT_EQ(u.port->Read(), "OK\r");
  EXPECT_EQ(u.port->Read(), "0141\x20\r");
  EXPECT_EQ(u.unit.MemoryWord(0), 0x0800);
  EXPECT_EQ(u.unit.FormatNumber(), 2);
  EXPECT_EQ(u.unit.FormatName(2), "frame001");
  EXPECT_EQ(u.unit.ClockValue(), 0x0001E240u);
  EXPECT_EQ(u.unit.Register(1), 0x0062);
  EXPECT_EQ(u.unit.TxRegister(0), 0x57E9);
  EXPECT_TRUE(u.unit.Running());
  EXPECT_EQ(u.unit.CommandCount(), 8u);
  EXPECT_EQ(u.unit.Commands().back(), "0FI");
  EXPECT_EQ(u.port->Read(false, 50ms), "");  // nothing more than one line per command
}

// The next controller can open the port and reads only its own replies.
TEST(VirtualUnit, TheLastCloseDropsUnreadRepliesAndExclusiveMode) {
  RunningUnit u;
  ASSERT_EQ(ioctl(u.port->Fd(), TIOCEXCL), 0);
  u.port->Send("1 R");
  ASSERT_TRUE(u.unit.WaitForCommands(1, 1000ms));
  const uint64_t released = u.unit.ReleaseCount();
  u.port.reset();  // the reply is never read
  ASSERT_TRUE(u.unit.WaitForReleases(released + 1, 5000ms));
  auto again = std::make_unique<RawPort>(u.unit.DevicePath());
  int exclusive = 1;
  ASSERT_EQ(ioctl(again->Fd(), TIOCGEXCL, &exclusive), 0);
  ASSERT_EQ(exclusive, 0);
  again->Send("0 R");
  EXPECT_EQ(again->Read(), "OK\r");  // not the reply to "1 R"
  EXPECT_FALSE(u.unit.Running());
}

// The reply lines to each command and the least time they take; nothing more comes.
TEST(VirtualUnit, EveryFaultModeOnTheLine) {
  const std::string stray = "STATION 2 ONLINE 0BAD \r";
  const struct Row {
    const char* fault;
    uint32_t lineRate, latencyMs;
    std::vector<std::pair<std::string, std::vector<std::string>>> exchanges;
    int atLeastMs;
  } rows[] = {
      {"silent", 0, 0, {{"1 R", {}}}, 0},
      {"silent-after=2", 0, 0, {{"0 R", {"OK\r"}}, {"0 N", {"OK\r"}}, {"1 R", {}}}, 0},
      {"double-cr", 0, 0, {{"0 R", {"OK\r", "\r"}}}, 0},
      {"stray-cr", 0, 0, {{"0 R", {"\r", "OK\r"}}}, 20},  // the reply 20 ms after the CR
      {"echo", 0, 0, {{"0BI", {"0BI0013 \r"}}, {"Htest    ", {"Htest    OK\r"}}}, 0},
      {"second-writer", 0, 0, {{"0 R", {stray, "OK\r"}}, {"0BI", {"0013 \r", stray}}}, 0},
      {"short-reply=2", 0, 0, {{"Q", {"0000 0898 \r"}}, {"0 R", {"OK\r"}}}, 0},
      {"slow=300", 0, 0, {{"0 R", {"OK\r"}}}, 300},
      {"none", 1200, 0, {{"0 R", {"OK\r"}}}, 49},  // 8.3 ms a byte, 3 in and 3 out
      {"none", 0, 40, {{"0 R", {"OK\r"}}, {"0 N", {"OK\r"}}}, 40},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(::testing::Message() << row.fault << " " << row.lineRate << " " << row.latencyMs);
    VirtualUnitOptions options = UnitOptions(row.fault, row.lineRate);
    options.replyLatencyMs = row.latencyMs;
    RunningUnit u(options);
    const auto start = std::chrono::steady_clock::now();
    for (const auto& [command, lines] : row.exchanges) {
      u.port->Send(command);
      for (const std::string& line : lines) EXPECT_EQ(u.port->Read(), line) << command;
    }
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(row.atLeastMs));
    EXPECT_TRUE(u.unit.WaitForCommands(row.exchanges.size(), 1000ms));
    EXPECT_EQ(u.port->Read(false, 100ms), "");
  }
  // Stop ends a unit in the middle of a reply it holds back for ten minutes.
  RunningUnit slow(UnitOptions("slow=600000"));
  slow.port->Send("0 R");
  EXPECT_TRUE(slow.unit.WaitForCommands(1, 1000ms));
  slow.unit.Stop();
}

TEST(VirtualUnit, LinkNamesTheDeviceWhileTheUnitRuns) {
  TempDir dir;
  VirtualUnitOptions options;
  options.linkPath = dir.File("qm48");
  ASSERT_EQ(::symlink("/nonexistent", options.linkPath.c_str()), 0);  // a stale link is replaced
  {
    RunningUnit u(options);
    EXPECT_EQ(std::filesystem::read_symlink(options.linkPath), u.unit.DevicePath());
    RawPort byLink(options.linkPath);
    byLink.Send("0 N");
    EXPECT_EQ(byLink.Read(), "OK\r");
  }
  EXPECT_FALSE(std::filesystem::is_symlink(options.linkPath));
  // A file that is not a link is never replaced.
  { std::ofstream(options.linkPath) << "keep"; }
  VirtualUnit refused(options);
  std::string error;
  EXPECT_FALSE(refused.Start(&error));
  EXPECT_NE(error.find("not a symbolic link"), std::string::npos) << error;
  ASSERT_FALSE(std::filesystem::is_symlink(options.linkPath));  // else reading would wait
  EXPECT_EQ(ReadAll(options.linkPath), "keep");
}

}  // namespace
