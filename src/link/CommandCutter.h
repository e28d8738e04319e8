#pragma once
// The one place that cuts a byte stream into commands the way the unit does: an upper-case
// letter "G".."Z" ends a command, except that "H" (the format name) also takes the eight
// name bytes after it, whatever they are. "A".."F" are hex digits and lower case never
// ends a command. The senders cut their transmit buffers with it, the virtual unit the
// bytes it reads; the query rules leave "H" an ordinary letter (a query holds no name).
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

class CommandCutter {
 public:
  enum class Rules { Load, Query };
  // A command this long without its letter is given up (returned as it stands).
  static constexpr size_t kMaxCommandBytes = 512;
  static constexpr size_t kNameBytes = 8;

  explicit CommandCutter(Rules rules = Rules::Load) : rules_(rules) {}

  // Takes one byte; returns the command it completes, if any.
  std::optional<std::string> Feed(uint8_t byte);
  // Bytes of an unfinished command.
  const std::string& Pending() const { return text_; }
  // The unfinished command, which is forgotten.
  std::string TakePending();
  // The last command returned ended at kMaxCommandBytes, not at its letter.
  bool GaveUp() const { return gaveUp_; }

 private:
  Rules rules_;
  std::string text_;
  size_t nameBytesLeft_ = 0;  // after "H"
  bool gaveUp_ = false;
};

// The next command of buffer[index, fill), index moved past it; what is left at the end
// of the buffer is returned as it stands, "" when nothing is. A command given up without
// its letter is logged with the error signal.
std::string NextCommand(const uint8_t* buffer, uint32_t fill, uint32_t& index,
                        CommandCutter::Rules rules = CommandCutter::Rules::Load);
