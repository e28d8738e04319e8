#include "platform/AutoResetEvent.h"

#include <chrono>

void AutoResetEvent::Set() {
  {
    std::lock_guard lock(mutex_);
    signalled_ = true;
  }
  cond_.notify_one();
}

void AutoResetEvent::Reset() {
  std::lock_guard lock(mutex_);
  signalled_ = false;
}

bool AutoResetEvent::Wait(int timeoutMs) {
  std::unique_lock lock(mutex_);
  if (timeoutMs < 0) timeoutMs = 0;
  if (!cond_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [this] { return signalled_; }))
    return false;
  signalled_ = false;
  return true;
}
