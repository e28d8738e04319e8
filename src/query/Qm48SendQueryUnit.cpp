#include "query/Qm48SendQueryUnit.h"

#include <chrono>

#include "link/CommandCutter.h"
#include "link/ReplyWait.h"
#include "link/UnitLink.h"
#include "serial/serialcomclass.h"
#include "support/NumberText.h"
#include "support/ProgramLog.h"
#include "support/Signals.h"

namespace {
constexpr int kInvalidReplyTag = 255;
constexpr const char* kInvalidText[] = {"Invalid Query Data Received",
                                        "Invalid W-Query Data Received",
                                        "Invalid I-Query Data Received"};

int ExpectedValues(const QueryKind& kind) {
  if (kind.iQuery) return 1;
  return kind.wQuery ? kWQueryValueCount : kQueryValueCount;
}
}  // namespace

std::string NextQueryCommand(const uint8_t* buffer, uint32_t fill, uint32_t& index) {
  return NextCommand(buffer, fill, index, CommandCutter::Rules::Query);
}

qm48queryrxthreadclass::qm48queryrxthreadclass(UnitLink& link, std::shared_ptr<serialcomclass> port,
                                               const uint8_t* buffer, uint32_t length,
                                               QueryKind kind, QueryBlocks blocks,
                                               QueryOptions options)
    : link_(link),
      port_(std::move(port)),
      buffer_(buffer),
      length_(length),
      kind_(kind),
      blocks_(blocks),
      options_(options),
      thread_(link.ReplyEvent()) {}

void qm48queryrxthreadclass::Start() {
  thread_.Start([this] { Body(); });
}

SendOutcome qm48queryrxthreadclass::WaitOutcome() {
  thread_.StopAndJoin();
  return outcome_;
}

ReplyParse qm48queryrxthreadclass::ParseReply(const std::string& reply, QueryCopies& into) const {
  if (kind_.iQuery) return ParseIQueryReply(reply, kind_.iIndex, into.iResults);
  if (kind_.wQuery) return ParseWQueryReply(reply, into.wResults);
  return ParseQueryReply(reply, into.results);
}

void qm48queryrxthreadclass::Store(const QueryCopies& copies) const {
  if (kind_.iQuery) {
    if (blocks_.iResults) *blocks_.iResults = copies.iResults;
  } else if (kind_.wQuery) {
    if (blocks_.wResults) *blocks_.wResults = copies.wResults;
  } else if (blocks_.results) {
    *blocks_.results = copies.results;
  }
}

qm48queryrxthreadclass::QueryCopies qm48queryrxthreadclass::Copies() const {
  QueryCopies copies;
  if (blocks_.results) copies.results = *blocks_.results;
  if (blocks_.wResults) copies.wResults = *blocks_.wResults;
  if (blocks_.iResults) copies.iResults = *blocks_.iResults;
  return copies;
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
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(options_.replyTimeoutMs);
    // The reply line is emptied before sending: what earlier commands left there is
    // never read as this query's values.
    switch (SendAndAwaitReply(link_, *port_, command, options_.replyTimeoutMs, true, thread_)) {
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
    // Parsed into copies first: only a line known to be the unit's reaches the results.
    uint32_t lines = 0;
    QueryCopies copies = Copies();
    ReplyParse parse = ParseReply(link_.TakeReplyLine(&lines), copies);
    if (lines != 1 || !parse.Complete(ExpectedValues(kind_))) {
      // Not one clean answer: another device on the line may have spoken first, with the
      // unit's reply still to come. What arrives until the reply time is up decides. A wake
      // that found no finished line (a lone carriage return) is no reply: the first line
      // that does finish is the one parsed, and taken at once when it is clean.
      for (;;) {
        const ReplyWaitResult more = AwaitReplyUntil(*port_, deadline, thread_);
        if (more == ReplyWaitResult::Stopped) {
          out.result = SendResult::Cancelled;
          return;
        }
        if (more != ReplyWaitResult::Replied) break;
        uint32_t moreLines = 0;
        const std::string text = link_.TakeReplyLine(&moreLines);
        if (lines == 0 && moreLines > 0) {
          copies = Copies();
          parse = ParseReply(text, copies);
          lines = moreLines;
          if (lines == 1 && parse.Complete(ExpectedValues(kind_))) break;
          continue;
        }
        lines += moreLines;
      }
    }
    out.replyLines = lines;
    if (lines > 1) {
      // Whose values are whose cannot be told: none of them is kept.
      SignalError();
      LogInfo(kInvalidText[kind_.iQuery ? 2 : kind_.wQuery ? 1 : 0], kInvalidReplyTag, false);
      parse_ = ReplyParse{};
      invalid = true;
      continue;
    }
    Store(copies);
    parse_ = parse;
    if (!parse_.Complete(ExpectedValues(kind_))) invalid = true;
  }
}

SendOutcome SendQuery(UnitLink& link, const std::string& caption, QueryKind kind,
                      QueryBlocks blocks, const uint8_t* buffer, uint32_t length,
                      const QueryOptions& options, ReplyParse* parse) {
  std::shared_ptr<serialcomclass> port = link.Port();
  if (!port || !port->IsRunning()) {
    SendOutcome none;
    none.result = SendResult::NoPort;
    return none;
  }
  qm48queryrxthreadclass query(link, std::move(port), buffer, length, kind, blocks, options);
  ProgressDialogRequest request;
  request.caption = caption;
  Operator().RunProgress(request, query);
  SendOutcome outcome = query.WaitOutcome();
  if (parse) *parse = query.Parse();
  return outcome;
}
