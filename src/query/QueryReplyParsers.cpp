#include "query/QueryReplyParsers.h"

#include <functional>

#include "support/NumberText.h"
#include "support/ProgramLog.h"
#include "support/Signals.h"

namespace {

constexpr int kInvalidReplyTag = 255;

// The common walk over a reply: up to count tokens, each handed to store with its
// position. The reply is a copy; a NUL ends it as it ends the received line's text.
ReplyParse ParseTokens(std::string reply, int count, const char* invalidText,
                       const char* parsedPrefix,
                       const std::function<void(int n, uint32_t value)>& store) {
  ReplyParse parse;
  const size_t nul = reply.find('\0');
  if (nul != std::string::npos) reply.resize(nul);
  if (reply.empty()) {
    SignalError();
    LogInfo(invalidText, kInvalidReplyTag, false);
    return parse;
  }
  for (int n = 0; n < count; ++n) {
    const std::string token = TextBefore(reply, " ");
    if (token.empty()) break;
    reply.erase(0, token.size());
    if (!reply.empty()) reply.erase(0, 1);
    ++parse.tokensTaken;
    bool ok = false;
    const uint32_t value = HexTextToValue(token, ok);
    if (!ok) continue;
    store(n, value);
    ++parse.valuesStored;
    parse.storedMask |= 1u << n;
    LogDetail(parsedPrefix + std::to_string(value), n);
  }
  return parse;
}

}  // namespace

std::string FormatNameText(const WQueryResults& w) {
  std::string text;
  for (char c : w.FormatName) {
    if (c == '\0') break;
    text += c;
  }
  return text;
}

ReplyParse ParseQueryReply(const std::string& reply, QueryResults& r) {
  return ParseTokens(reply, kQueryValueCount, "Invalid Query Data Received",
                     "PARSED VALUE FROM QUERY IS ", [&r](int n, uint32_t v) {
                       // The unit sends the minimum before the maximum.
                       switch (n) {
                         case 0:
                           r.FormatNumber = v;
                           break;
                         case 1:
                           r.MinFreqMhz = v;
                           break;
                         case 2:
                           r.MaxFreqMhz = v;
                           break;
                         case 3:
                         case 4:
                         case 5:
                         case 6:
                           r.PremodFilterFreqKhz[n - 3] = v;
                           break;
                         case 7:
                           r.CurrentFormatLoaded = v;
                           break;
                         case 8:
                           r.FreqSelectedMhz = v;
                           break;
                         case 9:
                           r.DeviationSelected = v;
                           break;
                         case 10:
                           r.PremodSelected = v;
                           break;
                         case 11:
                           r.AttenuationDb = v;
                           break;
                         case 12:
                           r.PatternType = v;
                           break;
                         case 13:
                           r.InputModulationSource = v;
                           break;
                         default:
                           break;
                       }
                     });
}

ReplyParse ParseWQueryReply(const std::string& reply, WQueryResults& r) {
  ReplyParse parse = ParseTokens(reply, kWQueryValueCount, "Invalid W-Query Data Received",
                                 "PARSED VALUE FROM QUERY IS ", [&r](int n, uint32_t v) {
                                   switch (n) {
                                     case 0:
                                       r.FreqSelected100khz = v;
                                       break;
                                     case 1:
                                       r.Deviation = v;
                                       break;
                                     case 2:
                                       r.PremodFilter = v;
                                       break;
                                     case 3:
                                       r.ClockRateMsb = v;
                                       break;
                                     case 4:
                                       r.ClockRateLsb = v;
                                       break;
                                     case 5:
                                     case 6:
                                     case 7:
                                       r.ControlReg[n - 5] = v;
                                       break;
                                     default:
                                       if (n >= 8 && n < 12) r.FormatNameCode[n - 8] = v;
                                       break;
                                   }
                                 });
  if (parse.tokensTaken == kWQueryValueCount) {
    r.FormatName.fill('\0');
    for (size_t k = 0; k < r.FormatNameCode.size(); ++k) {
      r.FormatName[2 * k] = static_cast<char>((r.FormatNameCode[k] >> 8) & 0xFF);
      r.FormatName[2 * k + 1] = static_cast<char>(r.FormatNameCode[k] & 0xFF);
    }
  }
  return parse;
}

ReplyParse ParseIQueryReply(const std::string& reply, int iIndex, IQueryResults& r) {
  // Only the three information items exist; an unknown item stores (and counts) nothing.
  if (iIndex < 0 || iIndex > 2) return ReplyParse{};
  return ParseTokens(reply, 1, "Invalid I-Query Data Received", "PARSED VALUE FROM I QUERY IS ",
                     [&r, iIndex](int, uint32_t v) {
                       if (iIndex == 0) r.FirmwareVersion = v;
                       if (iIndex == 1) r.MaxDb = v;
                       if (iIndex == 2) r.NumAttenSteps = v;
                     });
}
