#pragma once
// The reply line being received from the unit: written by the port thread, taken and
// emptied by a sender thread, so every access is locked.
#include <cstdint>
#include <mutex>
#include <string>

class ReplyLineBuffer {
 public:
  static constexpr uint32_t kCapacity = 511;

  // Port thread: adds the bytes of a line. When the buffer is full, finished lines that
  // nobody took are dropped to make room; a single line longer than kCapacity keeps its
  // first kCapacity bytes, the rest up to its carriage return is dropped and logged once.
  void Append(const uint8_t* bytes, uint32_t count);
  // Port thread: a carriage return ended the line (it stays until it is taken).
  void EndLine();

  // The text of the lines ended so far, which are emptied; a line still coming stays for
  // the next Take. `lines` (when given) gets how many lines with any bytes ended since the
  // line was last emptied: more than one means lines ran together. A line that had begun
  // before a Clear counts twice when it ends, so the tail of a cut line never passes for
  // one whole reply.
  // Lines dropped for room still count.
  std::string Take(uint32_t* lines = nullptr);
  void Clear();
  std::string Text() const;  // everything held, the line still coming included
  uint32_t Length() const;

 private:
  void DropFinishedLines();  // under the lock

  mutable std::mutex mutex_;
  char text_[kCapacity + 1] = {};
  uint32_t length_ = 0;
  bool dropping_ = false;        // the current line overflowed; drop up to its carriage return
  bool overflowLogged_ = false;  // one log line until the line is emptied
  bool lineHasBytes_ = false;    // bytes came since the last carriage return
  bool lineWasCut_ = false;      // the line coming began before the last Clear
  uint32_t lineStart_ = 0;       // where the line still coming starts in text_
  uint32_t linesEnded_ = 0;      // lines with bytes ended since the line was last emptied
};
