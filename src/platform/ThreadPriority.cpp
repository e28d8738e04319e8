#include "platform/ThreadPriority.h"

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "platform/SystemErrorText.h"

namespace {
id_t CallingThreadId() {
  return static_cast<id_t>(::syscall(SYS_gettid));
}
}  // namespace

int CallingThreadNice() {
  errno = 0;
  return ::getpriority(PRIO_PROCESS, CallingThreadId());
}

bool RaiseCallingThreadPriority(int steps, int& nice, std::string& reason) {
  const int target = std::max(-20, CallingThreadNice() - steps);
  if (::setpriority(PRIO_PROCESS, CallingThreadId(), target) != 0) {
    reason = SystemErrorText(errno);
    return false;
  }
  nice = CallingThreadNice();
  return true;
}
