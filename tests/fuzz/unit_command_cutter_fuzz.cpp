// The virtual unit's command cutter: any byte stream is cut into commands that together
// with the pending bytes give the stream back, none longer than the cutter allows.
#include <cstddef>
#include <cstdint>
#include <string>

#include "FuzzSupport.h"
#include "unit/UnitCommandCutter.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  UnitCommandCutter cutter;
  std::string joined;
  for (size_t k = 0; k < size; ++k) {
    const std::optional<std::string> command = cutter.Feed(data[k]);
    if (command) {
      FUZZ_CHECK(!command->empty());
      FUZZ_CHECK(command->size() <= UnitCommandCutter::kMaxCommandBytes + kUnitNameLength);
      joined += *command;
    }
    FUZZ_CHECK(cutter.Pending().size() <= UnitCommandCutter::kMaxCommandBytes + kUnitNameLength);
  }
  joined += cutter.Pending();
  FUZZ_CHECK(joined == std::string(reinterpret_cast<const char*>(data), size));
  return 0;
}
