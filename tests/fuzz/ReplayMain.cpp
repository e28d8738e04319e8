// fuzz_replay TARGET FILE...: feeds each file to the named target, so that a corpus of
// past findings runs as an ordinary regression test.
#include <iterator>
#include <vector>

#include "FuzzSupport.h"

int main(int argc, char** argv) {
  const auto target = argc > 2 ? FuzzTargets().find(argv[1]) : FuzzTargets().end();
  if (target == FuzzTargets().end()) {
    std::fprintf(stderr, "usage: fuzz_replay TARGET FILE...\n");
    return 2;
  }
  for (int k = 2; k < argc; ++k) {
    std::ifstream in(argv[k], std::ios::binary);
    if (!in) {
      std::fprintf(stderr, "fuzz_replay: cannot read %s\n", argv[k]);
      return 2;
    }
    const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
    std::fprintf(stderr, "%s: %s\n", argv[1], argv[k]);
    target->second(bytes.data(), bytes.size());
  }
  std::printf("%s: %d inputs replayed\n", argv[1], argc - 2);
  return 0;
}
