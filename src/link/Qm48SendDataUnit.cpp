#include "link/Qm48SendDataUnit.h"

#include "link/ReplyWait.h"
#include "link/UnitLink.h"
#include "platform/Clock.h"
#include "serial/serialcomclass.h"
#include "support/ProgramLog.h"
#include "support/Signals.h"

qm48cmdrxthreadclass::qm48cmdrxthreadclass(UnitLink& link, std::shared_ptr<serialcomclass> port,
                                           const uint8_t* buffer, uint32_t length,
                                           SendOptions options)
    : link_(link),
      port_(std::move(port)),
      buffer_(buffer),
      length_(length),
      options_(options),
      thread_(link.ReplyEvent()) {}

void qm48cmdrxthreadclass::Start() {
  thread_.Start([this] { Body(); });
}

SendOutcome qm48cmdrxthreadclass::WaitOutcome() {
  thread_.StopAndJoin();
  return outcome_;
}

void qm48cmdrxthreadclass::Body() {
  uint32_t index = 0;
  SendOutcome& out = outcome_;
  out.result = SendResult::Cancelled;
  while (!thread_.StopRequested()) {
    const uint32_t start = index;
    std::string command = NextCommand(buffer_, length_, index);
    thread_.SetPosition(index);
    if (command.empty()) {
      out.result = SendResult::Done;
      return;
    }
    ++out.commandNumber;
    out.commandStart = start;
    out.commandText = command;
    switch (SendAndAwaitReply(link_, *port_, command, options_.replyTimeoutMs, false, thread_)) {
      case ReplyWaitResult::Replied:
        ++out.commandsAnswered;
        SleepMs(options_.pauseMs);
        break;
      case ReplyWaitResult::TimedOut:
        SignalError();
        LogInfo("SENDING COMMANDS TIMED OUT AT " + command, static_cast<int>(start), false);
        out.result = SendResult::TimedOut;
        return;
      case ReplyWaitResult::Disconnected:
        SignalError();
        LogInfo("SENDING COMMANDS STOPPED, PORT DISCONNECTED AT " + command,
                static_cast<int>(start), false);
        out.result = SendResult::Disconnected;
        return;
      case ReplyWaitResult::Stopped:
        out.result = SendResult::Cancelled;
        return;
    }
  }
}

SendOutcome SendBuffer(UnitLink& link, const std::string& caption, const uint8_t* buffer,
                       uint32_t length, const SendOptions& options) {
  std::shared_ptr<serialcomclass> port = link.Port();
  if (!port || !port->IsRunning()) {
    SendOutcome none;
    none.result = SendResult::NoPort;
    return none;
  }
  qm48cmdrxthreadclass sender(link, std::move(port), buffer, length, options);
  ProgressDialogRequest request;
  request.caption = caption;
  Operator().RunProgress(request, sender);
  return sender.WaitOutcome();
}
