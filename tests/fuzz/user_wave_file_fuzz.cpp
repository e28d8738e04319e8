// The user wave file reader: any file reads without a crash and leaves a table whose
// sample count and name stay inside their storage.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "FuzzSupport.h"
#include "simulator/UserWaveFiles.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static FuzzScratchDir dir;
  static const std::string path = dir.File("FUZZ.R4V8SimUserWave");
  WriteFuzzFile(path, data, size);

  UserWaveTable table;
  FUZZ_CHECK(ReadUserWaveFile(path, table));
  FUZZ_CHECK(table.NumWords >= 0 && table.NumWords <= kUserWaveMaxWords);
  FUZZ_CHECK(std::memchr(table.Name, '\0', sizeof table.Name) != nullptr);
  return 0;
}
