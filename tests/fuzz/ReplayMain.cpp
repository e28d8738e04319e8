// Replays fuzz corpora without a fuzzer: fuzz_replay TARGET DIR... feeds every file under
// the directories to the named target. A failed check or a sanitizer report ends the run
// with an error, so a corpus of past findings works as an ordinary regression test.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "FuzzTargets.h"

namespace {

using FuzzFunction = int (*)(const uint8_t*, size_t);

struct NamedTarget {
  const char* name;
  FuzzFunction function;
};

#define QM48_NAMED_FUZZ_TARGET(name) NamedTarget{#name, &Fuzz_##name},
constexpr NamedTarget kTargets[] = {QM48_FUZZ_TARGET_LIST(QM48_NAMED_FUZZ_TARGET)};
#undef QM48_NAMED_FUZZ_TARGET

std::vector<uint8_t> ReadBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: fuzz_replay TARGET CORPUS_DIR...\n");
    return 2;
  }
  const std::string wanted = argv[1];
  const auto target = std::find_if(std::begin(kTargets), std::end(kTargets),
                                   [&](const NamedTarget& t) { return wanted == t.name; });
  if (target == std::end(kTargets)) {
    std::fprintf(stderr, "fuzz_replay: no target named %s\n", wanted.c_str());
    return 2;
  }
  std::vector<std::filesystem::path> files;
  for (int k = 2; k < argc; ++k) {
    std::error_code ec;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(argv[k], ec))
      if (entry.is_regular_file()) files.push_back(entry.path());
    if (ec) {
      std::fprintf(stderr, "fuzz_replay: cannot read %s: %s\n", argv[k], ec.message().c_str());
      return 2;
    }
  }
  if (files.empty()) {
    std::fprintf(stderr, "fuzz_replay: no corpus files for %s\n", target->name);
    return 1;
  }
  std::sort(files.begin(), files.end());
  for (const auto& file : files) {
    const std::vector<uint8_t> bytes = ReadBytes(file);
    std::fprintf(stderr, "%s: %s\n", target->name, file.filename().c_str());
    target->function(bytes.data(), bytes.size());
  }
  std::printf("%s: %zu inputs replayed\n", target->name, files.size());
  return 0;
}
