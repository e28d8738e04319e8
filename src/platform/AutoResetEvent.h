#pragma once
// An event that releases exactly one waiter per Set() and then resets itself;
// the reply event "VORN RX" between the port thread and a sender thread.
#include <condition_variable>
#include <mutex>
#include <string>

class AutoResetEvent {
 public:
  explicit AutoResetEvent(std::string name = {}) : name_(std::move(name)) {}
  AutoResetEvent(const AutoResetEvent&) = delete;
  AutoResetEvent& operator=(const AutoResetEvent&) = delete;

  // Signals the event; a waiter (now or later) consumes the signal.
  void Set();
  // Clears a pending signal.
  void Reset();
  // Waits up to timeoutMs for the signal; true when it was obtained (and consumed).
  bool Wait(int timeoutMs);
  const std::string& Name() const { return name_; }

 private:
  std::string name_;
  std::mutex mutex_;
  std::condition_variable cond_;
  bool signalled_ = false;
};
