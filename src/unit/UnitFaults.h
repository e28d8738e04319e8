#pragma once
// The ways the virtual unit can be told to misbehave, for tests of the controller.
#include <cstdint>
#include <string>

enum class FaultKind {
  None,
  Silent,        // never answers
  SilentAfter,   // answers the first `count` commands, then nothing
  Garbage,       // random bytes instead of the reply text, then the carriage return
  DoubleCr,      // every reply ends with two carriage returns
  StrayCr,       // a lone carriage return a moment before every reply
  Slow,          // waits `count` ms before every reply
  VanishAfter,   // answers `count` commands; the next one closes the pseudo-terminal
  Echo,          // sends the command back before the reply text
  SecondWriter,  // another device shares the line: lines of its own before and after replies
  ShortReply,    // every reply stops after its first `count` values
};

struct FaultMode {
  FaultKind kind = FaultKind::None;
  uint64_t count = 0;  // N of silent-after/vanish-after, MS of slow
};

// Reads "silent", "silent-after=N", "garbage", "double-cr", "stray-cr", "slow=MS",
// "vanish-after=N", "echo", "second-writer", "short-reply=N" (or "none"). False with a reason for
// anything else.
bool ParseFaultMode(const std::string& text, FaultMode& mode, std::string& error);
std::string FaultModeText(const FaultMode& mode);
