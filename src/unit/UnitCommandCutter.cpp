#include "unit/UnitCommandCutter.h"

#include <utility>

std::optional<std::string> UnitCommandCutter::Feed(uint8_t byte) {
  text_.push_back(static_cast<char>(byte));
  if (nameBytesLeft_ > 0) {
    if (--nameBytesLeft_ > 0) return std::nullopt;
  } else if (byte == 'H') {
    nameBytesLeft_ = static_cast<int>(kUnitNameLength);
    return std::nullopt;
  } else if (!(byte >= 'G' && byte <= 'Z') && text_.size() < kMaxCommandBytes) {
    return std::nullopt;
  }
  return std::exchange(text_, std::string());
}
