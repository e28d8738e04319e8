#pragma once
// The command sender: pushes a finished transmit buffer to the unit one command at a time,
// waiting for the unit's reply line after each, on a worker thread under the operator's
// progress dialog.
#include <cstdint>
#include <memory>
#include <string>

#include "link/SendOutcome.h"
#include "link/SenderThread.h"
#include "link/TransmitBuffer.h"
#include "support/Operator.h"

class serialcomclass;
class UnitLink;

struct SendOptions {
  int replyTimeoutMs = 7000;  // how long the unit may take to answer one command
  int pauseMs = 1;            // pause after each reply before the next command
};

// The sender's worker. The dialog starts it, reads its position (bytes of the buffer cut
// so far) and its end, and may cancel it; the buffer is not owned and must outlive it.
class qm48cmdrxthreadclass final : public ProgressTask {
 public:
  // Sends on port, the link's port when the send began; link gives the reply event.
  qm48cmdrxthreadclass(UnitLink& link, std::shared_ptr<serialcomclass> port, const uint8_t* buffer,
                       uint32_t length, SendOptions options);
  ~qm48cmdrxthreadclass() override = default;

  void Start() override;
  bool Finished() const override { return thread_.Finished(); }
  int Position() const override { return static_cast<int>(thread_.Position()); }
  int Maximum() const override { return static_cast<int>(length_); }
  void Cancel() override { thread_.RequestStop(); }
  void AwaitChange(int seen, int timeoutMs) const override {
    thread_.AwaitChange(static_cast<uint32_t>(seen), timeoutMs);
  }

  // Stops a thread still running (as Cancel does), waits for it, and returns how the
  // send ended.
  SendOutcome WaitOutcome();

 private:
  void Body();

  UnitLink& link_;
  std::shared_ptr<serialcomclass> port_;
  const uint8_t* buffer_;
  uint32_t length_;
  SendOptions options_;
  SendOutcome outcome_;  // written by the thread, read after it has ended
  SenderThread thread_;  // last: destroyed (joined) before the members it uses
};

// Sends buffer[0, length) on the link's port under a progress dialog with the given
// caption and returns when every command was answered, a reply did not come in time, the
// operator cancelled or the port went away. Without an open port nothing is sent.
SendOutcome SendBuffer(UnitLink& link, const std::string& caption, const uint8_t* buffer,
                       uint32_t length, const SendOptions& options = {});
inline SendOutcome SendBuffer(UnitLink& link, const std::string& caption,
                              const TransmitBuffer& buffer, const SendOptions& options = {}) {
  return SendBuffer(link, caption, buffer.Data(), buffer.Fill(), options);
}
