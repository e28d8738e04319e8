#pragma once
// The reply line being received from the unit: written by the port thread, taken and
// emptied by a sender thread, so every access is locked.
#include <cstdint>
#include <mutex>
#include <string>

class ReplyLineBuffer {
 public:
  static constexpr uint32_t kCapacity = 511;

  // Port thread: adds the bytes of a line. Past kCapacity the rest of the line up to its
  // carriage return is dropped; the first drop since the line was last emptied is logged.
  void Append(const uint8_t* bytes, uint32_t count);
  // Port thread: a carriage return ended the line (it stays until it is taken).
  void EndLine();

  // The text, and the line is emptied. `lines` (when given) gets how many lines with any
  // bytes ended since the line was last emptied: more than one means lines ran together.
  std::string Take(uint32_t* lines = nullptr);
  void Clear();
  std::string Text() const;
  uint32_t Length() const;

 private:
  mutable std::mutex mutex_;
  char text_[kCapacity + 1] = {};
  uint32_t length_ = 0;
  bool dropping_ = false;        // the current line overflowed; drop up to its carriage return
  bool overflowLogged_ = false;  // one log line until the line is emptied
  bool lineHasBytes_ = false;    // bytes came since the last carriage return
  uint32_t linesEnded_ = 0;      // lines with bytes ended since the line was last emptied
};
