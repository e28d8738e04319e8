#pragma once
// A mutex with a timed lock, built on a condition variable. std::timed_mutex uses
// pthread_mutex_clocklock here, which the thread sanitizer of our toolchain does not
// understand (it reports every unlock as "unlock of an unlocked mutex").
#include <chrono>
#include <condition_variable>
#include <mutex>

class TimedMutex {
 public:
  void lock() {
    std::unique_lock guard(state_);
    free_.wait(guard, [this] { return !locked_; });
    locked_ = true;
  }
  bool try_lock() {
    std::lock_guard guard(state_);
    if (locked_) return false;
    locked_ = true;
    return true;
  }
  template <class Rep, class Period>
  bool try_lock_for(const std::chrono::duration<Rep, Period>& timeout) {
    std::unique_lock guard(state_);
    if (!free_.wait_for(guard, timeout, [this] { return !locked_; })) return false;
    locked_ = true;
    return true;
  }
  void unlock() {
    {
      std::lock_guard guard(state_);
      locked_ = false;
    }
    free_.notify_one();
  }

 private:
  std::mutex state_;
  std::condition_variable free_;
  bool locked_ = false;
};
