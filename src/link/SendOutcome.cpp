#include "link/SendOutcome.h"

namespace {
std::string CommandRef(const SendOutcome& o) {
  return "command " + std::to_string(o.commandNumber) + " (" + o.commandText + ")";
}
}  // namespace

const char* SendResultName(SendResult result) {
  switch (result) {
    case SendResult::Done:
      return "done";
    case SendResult::TimedOut:
      return "timed out";
    case SendResult::Cancelled:
      return "cancelled";
    case SendResult::NoPort:
      return "no port";
    case SendResult::Disconnected:
      return "disconnected";
    case SendResult::InvalidReply:
      return "invalid reply";
  }
  return "unknown";
}

std::string SendOutcomeText(const SendOutcome& o) {
  switch (o.result) {
    case SendResult::Done:
      return "all " + std::to_string(o.commandsAnswered) + " commands answered";
    case SendResult::TimedOut:
      return "the unit did not answer " + CommandRef(o);
    case SendResult::Cancelled:
      return "cancelled after " + std::to_string(o.commandsAnswered) + " answered commands";
    case SendResult::NoPort:
      return "no serial port is open; nothing was sent";
    case SendResult::Disconnected:
      return "the serial port went away at " + CommandRef(o);
    case SendResult::InvalidReply:
      if (o.replyLines > 1)
        return std::to_string(o.replyLines) + " lines came for " + CommandRef(o) +
               ", none taken as the unit's reply: is another device talking on the line?";
      return "the unit's reply to " + CommandRef(o) + " could not be read";
  }
  return "unknown outcome";
}
