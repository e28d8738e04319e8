#include "link/TransmitBuffer.h"

#include "support/NumberText.h"
#include "support/ProgramLog.h"
#include "support/Signals.h"

namespace {
constexpr size_t kMaxCommandLength = 512;
constexpr uint8_t kNameCommand = 'H';
constexpr size_t kNameLength = 8;
}  // namespace

std::string NextCommand(const uint8_t* buffer, uint32_t fill, uint32_t& index) {
  const uint32_t start = index;
  std::string text;
  while (index < fill) {
    uint8_t byte = buffer[index++];
    text += static_cast<char>(byte);
    if (byte == kNameCommand) {
      // The 8 name bytes belong to the command whatever they are.
      for (size_t k = 0; k < kNameLength && index < fill; ++k)
        text += static_cast<char>(buffer[index++]);
      return text;
    }
    if (byte >= 'G' && byte <= 'Z') return text;
    if (text.size() >= kMaxCommandLength) {
      LogInfo("ERROR WITH SENDING BUFFER, NO COMMAND CHARACTER, INDEX START WAS " +
                  FloatText(start, 0, 5),
              static_cast<int>(start), false);
      SignalError();
      return text;
    }
  }
  return text;
}

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
