#include "link/ReplyWait.h"

#include <algorithm>
#include <chrono>
#include <thread>

#include "link/SenderThread.h"
#include "link/UnitLink.h"
#include "platform/AutoResetEvent.h"
#include "serial/serialcomclass.h"

namespace {

using Clock = std::chrono::steady_clock;
// How often a waiting sender looks at the port and at a stop request.
constexpr int kWaitSliceMs = 20;

int MsLeft(Clock::time_point deadline) {
  auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
  return static_cast<int>(std::max<int64_t>(0, left.count()));
}

// Hands the command to the port thread. A write still finishing (its completion not yet
// delivered) is waited for; a port that is gone or stays busy past the deadline is not.
ReplyWaitResult Hand(serialcomclass& port, const std::string& command, Clock::time_point deadline,
                     const SenderThread& thread) {
  for (;;) {
    if (port.Send(command.data(), static_cast<int32_t>(command.size())))
      return ReplyWaitResult::Replied;
    if (!port.IsRunning()) return ReplyWaitResult::Disconnected;
    if (thread.StopRequested()) return ReplyWaitResult::Stopped;
    if (Clock::now() >= deadline) return ReplyWaitResult::TimedOut;
    std::this_thread::sleep_for(std::chrono::microseconds(100));
  }
}

}  // namespace

ReplyWaitResult SendAndAwaitReply(UnitLink& link, serialcomclass& port, const std::string& command,
                                  int timeoutMs, bool clearReplyLine, const SenderThread& thread) {
  AutoResetEvent& reply = thread.ReplyEvent();
  const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  reply.Reset();
  if (clearReplyLine) link.ClearReplyLine();
  ReplyWaitResult handed = Hand(port, command, deadline, thread);
  if (handed != ReplyWaitResult::Replied) return handed;
  std::this_thread::yield();
  return AwaitReplyUntil(port, deadline, thread);
}

ReplyWaitResult AwaitReplyUntil(serialcomclass& port, Clock::time_point deadline,
                                const SenderThread& thread) {
  AutoResetEvent& reply = thread.ReplyEvent();
  for (;;) {
    const bool signalled = reply.Wait(std::min(kWaitSliceMs, MsLeft(deadline)));
    if (thread.StopRequested()) return ReplyWaitResult::Stopped;
    if (signalled) return ReplyWaitResult::Replied;
    if (!port.IsRunning()) return ReplyWaitResult::Disconnected;
    if (MsLeft(deadline) == 0) return ReplyWaitResult::TimedOut;
  }
}
