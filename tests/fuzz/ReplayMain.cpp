// fuzz_replay TARGET DIR...: feeds every file under the directories to the named target,
// so that a corpus of past findings runs as an ordinary regression test.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "FuzzTargets.h"

namespace {
struct NamedTarget {
  const char* name;
  int (*function)(const uint8_t*, size_t);
};
#define QM48_NAMED_FUZZ_TARGET(name) NamedTarget{#name, &Fuzz_##name},
constexpr NamedTarget kTargets[] = {QM48_FUZZ_TARGET_LIST(QM48_NAMED_FUZZ_TARGET)};
#undef QM48_NAMED_FUZZ_TARGET
}  // namespace

int main(int argc, char** argv) {
  const auto target = std::find_if(
      std::begin(kTargets), std::end(kTargets),
      [&](const NamedTarget& t) { return argc > 2 && argv[1] == std::string(t.name); });
  if (target == std::end(kTargets)) {
    std::fprintf(stderr, "usage: fuzz_replay TARGET CORPUS_DIR...\n");
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
    std::ifstream in(file, std::ios::binary);
    const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
    std::fprintf(stderr, "%s: %s\n", target->name, file.filename().c_str());
    target->function(bytes.data(), bytes.size());
  }
  std::printf("%s: %zu inputs replayed\n", target->name, files.size());
  return 0;
}
