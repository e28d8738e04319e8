#pragma once
// What the fuzz targets share: a reader taking numbers and strings off the input's front,
// a scratch directory per process, and a check that aborts (a finding to a fuzzer, a
// failure to the replay run).
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <string>

#include "support/TempDir.h"

// Outside a fuzzing build each target's LLVMFuzzerTestOneInput is renamed Fuzz_<name> and
// registers itself by its name, so that all of them link into one replayer.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);
inline std::map<std::string, int (*)(const uint8_t*, size_t)>& FuzzTargets() {
  static std::map<std::string, int (*)(const uint8_t*, size_t)> targets;
  return targets;
}
#ifdef QM48_FUZZ_NAME
[[maybe_unused]] static const bool kFuzzTargetRegistered =
    (FuzzTargets()[QM48_FUZZ_NAME] = &LLVMFuzzerTestOneInput) != nullptr;
#endif

#define FUZZ_CHECK(condition)                                                            \
  do {                                                                                   \
    if (!(condition)) {                                                                  \
      std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition); \
      std::abort();                                                                      \
    }                                                                                    \
  } while (false)

class FuzzInput {
 public:
  FuzzInput(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  uint8_t Byte() { return at_ < size_ ? data_[at_++] : 0; }
  int32_t Int32() {
    uint32_t v = 0;
    for (int k = 0; k < 4; ++k) v = (v << 8) | Byte();
    return static_cast<int32_t>(v);
  }
  // Up to the next NUL byte (consumed) or the end.
  std::string Text() {
    std::string out;
    while (at_ < size_ && data_[at_] != 0) out += static_cast<char>(data_[at_++]);
    if (at_ < size_) ++at_;
    return out;
  }
  std::string Rest() {
    std::string out(reinterpret_cast<const char*>(data_ + at_), size_ - at_);
    at_ = size_;
    return out;
  }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t at_ = 0;
};

// The input written to one file in a scratch directory removed at exit.
inline std::string FuzzFile(const char* name, const uint8_t* data, size_t size) {
  static TempDir dir;
  const std::string path = dir.File(name);
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  FUZZ_CHECK(out.good());
  return path;
}
