// fuzz_replay TARGET DIR...: feeds every file under the directories to the named target,
// so that a corpus of past findings runs as an ordinary regression test.
#include <algorithm>
#include <iterator>
#include <vector>

#include "FuzzSupport.h"

int main(int argc, char** argv) {
  const auto target = argc > 2 ? FuzzTargets().find(argv[1]) : FuzzTargets().end();
  if (target == FuzzTargets().end()) {
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
    std::fprintf(stderr, "fuzz_replay: no corpus files for %s\n", argv[1]);
    return 1;
  }
  std::sort(files.begin(), files.end());
  for (const auto& file : files) {
    std::ifstream in(file, std::ios::binary);
    const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
    std::fprintf(stderr, "%s: %s\n", argv[1], file.filename().c_str());
    target->second(bytes.data(), bytes.size());
  }
  std::printf("%s: %zu inputs replayed\n", argv[1], files.size());
  return 0;
}
