#include "link/SenderThread.h"

#include <sys/prctl.h>

#include "platform/AutoResetEvent.h"
#include "support/ProgramClosing.h"

SenderThread::~SenderThread() {
  StopAndJoin();
}

void SenderThread::StopAndJoin() {
  if (!thread_.joinable()) return;
  if (!Finished()) RequestStop();
  thread_.join();
}

void SenderThread::Start(std::function<void()> body) {
  if (thread_.joinable()) return;
  finished_.store(false, std::memory_order_release);
  thread_ = std::thread([this, body = std::move(body)] {
    // The pause between commands is 1 ms: keep the kernel from stretching it by its
    // default 50 us timer slack on every command.
    ::prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
    body();
    finished_.store(true, std::memory_order_release);
  });
}

void SenderThread::RequestStop() {
  stop_.store(true, std::memory_order_release);
  replyEvent_.Set();
}

bool SenderThread::StopRequested() const {
  return stop_.load(std::memory_order_acquire) || gShuttingDown.load(std::memory_order_acquire);
}
