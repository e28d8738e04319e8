// Saving and recalling one section of 40,000 keys in a batch, as a setup save or recall
// does. Target: each under 100 ms.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "support/ProfileStore.h"

namespace {

constexpr int kKeys = 40000;
const char* const kSection = "SIMULATOR SETUP";

struct BenchFolder {
  BenchFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "qm48bench.XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) std::abort();
    path = pattern;
  }
  ~BenchFolder() {
    std::error_code ec;
    std::filesystem::remove_all(path, ec);
  }
  std::string path;
};

const std::vector<std::string>& KeyNames() {
  static const std::vector<std::string> names = [] {
    std::vector<std::string> n;
    for (int i = 0; i < kKeys; ++i) n.push_back("WordValue" + std::to_string(i));
    return n;
  }();
  return names;
}

bool SaveSection(const std::string& file, int32_t offset) {
  BeginProfileBatch(file);
  bool ok = true;
  for (int i = 0; i < kKeys; ++i) ok &= WriteProfileInt(file, kSection, KeyNames()[i], i + offset);
  return EndProfileBatch(file) && ok;
}

// A new file each time: every key is added.
void BM_SaveNewSection40000Keys(benchmark::State& state) {
  BenchFolder dir;
  std::string file = dir.path + "/new.QM48";
  for (auto _ : state) {
    state.PauseTiming();
    std::remove(file.c_str());
    state.ResumeTiming();
    if (!SaveSection(file, 0)) state.SkipWithError("save failed");
  }
}

// Over an existing setup: every key is replaced in place.
void BM_ResaveSection40000Keys(benchmark::State& state) {
  BenchFolder dir;
  std::string file = dir.path + "/old.QM48";
  SaveSection(file, 0);
  int32_t offset = 1;
  for (auto _ : state)
    if (!SaveSection(file, offset++)) state.SkipWithError("save failed");
}

void BM_RecallSection40000Keys(benchmark::State& state) {
  BenchFolder dir;
  std::string file = dir.path + "/recall.QM48";
  SaveSection(file, 0);
  for (auto _ : state) {
    BeginProfileBatch(file);
    int64_t sum = 0;
    for (int i = 0; i < kKeys; ++i) {
      int32_t v = 0;
      if (!ReadProfileInt(file, kSection, KeyNames()[i], v)) state.SkipWithError("key missing");
      sum += v;
    }
    EndProfileBatch(file);
    benchmark::DoNotOptimize(sum);
  }
}

}  // namespace

BENCHMARK(BM_SaveNewSection40000Keys)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_ResaveSection40000Keys)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_RecallSection40000Keys)->Unit(benchmark::kMillisecond)->Iterations(10);
