// The virtual unit's command cutter: any byte stream is cut into commands that together
// with the pending bytes give the stream back, none longer than the cutter allows.
#include <cstddef>
#include <cstdint>
#include <string>

#include "FuzzSupport.h"
#include "link/CommandCutter.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  CommandCutter cutter;
  std::string joined;
  for (size_t k = 0; k < size; ++k) {
    const std::optional<std::string> command = cutter.Feed(data[k]);
    if (command) {
      FUZZ_CHECK(!command->empty());
      FUZZ_CHECK(command->size() <= CommandCutter::kMaxCommandBytes + CommandCutter::kNameBytes);
      joined += *command;
    }
    FUZZ_CHECK(cutter.Pending().size() <=
               CommandCutter::kMaxCommandBytes + CommandCutter::kNameBytes);
  }
  joined += cutter.Pending();
  FUZZ_CHECK(joined == std::string(reinterpret_cast<const char*>(data), size));
  return 0;
}
