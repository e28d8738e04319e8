#pragma once
// Cuts the byte stream from the line into commands the way the unit does: an upper-case
// letter "G".."Z" ends a command, except that "H" also takes the eight name bytes after
// it whatever they are. "A".."F" are hex digits and lower case never ends a command.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "unit/UnitState.h"

class UnitCommandCutter {
 public:
  // A command longer than this without its letter is given up (returned as it stands).
  static constexpr size_t kMaxCommandBytes = 512;

  // Takes one byte; returns the command it completes, if any.
  std::optional<std::string> Feed(uint8_t byte);
  // Bytes of an unfinished command.
  const std::string& Pending() const { return text_; }

 private:
  std::string text_;
  int nameBytesLeft_ = 0;  // after "H"
};
