#include "unit/UnitFaults.h"

#include <charconv>

namespace {

bool ParseCount(const std::string& text, uint64_t& value) {
  if (text.empty()) return false;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  return ec == std::errc() && end == text.data() + text.size();
}

}  // namespace

bool ParseFaultMode(const std::string& text, FaultMode& mode, std::string& error) {
  struct Name {
    const char* text;
    FaultKind kind;
    bool counted;
  };
  static const Name names[] = {
      {"none", FaultKind::None, false},
      {"silent", FaultKind::Silent, false},
      {"silent-after", FaultKind::SilentAfter, true},
      {"garbage", FaultKind::Garbage, false},
      {"double-cr", FaultKind::DoubleCr, false},
      {"stray-cr", FaultKind::StrayCr, false},
      {"slow", FaultKind::Slow, true},
      {"vanish-after", FaultKind::VanishAfter, true},
      {"echo", FaultKind::Echo, false},
      {"second-writer", FaultKind::SecondWriter, false},
      {"short-reply", FaultKind::ShortReply, true},
  };
  size_t eq = text.find('=');
  std::string name = text.substr(0, eq);
  for (const Name& n : names) {
    if (name != n.text) continue;
    FaultMode parsed{n.kind, 0};
    if (n.counted != (eq != std::string::npos) ||
        (n.counted && !ParseCount(text.substr(eq + 1), parsed.count))) {
      error = n.counted ? "fault mode '" + name + "' needs a number: " + name + "=N"
                        : "fault mode '" + name + "' takes no number";
      return false;
    }
    mode = parsed;
    return true;
  }
  error = "unknown fault mode '" + text +
          "' (silent, silent-after=N, garbage, double-cr, stray-cr, slow=MS, vanish-after=N, echo, "
          "second-writer, short-reply=N)";
  return false;
}

std::string FaultModeText(const FaultMode& mode) {
  switch (mode.kind) {
    case FaultKind::None:
      return "none";
    case FaultKind::Silent:
      return "silent";
    case FaultKind::SilentAfter:
      return "silent-after=" + std::to_string(mode.count);
    case FaultKind::Garbage:
      return "garbage";
    case FaultKind::DoubleCr:
      return "double-cr";
    case FaultKind::StrayCr:
      return "stray-cr";
    case FaultKind::Slow:
      return "slow=" + std::to_string(mode.count);
    case FaultKind::VanishAfter:
      return "vanish-after=" + std::to_string(mode.count);
    case FaultKind::Echo:
      return "echo";
    case FaultKind::SecondWriter:
      return "second-writer";
    case FaultKind::ShortReply:
      return "short-reply=" + std::to_string(mode.count);
  }
  return "none";
}
