#include "app/TerminationHandler.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>

#include "support/ErrorLog.h"
#include "support/TempDir.h"

namespace {

std::string Formatted(int tag, double t, const char* text) {
  char buffer[256];
  size_t n = FormatLogLine(buffer, sizeof buffer, tag, t, text);
  return std::string(buffer, n);
}

TEST(TerminationHandler, LineHasTheProgramLogsLayout) {
  for (double t : {0.0, 1.5, 86399.9999996, 123456.789012, 31708800.0})
    EXPECT_EQ(Formatted(5000, t, "X"), "005000  " + TimeStampText(t) + "  X\r\n") << t;
  EXPECT_EQ(Formatted(0, -3, "neg"), "000000  000:00:00:00.000000  neg\r\n");
  char small[10];
  EXPECT_EQ(FormatLogLine(small, sizeof small, 1, 0, "too long for it"), 0u);
}

// Each crash signal, raised in a child: the log gains the line and the end banner, and
// the child still dies of that signal.
TEST(TerminationHandler, CrashSignalIsLoggedAndStillEndsTheProcess) {
  for (int signal : {SIGSEGV, SIGABRT, SIGFPE, SIGBUS, SIGILL}) {
    TempDir dir;
    std::string log = dir.File("Crash.Log");
    std::ofstream(log) << "first line\r\n";
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      if (!InstallTerminationHandler(log)) _exit(90);
      if (signal == SIGABRT) std::abort();
      raise(signal);
      _exit(91);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status)) << "signal " << signal << " status " << status;
    EXPECT_EQ(WTERMSIG(status), signal);
    std::vector<std::string> lines = CrLfLines(ReadAll(log));
    ASSERT_EQ(lines.size(), 3u) << signal;
    EXPECT_EQ(lines[0], "first line");
    EXPECT_EQ(lines[1].substr(0, 8), "005000  ");
    EXPECT_EQ(lines[1].substr(27), "  Abnormal Program Termination");
    EXPECT_EQ(lines[2].substr(27), "  ------------------PROGRAM END--------------------");
  }
}

TEST(TerminationHandler, RemovedHandlerLeavesTheDefaultAction) {
  TempDir dir;
  std::string log = dir.File("Crash.Log");
  std::ofstream(log) << "";
  pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    InstallTerminationHandler(log);
    RemoveTerminationHandler();
    std::abort();
    _exit(91);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFSIGNALED(status));
  EXPECT_EQ(ReadAll(log), "");
}

}  // namespace
