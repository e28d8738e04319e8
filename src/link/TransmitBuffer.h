#pragma once
// A loader's transmit buffer: commands stored back to back (no separators), later cut
// back into commands by NextCommand and sent one at a time. It grows as needed: the
// largest frames need far more than the unit's traditional 32 KiB of commands.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "link/CommandCutter.h"  // NextCommand

class TransmitBuffer {
 public:
  explicit TransmitBuffer(size_t initialCapacity = 32768) { bytes_.reserve(initialCapacity); }

  void ClearTxBuffer() { bytes_.clear(); }
  void AppendCommand(const std::string& text) {
    bytes_.insert(bytes_.end(), text.begin(), text.end());
  }
  const uint8_t* Data() const { return bytes_.data(); }
  uint32_t Fill() const { return static_cast<uint32_t>(bytes_.size()); }
  const std::vector<uint8_t>& Bytes() const { return bytes_; }

 private:
  std::vector<uint8_t> bytes_;
};

// Every command of a buffer, in order.
std::vector<std::string> SplitCommands(const TransmitBuffer& buffer);
