#pragma once
// The query sender: sends the one query command of a transmit buffer on a link's port
// under a progress dialog, waits for the unit's reply line and parses it into the
// query results.
#include <cstdint>
#include <memory>
#include <string>

#include "link/SendOutcome.h"
#include "link/SenderThread.h"
#include "query/QueryReplyParsers.h"
#include "query/QueryResults.h"
#include "support/Operator.h"

class serialcomclass;
class UnitLink;

// Which reply a query expects: the Query, the W-Query, or one of the three I-Queries.
struct QueryKind {
  bool wQuery = false;
  bool iQuery = false;
  int iIndex = 0;  // 0 firmware version, 1 maximum attenuation, 2 attenuation steps
};

struct QueryBlocks {
  QueryResults* results = nullptr;
  WQueryResults* wResults = nullptr;
  IQueryResults* iResults = nullptr;
};

struct QueryOptions {
  int replyTimeoutMs = 2000;
};

// Like the command cutter, but any letter from "G" to "Z" ends a command ("H" has no
// name bytes here). 512 bytes without such a letter are logged and taken as one command.
std::string NextQueryCommand(const uint8_t* buffer, uint32_t fill, uint32_t& index);

class qm48queryrxthreadclass final : public ProgressTask {
 public:
  // Sends on port, the link's port when the query began; the link gives the reply event
  // and the reply line.
  qm48queryrxthreadclass(UnitLink& link, std::shared_ptr<serialcomclass> port,
                         const uint8_t* buffer, uint32_t length, QueryKind kind, QueryBlocks blocks,
                         QueryOptions options);

  void Start() override;
  bool Finished() const override { return thread_.Finished(); }
  int Position() const override { return static_cast<int>(thread_.Position()); }
  int Maximum() const override { return static_cast<int>(length_); }
  void Cancel() override { thread_.RequestStop(); }
  void AwaitChange(int seen, int timeoutMs) const override {
    thread_.AwaitChange(static_cast<uint32_t>(seen), timeoutMs);
  }

  // Stops a thread still running, waits for it and returns how the query ended; a reply
  // that did not carry every value of its query ends as InvalidReply, and so does one
  // that came with other lines (another device on the line): none of its values is kept.
  SendOutcome WaitOutcome();
  // The parse of the last reply (valid after WaitOutcome).
  const ReplyParse& Parse() const { return parse_; }

 private:
  // Private copies of the result blocks, parsed into before anything is stored.
  struct QueryCopies {
    QueryResults results;
    WQueryResults wResults;
    IQueryResults iResults;
  };
  void Body();
  QueryCopies Copies() const;
  ReplyParse ParseReply(const std::string& reply, QueryCopies& into) const;
  void Store(const QueryCopies& copies) const;

  UnitLink& link_;
  std::shared_ptr<serialcomclass> port_;
  const uint8_t* buffer_;
  uint32_t length_;
  QueryKind kind_;
  QueryBlocks blocks_;
  QueryOptions options_;
  SendOutcome outcome_;  // written by the thread, read after it has ended
  ReplyParse parse_;
  SenderThread thread_;  // last: destroyed (joined) before the members it uses
};

// Runs one query under a progress dialog with the caption; the parse is stored in *parse
// when given. Without an open port nothing is sent and the results stay as they were.
SendOutcome SendQuery(UnitLink& link, const std::string& caption, QueryKind kind,
                      QueryBlocks blocks, const uint8_t* buffer, uint32_t length,
                      const QueryOptions& options = {}, ReplyParse* parse = nullptr);
