// NextCommand: any buffer is cut into commands that each end where the unit ends them,
// never longer than the cut allows, and that put together give the buffer back.
#include <cstddef>
#include <cstdint>
#include <string>

#include "FuzzSupport.h"
#include "link/TransmitBuffer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TransmitBuffer buffer(0);
  buffer.AppendCommand(std::string(reinterpret_cast<const char*>(data), size));
  std::string joined;
  uint32_t index = 0;
  for (;;) {
    const uint32_t before = index;
    const std::string command = NextCommand(buffer.Data(), buffer.Fill(), index);
    if (command.empty()) {
      FUZZ_CHECK(index == buffer.Fill());
      break;
    }
    FUZZ_CHECK(index == before + command.size());
    FUZZ_CHECK(index <= buffer.Fill());
    FUZZ_CHECK(command.size() <= 512 + 8);
    joined += command;
  }
  FUZZ_CHECK(joined == std::string(reinterpret_cast<const char*>(data), size));
  FUZZ_CHECK(SplitCommands(buffer).size() <= size);
  return 0;
}
