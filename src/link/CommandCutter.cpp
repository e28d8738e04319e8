#include "link/CommandCutter.h"

#include <utility>

#include "support/NumberText.h"
#include "support/ProgramLog.h"
#include "support/Signals.h"

std::optional<std::string> CommandCutter::Feed(uint8_t byte) {
  text_.push_back(static_cast<char>(byte));
  gaveUp_ = false;
  if (nameBytesLeft_ > 0) {
    if (--nameBytesLeft_ > 0) return std::nullopt;
  } else if (byte == 'H' && rules_ == Rules::Load) {
    nameBytesLeft_ = kNameBytes;
    return std::nullopt;
  } else if (!(byte >= 'G' && byte <= 'Z')) {
    if (text_.size() < kMaxCommandBytes) return std::nullopt;
    gaveUp_ = true;
  }
  return std::exchange(text_, std::string());
}

std::string CommandCutter::TakePending() {
  nameBytesLeft_ = 0;
  return std::exchange(text_, std::string());
}

std::string NextCommand(const uint8_t* buffer, uint32_t fill, uint32_t& index,
                        CommandCutter::Rules rules) {
  const uint32_t start = index;
  CommandCutter cutter(rules);
  while (index < fill) {
    std::optional<std::string> command = cutter.Feed(buffer[index++]);
    if (!command) continue;
    if (cutter.GaveUp()) {
      LogInfo("ERROR WITH SENDING BUFFER, NO COMMAND CHARACTER, INDEX START WAS " +
                  FloatText(start, 0, 5),
              static_cast<int>(start), false);
      SignalError();
    }
    return *command;
  }
  return cutter.TakePending();
}
