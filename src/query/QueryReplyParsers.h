#pragma once
// Turns one reply line of the unit (without its carriage return) into query values.
// A reply holds hexadecimal values, each followed by one space; a value not followed by
// a space is not read, an empty token (two spaces in a row) ends the reply, and a token
// that is not hexadecimal is skipped without moving the values after it. Nothing of a
// reply, however malformed, is trusted beyond that.
#include <cstdint>
#include <string>

#include "query/QueryResults.h"

struct ReplyParse {
  int tokensTaken = 0;      // tokens read before the reply ended (at most the count asked for)
  int valuesStored = 0;     // of those, the ones that were hexadecimal and stored
  uint32_t storedMask = 0;  // bit n: token n was stored
  bool Stored(int n) const { return (storedMask >> n) & 1u; }
  // Every value the query delivers was stored.
  bool Complete(int count) const { return valuesStored == count; }
};

ReplyParse ParseQueryReply(const std::string& reply, QueryResults& results);
// Rebuilds FormatName only when all 12 tokens were read.
ReplyParse ParseWQueryReply(const std::string& reply, WQueryResults& results);
// iIndex 0: FirmwareVersion, 1: MaxDb, 2: NumAttenSteps; any other index stores nothing.
ReplyParse ParseIQueryReply(const std::string& reply, int iIndex, IQueryResults& results);
