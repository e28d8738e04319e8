#pragma once
// How a send to the unit ended. A send that did not get every command answered never
// reports Done: the caller tells the operator (message box, exit code) what happened.
#include <cstdint>
#include <string>

enum class SendResult {
  Done,          // every command was answered
  TimedOut,      // no reply to the command named in the outcome
  Cancelled,     // the operator cancelled (or the program is closing)
  NoPort,        // no application port is open: nothing was sent
  Disconnected,  // the port went away (device unplugged, line closed) during the send
  InvalidReply,  // a query was answered, but its reply did not carry every value
};

struct SendOutcome {
  SendResult result = SendResult::Done;
  uint32_t commandNumber = 0;  // 1-based number of the command the send ended at, 0: none
  uint32_t commandStart = 0;   // that command's start index in the transmit buffer
  std::string commandText;     // that command
  uint32_t commandsAnswered = 0;
  uint32_t replyLines = 0;  // InvalidReply: lines that came for the command; more than one
                            // means another device talked on the line

  bool Ok() const { return result == SendResult::Done; }
};

// "done", "timed out", "cancelled", "no port", "disconnected", "invalid reply".
const char* SendResultName(SendResult result);
// One line for the operator, e.g. "no reply to command 12 (0800 0000 M)".
std::string SendOutcomeText(const SendOutcome& outcome);
