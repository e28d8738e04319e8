#include "serial/ReplyLine.h"

#include "support/ProgramLog.h"

void ReplyLineBuffer::Append(const uint8_t* bytes, uint32_t count) {
  bool logNow = false;
  {
    std::lock_guard lock(mutex_);
    if (count > 0) lineHasBytes_ = true;
    for (uint32_t i = 0; i < count; ++i) {
      // Finished lines nobody took (the replies of a command load) make room for the line
      // coming: only one line longer than the buffer is ever cut.
      if (!dropping_ && length_ == kCapacity && lineStart_ > 0) DropFinishedLines();
      if (!dropping_ && length_ < kCapacity) {
        text_[length_++] = static_cast<char>(bytes[i]);
        continue;
      }
      if (!dropping_ && !overflowLogged_) logNow = overflowLogged_ = true;
      dropping_ = true;
    }
    text_[length_] = 0;
  }
  if (logNow)
    LogInfo("REPLY LINE FULL: bytes past " + std::to_string(kCapacity) +
                " are dropped up to the carriage return",
            static_cast<int>(kCapacity), false);
}

void ReplyLineBuffer::DropFinishedLines() {
  const uint32_t rest = length_ - lineStart_;
  for (uint32_t i = 0; i < rest; ++i) text_[i] = text_[lineStart_ + i];
  length_ = rest;
  lineStart_ = 0;
  text_[length_] = 0;
}

void ReplyLineBuffer::EndLine() {
  std::lock_guard lock(mutex_);
  dropping_ = false;
  if (lineHasBytes_) linesEnded_ += lineWasCut_ ? 2 : 1;
  lineHasBytes_ = false;
  lineWasCut_ = false;
  lineStart_ = length_;
}

std::string ReplyLineBuffer::Take(uint32_t* lines) {
  std::lock_guard lock(mutex_);
  std::string text(text_, lineStart_);
  if (lines) *lines = linesEnded_;
  linesEnded_ = 0;
  DropFinishedLines();  // the line still coming moves to the front
  overflowLogged_ = false;
  return text;
}

void ReplyLineBuffer::Clear() {
  std::lock_guard lock(mutex_);
  lineWasCut_ = lineHasBytes_;
  linesEnded_ = 0;
  length_ = 0;
  lineStart_ = 0;
  text_[0] = 0;
  overflowLogged_ = false;
}

std::string ReplyLineBuffer::Text() const {
  std::lock_guard lock(mutex_);
  return std::string(text_, length_);
}

uint32_t ReplyLineBuffer::Length() const {
  std::lock_guard lock(mutex_);
  return length_;
}
