// The one command cutter, as the senders use it (NextCommand, load and query rules) and as
// the virtual unit feeds it byte by byte: the commands put together give the bytes back,
// none is longer than the cutter allows, and both ways cut alike.
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "link/TransmitBuffer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  constexpr size_t kLongest = CommandCutter::kMaxCommandBytes + CommandCutter::kNameBytes;
  for (CommandCutter::Rules rules : {CommandCutter::Rules::Load, CommandCutter::Rules::Query}) {
    std::vector<std::string> cut;
    for (uint32_t index = 0;;) {
      const uint32_t before = index;
      const std::string command = NextCommand(data, static_cast<uint32_t>(size), index, rules);
      if (command.empty()) break;
      FUZZ_CHECK(index == before + command.size() && command.size() <= kLongest);
      cut.push_back(command);
    }
    CommandCutter cutter(rules);
    std::string joined;
    size_t n = 0;
    for (uint8_t byte : bytes) {
      if (const std::optional<std::string> command = cutter.Feed(byte)) {
        FUZZ_CHECK(n < cut.size() && *command == cut[n++]);
        joined += *command;
      }
      FUZZ_CHECK(cutter.Pending().size() <= kLongest);
    }
    FUZZ_CHECK(joined + cutter.Pending() == bytes);
    FUZZ_CHECK(n == cut.size() || (n + 1 == cut.size() && cut.back() == cutter.Pending()));
  }
  TransmitBuffer buffer(0);
  buffer.AppendCommand(bytes);
  FUZZ_CHECK(SplitCommands(buffer).size() <= size);
  return 0;
}
