#pragma once
// Small helpers shared by the fuzz targets: a reader that takes numbers and strings off
// the front of the input, a temporary directory per process, and a check that stops the
// run loudly (a fuzzer treats an abort as a finding; the replay run fails).
#include <stdlib.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

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
  // Up to the next NUL byte (or the end); the NUL is consumed.
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

// One scratch directory for the whole process, removed at exit.
class FuzzScratchDir {
 public:
  FuzzScratchDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "qm48-fuzz-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) std::abort();
    path_ = pattern;
  }
  ~FuzzScratchDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  std::string File(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

inline void WriteFuzzFile(const std::string& path, const uint8_t* data, size_t size) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  FUZZ_CHECK(out.good());
}
