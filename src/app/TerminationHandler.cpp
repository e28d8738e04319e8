#include "app/TerminationHandler.h"

#include <fcntl.h>
#include <signal.h>
#include <time.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>

#include "app/Qm48GlobUnit.h"
#include "platform/Clock.h"
#include "support/Timer.h"

const char* const kAbnormalTerminationText = "Abnormal Program Termination";

namespace {

constexpr std::array<int, 5> kCrashSignals{SIGSEGV, SIGABRT, SIGFPE, SIGBUS, SIGILL};
constexpr char kEndBanner[] = "------------------PROGRAM END--------------------";
constexpr int kShutdownWaitMs = 50;

// Set up before the handler may run; read only by it.
volatile sig_atomic_t gLogFd = -1;
double gYearSecondsAtInstall = 0;
timespec gMonotonicAtInstall{};
std::array<struct sigaction, kCrashSignals.size()> gPrevious{};
bool gInstalled = false;
// The handler runs on its own stack, so a stack overflow can still be logged.
alignas(16) char gAltStack[64 * 1024];

static_assert(std::atomic<bool>::is_always_lock_free, "gShuttingDown is set from a signal handler");

class Writer {
 public:
  Writer(char* buffer, size_t size) : buffer_(buffer), size_(size) {}
  void Char(char c) {
    if (used_ < size_) buffer_[used_] = c;
    ++used_;
  }
  void Text(const char* text) {
    while (*text) Char(*text++);
  }
  void Number(long value, int digits) {
    char reversed[24];
    int n = 0;
    unsigned long v = value < 0 ? 0 : static_cast<unsigned long>(value);
    do {
      reversed[n++] = static_cast<char>('0' + v % 10);
      v /= 10;
    } while (v != 0 && n < 20);
    while (n < digits) reversed[n++] = '0';
    while (n > 0) Char(reversed[--n]);
  }
  size_t Length() const { return used_ <= size_ ? used_ : 0; }

 private:
  char* buffer_;
  size_t size_;
  size_t used_ = 0;
};

double YearSecondsNow() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  double elapsed = static_cast<double>(now.tv_sec - gMonotonicAtInstall.tv_sec) +
                   static_cast<double>(now.tv_nsec - gMonotonicAtInstall.tv_nsec) / 1e9;
  return gYearSecondsAtInstall + elapsed;
}

void WriteLine(int fd, int tag, const char* text) {
  if (fd < 0) return;
  char line[256];
  size_t length = FormatLogLine(line, sizeof line, tag, YearSecondsNow(), text);
  size_t done = 0;
  while (done < length) {
    ssize_t n = write(fd, line + done, length - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;
    done += static_cast<size_t>(n);
  }
}

void OnCrashSignal(int signal) {
  const int savedErrno = errno;
  const int fd = gLogFd;
  WriteLine(fd, kAbnormalTerminationTag, kAbnormalTerminationText);
  // The shut-down steps that are safe here: stop the threads' work and give a sender
  // waiting for a reply the time to see it. Files and the reply event need locks and
  // memory, which a crashed program may hold, so they are left as they are.
  gShuttingDown.store(true);
  timespec wait{0, kShutdownWaitMs * 1000000L};
  while (nanosleep(&wait, &wait) != 0 && errno == EINTR) {
  }
  WriteLine(fd, 0, kEndBanner);
  errno = savedErrno;
  // The handler was reset on entry: the signal, delivered again once this returns,
  // ends the process the way it would have without us.
  raise(signal);
}

}  // namespace

size_t FormatLogLine(char* buffer, size_t size, int tag, double secondsOfYear, const char* text) {
  if (!(secondsOfYear >= 0) || secondsOfYear > 31708800.0) secondsOfYear = 0;
  long micros = static_cast<long>(secondsOfYear * 1e6 + 0.5);
  long seconds = micros / 1000000;
  Writer out(buffer, size);
  out.Number(tag, 6);
  out.Text("  ");
  out.Number(seconds / 86400, 3);
  out.Char(':');
  out.Number(seconds / 3600 % 24, 2);
  out.Char(':');
  out.Number(seconds / 60 % 60, 2);
  out.Char(':');
  out.Number(seconds % 60, 2);
  out.Char('.');
  out.Number(micros % 1000000, 6);
  out.Text("  ");
  out.Text(text);
  out.Text("\r\n");
  return out.Length();
}

bool InstallTerminationHandler(const std::string& logPath) {
  RemoveTerminationHandler();
  gYearSecondsAtInstall = LocalSecondsOfYear(LocalNow());
  clock_gettime(CLOCK_MONOTONIC, &gMonotonicAtInstall);
  int fd = logPath.empty() ? -1 : open(logPath.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
  gLogFd = fd;

  stack_t stack{};
  stack.ss_sp = gAltStack;
  stack.ss_size = sizeof gAltStack;
  sigaltstack(&stack, nullptr);

  struct sigaction action {};
  action.sa_handler = OnCrashSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESETHAND | SA_ONSTACK;
  for (size_t i = 0; i < kCrashSignals.size(); ++i)
    sigaction(kCrashSignals[i], &action, &gPrevious[i]);
  gInstalled = true;
  return fd >= 0;
}

void RemoveTerminationHandler() {
  if (!gInstalled) return;
  for (size_t i = 0; i < kCrashSignals.size(); ++i)
    sigaction(kCrashSignals[i], &gPrevious[i], nullptr);
  gInstalled = false;
  int fd = gLogFd;
  gLogFd = -1;
  if (fd >= 0) close(fd);
}
