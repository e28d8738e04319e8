#include "link/SenderThread.h"

#include <sys/prctl.h>

#include <chrono>

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
    {
      std::lock_guard<std::mutex> lock(changeMutex_);
      finished_.store(true, std::memory_order_release);
    }
    changed_.notify_all();
  });
}

void SenderThread::SetPosition(uint32_t position) {
  {
    std::lock_guard<std::mutex> lock(changeMutex_);
    position_.store(position, std::memory_order_relaxed);
  }
  changed_.notify_all();
}

void SenderThread::AwaitChange(uint32_t seen, int timeoutMs) const {
  std::unique_lock<std::mutex> lock(changeMutex_);
  changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs > 0 ? timeoutMs : 0),
                    [&] { return Finished() || Position() != seen; });
}

void SenderThread::RequestStop() {
  stop_.store(true, std::memory_order_release);
  replyEvent_.Set();
}

bool SenderThread::StopRequested() const {
  return stop_.load(std::memory_order_acquire) || gShuttingDown.load(std::memory_order_acquire);
}
