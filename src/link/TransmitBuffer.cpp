#include "link/TransmitBuffer.h"

#include <utility>

std::vector<std::string> SplitCommands(const TransmitBuffer& buffer) {
  std::vector<std::string> commands;
  uint32_t index = 0;
  for (;;) {
    std::string command = NextCommand(buffer.Data(), buffer.Fill(), index);
    if (command.empty()) break;
    commands.push_back(std::move(command));
  }
  return commands;
}
