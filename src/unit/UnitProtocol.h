#pragma once
// The unit's command interpreter, free of any device: bytes in, reply lines out.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "link/CommandCutter.h"
#include "unit/UnitLimits.h"
#include "unit/UnitState.h"

class UnitProtocol {
 public:
  explicit UnitProtocol(UnitLimits limits = {}) : limits_(limits) {}

  struct Exchange {
    std::string command;  // as cut from the line
    std::string reply;    // reply text, without the carriage return
  };
  // Cuts, executes and answers every command the bytes complete, in order.
  std::vector<Exchange> Feed(const uint8_t* bytes, size_t count);
  std::vector<Exchange> Feed(const std::string& bytes);
  // Executes one whole command and returns its reply text.
  std::string Execute(const std::string& command);

  const UnitState& State() const { return state_; }
  const UnitLimits& Limits() const { return limits_; }

 private:
  std::string ExecuteLetter(char letter, const std::string& arguments);

  UnitLimits limits_;
  UnitState state_;
  CommandCutter cutter_;
};
