#include "unit/UnitFaults.h"

#include <charconv>

namespace {

// Every mode once: parsing, the list in the refusal and the text of a mode all read it.
struct ModeName {
  const char* text;
  FaultKind kind;
  const char* argument;  // what the number after '=' is, or nullptr for none
};
constexpr ModeName kModeNames[] = {
    {"none", FaultKind::None, nullptr},
    {"silent", FaultKind::Silent, nullptr},
    {"silent-after", FaultKind::SilentAfter, "N"},
    {"garbage", FaultKind::Garbage, nullptr},
    {"double-cr", FaultKind::DoubleCr, nullptr},
    {"stray-cr", FaultKind::StrayCr, nullptr},
    {"slow", FaultKind::Slow, "MS"},
    {"vanish-after", FaultKind::VanishAfter, "N"},
    {"echo", FaultKind::Echo, nullptr},
    {"second-writer", FaultKind::SecondWriter, nullptr},
    {"short-reply", FaultKind::ShortReply, "N"},
};

bool ParseCount(const std::string& text, uint64_t& value) {
  if (text.empty()) return false;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  return ec == std::errc() && end == text.data() + text.size();
}

}  // namespace

bool ParseFaultMode(const std::string& text, FaultMode& mode, std::string& error) {
  size_t eq = text.find('=');
  std::string name = text.substr(0, eq);
  for (const ModeName& n : kModeNames) {
    if (name != n.text) continue;
    const bool counted = n.argument != nullptr;
    FaultMode parsed{n.kind, 0};
    if (counted != (eq != std::string::npos) ||
        (counted && !ParseCount(text.substr(eq + 1), parsed.count))) {
      error = counted ? "fault mode '" + name + "' needs a number: " + name + "=N"
                      : "fault mode '" + name + "' takes no number";
      return false;
    }
    mode = parsed;
    return true;
  }
  std::string known;
  for (const ModeName& n : kModeNames) {
    if (n.kind == FaultKind::None) continue;
    known += (known.empty() ? "" : ", ") + std::string(n.text);
    if (n.argument) known += std::string("=") + n.argument;
  }
  error = "unknown fault mode '" + text + "' (" + known + ")";
  return false;
}

std::string FaultModeText(const FaultMode& mode) {
  for (const ModeName& n : kModeNames)
    if (n.kind == mode.kind)
      return n.argument ? std::string(n.text) + "=" + std::to_string(mode.count) : n.text;
  return "none";
}
