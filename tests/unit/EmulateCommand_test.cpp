// qm48ctl emulate as a process of its own.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "cli/CtlRun.h"
#include "support/TempDir.h"
#include "unit/RawPort.h"

extern char** environ;

namespace {

struct Emulator {
  explicit Emulator(std::vector<std::string> options, const std::string& stderrPath = "/dev/null") {
    std::vector<std::string> args = {QM48_CTL_PATH, "emulate"};
    args.insert(args.end(), options.begin(), options.end());
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    int out[2];
    if (pipe(out) != 0) return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    posix_spawn_file_actions_addopen(&actions, 2, stderrPath.c_str(), O_WRONLY | O_CREAT, 0644);
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    stdoutFd = out[0];
  }
  ~Emulator() {
    if (pid > 0) {
      kill(pid, SIGKILL);
      waitpid(pid, nullptr, 0);
    }
    if (stdoutFd >= 0) close(stdoutFd);
  }
  // The first line the process prints (the device path), without its line end.
  std::string FirstLine() {
    std::string line;
    char c;
    while (read(stdoutFd, &c, 1) == 1 && c != '\n') line += c;
    return line;
  }
  // Sends the signal and returns the exit status (-1 when it did not end within 5 s).
  int EndWith(int signal) {
    kill(pid, signal);
    for (int i = 0; i < 500; ++i) {
      int status = 0;
      if (waitpid(pid, &status, WNOHANG) == pid) {
        pid = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return -1;
  }
  int Wait() {
    int status = 0;
    waitpid(pid, &status, 0);
    pid = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  pid_t pid = -1;
  int stdoutFd = -1;
};

TEST(EmulateCommand, PrintsAWorkingDeviceAndWritesItsStateOnSigterm) {
  TempDir dir;
  std::string state = dir.File("unit.state"), link = dir.File("qm48");
  Emulator emulator({"--link", link, "--state", state, "--max-db", "10"});
  ASSERT_GT(emulator.pid, 0);
  std::string device = emulator.FirstLine();
  ASSERT_FALSE(device.empty());
  EXPECT_EQ(std::filesystem::read_symlink(link), device);
  {
    RawPort port(device);
    ASSERT_TRUE(port.IsOpen());
    port.Send("1234 0010 M0BI1 R");
    EXPECT_EQ(port.ReadLine(), "OK\r");
    EXPECT_EQ(port.ReadLine(), "000A \r");
    EXPECT_EQ(port.ReadLine(), "OK\r");
  }
  EXPECT_EQ(emulator.EndWith(SIGTERM), 0);
  std::string text = ReadAll(state);
  EXPECT_NE(text.find("memory 0010 1234\n"), std::string::npos) << text;
  EXPECT_NE(text.find("run 1\n"), std::string::npos) << text;
  EXPECT_FALSE(std::filesystem::is_symlink(link));
}

TEST(EmulateCommand, EndsWithZeroOnSigintAndTakesFaultModes) {
  Emulator emulator({"--fault", "echo", "--line-rate", "115200", "--reply-latency", "1"});
  ASSERT_GT(emulator.pid, 0);
  RawPort port(emulator.FirstLine());
  ASSERT_TRUE(port.IsOpen());
  port.Send("0 R");
  EXPECT_EQ(port.ReadLine(), "0 ROK\r");
  EXPECT_EQ(emulator.EndWith(SIGINT), 0);
}

// An adapter unplugged and plugged in again: the controller's port hangs up, the link goes,
// and comes back leading to a working unit.
TEST(EmulateCommand, UnplugsAndPlugsInAgainOnSignals) {
  TempDir dir;
  const std::string link = dir.File("QM48-VIRTUAL");
  Emulator emulator({"--link", link});
  ASSERT_GT(emulator.pid, 0);
  ASSERT_FALSE(emulator.FirstLine().empty());
  RawPort port(link);
  ASSERT_TRUE(port.IsOpen());
  port.Send("0 N");
  EXPECT_EQ(port.ReadLine(), "OK\r");
  kill(emulator.pid, SIGUSR1);
  EXPECT_TRUE(port.HungUp());
  EXPECT_FALSE(std::filesystem::exists(link));
  port.Close();
  kill(emulator.pid, SIGUSR2);
  EXPECT_FALSE(emulator.FirstLine().empty());  // the new device, once it is there
  RawPort again(link);
  ASSERT_TRUE(again.IsOpen());
  again.Send("0 R");
  EXPECT_EQ(again.ReadLine(), "OK\r");
  EXPECT_EQ(emulator.EndWith(SIGTERM), 0);
}

TEST(EmulateCommand, RefusesBadOptions) {
  TempDir dir;
  for (std::vector<std::string> bad :
       std::vector<std::vector<std::string>>{{"--fault", "loud"},
                                             {"--line-rate", "0"},
                                             {"--reply-latency", "-1"},
                                             {"--reply-latency", "99999"},
                                             {"--filters", "1,2,3"},
                                             {"--link"},
                                             {"--colour", "blue"},
                                             {"stray"}}) {
    std::string errors = dir.File(bad[0] + ".err");
    Emulator emulator(bad, errors);
    ASSERT_GT(emulator.pid, 0);
    EXPECT_EQ(emulator.Wait(), 2) << bad[0];
    EXPECT_NE(ReadAll(errors).find("usage: qm48ctl emulate"), std::string::npos) << bad[0];
  }
}

}  // namespace

// The whole round trip with the programs a user runs: a setup file loaded into the
// virtual unit by qm48ctl load, the unit's PCM output written to a file, and qm48ctl decom
// finding every word of that file where the setup puts it.
TEST(EmulateCommand, BitStreamOfALoadPassesTheDecommutationCheck) {
  TempDir dir;
  const std::string stream = dir.File("pcm.bits"), link = dir.File("qm48");
  Emulator emulator({"--link", link, "--bitstream", stream});
  ASSERT_FALSE(emulator.FirstLine().empty());
  ASSERT_EQ(RunCtl("save-default setup.qm48", dir).code, 0);
  const CtlResult load = RunCtl("load --device '" + link + "' setup.qm48", dir);
  ASSERT_EQ(load.code, 0) << load.err;
  for (int i = 0; i < 2000 && !std::filesystem::exists(stream); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  ASSERT_TRUE(std::filesystem::exists(stream));

  CtlResult decom = RunCtl("decom --summary --setup setup.qm48 pcm.bits", dir);
  EXPECT_EQ(decom.code, 0) << decom.out << decom.err;
  EXPECT_NE(decom.out.find("Minor frames: 254 decoded (64 a major frame)"), std::string::npos)
      << decom.out;
  EXPECT_NE(decom.out.find("MATCH: every word is where the setup puts it"), std::string::npos);

  // Read in a code it is not in, the stream breaks the code's rules; a stream in another
  // code does not lock; bad arguments are refused.
  decom = RunCtl("decom --summary --code BIOL --setup setup.qm48 pcm.bits", dir);
  EXPECT_EQ(decom.code, 1);
  EXPECT_NE(decom.out.find("code violations"), std::string::npos) << decom.out;
  decom = RunCtl("decom --summary --code NRZM --setup setup.qm48 pcm.bits", dir);
  EXPECT_EQ(decom.code, 1);
  EXPECT_NE(decom.out.find("NO LOCK"), std::string::npos) << decom.out;
  EXPECT_EQ(RunCtl("decom --code XYZ --setup setup.qm48 pcm.bits", dir).code, 2);
  EXPECT_EQ(RunCtl("decom pcm.bits", dir).code, 2);
  decom = RunCtl("decom --setup setup.qm48 missing.bits", dir);
  EXPECT_EQ(decom.code, 2);
  EXPECT_NE(decom.err.find("cannot open"), std::string::npos) << decom.err;
}
