// The user wave file reader: any file reads, leaving a table whose sample count and name
// stay inside their storage.
#include <cstring>

#include "FuzzSupport.h"
#include "simulator/UserWaveFiles.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  UserWaveTable table;
  FUZZ_CHECK(ReadUserWaveFile(FuzzFile("FUZZ.R4V8SimUserWave", data, size), table));
  FUZZ_CHECK(table.NumWords >= 0 && table.NumWords <= kUserWaveMaxWords);
  FUZZ_CHECK(std::memchr(table.Name, '\0', sizeof table.Name) != nullptr);
  return 0;
}
