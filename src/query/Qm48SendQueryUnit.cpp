#include "query/Qm48SendQueryUnit.h"

#include "link/ReplyWait.h"
#include "serial/ApplicationPort.h"
#include "serial/serialcomclass.h"
#include "support/NumberText.h"
#include "support/ProgramLog.h"
#include "support/Signals.h"

namespace {
constexpr size_t kMaxQueryCommandLength = 512;

int ExpectedValues(const QueryKind& kind) {
  if (kind.iQuery) return 1;
  return kind.wQuery ? kWQueryValueCount : kQueryValueCount;
}
}  // namespace

std::string NextQueryCommand(const uint8_t* buffer, uint32_t fill, uint32_t& index) {
  const uint32_t start = index;
  std::string text;
  while (index < fill) {
    const uint8_t byte = buffer[index++];
    text += static_cast<char>(byte);
    if (byte >= 'G' && byte <= 'Z') return text;
    if (text.size() >= kMaxQueryCommandLength) {
      LogInfo("ERROR WITH SENDING BUFFER, NO COMMAND CHARACTER, INDEX START WAS " +
                  FloatText(start, 0, 5),
              static_cast<int>(start), false);
      SignalError();
      return text;
    }
  }
  return text;
}

qm48queryrxthreadclass::qm48queryrxthreadclass(std::shared_ptr<serialcomclass> port,
                                               const uint8_t* buffer, uint32_t length,
                                               QueryKind kind, QueryBlocks blocks,
                                               QueryOptions options)
    : port_(std::move(port)),
      buffer_(buffer),
      length_(length),
      kind_(kind),
      blocks_(blocks),
      options_(options),
      thread_(ReplyEvent()) {}

void qm48queryrxthreadclass::Start() {
  thread_.Start([this] { Body(); });
}

SendOutcome qm48queryrxthreadclass::WaitOutcome() {
  thread_.StopAndJoin();
  return outcome_;
}

void qm48queryrxthreadclass::ParseReply(const std::string& reply) {
  if (kind_.iQuery) {
    if (blocks_.iResults) parse_ = ParseIQueryReply(reply, kind_.iIndex, *blocks_.iResults);
  } else if (kind_.wQuery) {
    if (blocks_.wResults) parse_ = ParseWQueryReply(reply, *blocks_.wResults);
  } else if (blocks_.results) {
    parse_ = ParseQueryReply(reply, *blocks_.results);
  }
}

void qm48queryrxthreadclass::Body() {
  uint32_t index = 0;
  SendOutcome& out = outcome_;
  out.result = SendResult::Cancelled;
  bool invalid = false;
  while (!thread_.StopRequested()) {
    const uint32_t start = index;
    std::string command = NextQueryCommand(buffer_, length_, index);
    thread_.SetPosition(index);
    if (command.empty()) {
      out.result = invalid ? SendResult::InvalidReply : SendResult::Done;
      return;
    }
    ++out.commandNumber;
    out.commandStart = start;
    out.commandText = command;
    // The reply line is emptied before sending: what earlier commands left there is
    // never read as this query's values.
    switch (SendAndAwaitReply(*port_, command, options_.replyTimeoutMs, true, thread_)) {
      case ReplyWaitResult::Replied:
        break;
      case ReplyWaitResult::TimedOut:
        SignalError();
        LogInfo(std::string(kind_.wQuery ? "SENDING W-QUERY COMMANDS TIMED OUT AT "
                                         : "SENDING QUERY COMMANDS TIMED OUT AT ") +
                    command,
                static_cast<int>(start), false);
        out.result = SendResult::TimedOut;
        return;
      case ReplyWaitResult::Disconnected:
        SignalError();
        LogInfo("SENDING QUERY COMMANDS STOPPED, PORT DISCONNECTED AT " + command,
                static_cast<int>(start), false);
        out.result = SendResult::Disconnected;
        return;
      case ReplyWaitResult::Stopped:
        out.result = SendResult::Cancelled;
        return;
    }
    ++out.commandsAnswered;
    ParseReply(TakeReplyLine());
    if (!parse_.Complete(ExpectedValues(kind_))) invalid = true;
  }
}

SendOutcome SendQuery(const std::string& caption, QueryKind kind, QueryBlocks blocks,
                      const uint8_t* buffer, uint32_t length, const QueryOptions& options,
                      ReplyParse* parse) {
  std::shared_ptr<serialcomclass> port = ComPort();
  if (!port || !port->IsRunning()) {
    SendOutcome none;
    none.result = SendResult::NoPort;
    return none;
  }
  qm48queryrxthreadclass query(std::move(port), buffer, length, kind, blocks, options);
  ProgressDialogRequest request;
  request.caption = caption;
  Operator().RunProgress(request, query);
  SendOutcome outcome = query.WaitOutcome();
  if (parse) *parse = query.Parse();
  return outcome;
}
