#pragma once
// The worker behind a sender's progress dialog: one thread that the dialog starts, whose
// position and end the dialog's timer reads, and which Cancel (or the program closing)
// asks to stop. Everything the dialog reads is atomic.
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>

class AutoResetEvent;

class SenderThread {
 public:
  explicit SenderThread(AutoResetEvent& replyEvent) : replyEvent_(replyEvent) {}
  // Asks a thread still running to stop, wakes it and waits for it to end.
  ~SenderThread();
  SenderThread(const SenderThread&) = delete;
  SenderThread& operator=(const SenderThread&) = delete;

  // Runs body on the thread; the thread is marked finished when body returns.
  void Start(std::function<void()> body);
  // Asks the thread to stop and sets the reply event so that a waiting thread wakes.
  void RequestStop();
  // Asks a thread still running to stop and waits for it to end.
  void StopAndJoin();
  // A stop was asked for, or the program is closing.
  bool StopRequested() const;
  bool Finished() const { return finished_.load(std::memory_order_acquire); }
  uint32_t Position() const { return position_.load(std::memory_order_relaxed); }
  void SetPosition(uint32_t position);
  // Returns once the position is no longer seen, the thread has finished, or timeoutMs
  // have passed.
  void AwaitChange(uint32_t seen, int timeoutMs) const;
  AutoResetEvent& ReplyEvent() const { return replyEvent_; }

 private:
  AutoResetEvent& replyEvent_;
  std::atomic<bool> stop_{false};
  std::atomic<bool> finished_{false};
  std::atomic<uint32_t> position_{0};
  // Wakes a dialog waiting for the position to move or the thread to end.
  mutable std::mutex changeMutex_;
  mutable std::condition_variable changed_;
  std::thread thread_;
};
