// The query reply parsers: any reply line parses, never reads more tokens than the query
// delivers, and stores only tokens it read.
#include <string>

#include "FuzzSupport.h"
#include "query/QueryReplyParsers.h"

namespace {

void CheckParse(const ReplyParse& parse, int count) {
  FUZZ_CHECK(parse.tokensTaken >= 0 && parse.tokensTaken <= count);
  FUZZ_CHECK(parse.valuesStored >= 0 && parse.valuesStored <= parse.tokensTaken);
  int stored = 0;
  for (int n = 0; n < 32; ++n) stored += parse.Stored(n) ? 1 : 0;
  FUZZ_CHECK(stored == parse.valuesStored);
  FUZZ_CHECK(parse.storedMask >> parse.tokensTaken == 0 || parse.tokensTaken >= 32);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzInput in(data, size);
  const int iIndex = static_cast<int8_t>(in.Byte());
  const std::string reply = in.Rest();

  QueryResults q;
  CheckParse(ParseQueryReply(reply, q), kQueryValueCount);

  WQueryResults w;
  w.FormatName.fill('?');
  w.FormatName.back() = '\0';
  const ReplyParse wParse = ParseWQueryReply(reply, w);
  CheckParse(wParse, kWQueryValueCount);
  FUZZ_CHECK(w.FormatName.back() == '\0');
  FUZZ_CHECK(FormatNameText(w).size() <= 8);

  IQueryResults i;
  CheckParse(ParseIQueryReply(reply, iIndex, i), 1);
  // An index outside the three replies stores nothing.
  if (iIndex < 0 || iIndex >= kIQueryCount)
    FUZZ_CHECK(i.FirmwareVersion == 0 && i.MaxDb == 0 && i.NumAttenSteps == 0);
  return 0;
}
