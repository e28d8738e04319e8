// Save and recall of the largest setup file: 16383 words per minor frame, each word its
// own run, 1024 minor frames, every dynamic and unique word in use.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>

#include "app/Qm48GlobUnit.h"
#include "app/SetupFiles.h"
#include "simulator/Qm48SimulatorUnit.h"
#include "transmitter/Qm48TransmitterUnit.h"

namespace {

void MakeLargest(progsimulatorclass& sim) {
  SimSetupData& s = sim.Setup;
  s.WordsPerMinorFrame = kMaxWordsPerMinorFrame;
  s.NumSubframes = 1024;
  s.SubframeMode = 1;
  s.SfIdStartBit = 9;
  for (int i = 0; i < kNumDynamicWords; ++i) {
    s.DynamicWords[static_cast<size_t>(i)].SimDynamicWordNumber = 10 + i;
    s.DynamicWords[static_cast<size_t>(i)].SimDynamicWordInterval = 64;
    s.DynamicWords[static_cast<size_t>(i)].SimDynamicWordWave = 1 + i;
  }
  for (int i = 0; i < kNumUniqueWords; ++i) {
    SimUniqueWord& u = s.UniqueWords[static_cast<size_t>(i)];
    u.SimUniqueWordStartFrame = i;
    u.SimUniqueWordStartFrameInterval = 8;
    u.SimUniqueWordStartWord = 20 + i;
    u.SimUniqueWordWordInterval = 64;
  }
  for (int i = 0; i < kMaxWordsPerMinorFrame; ++i)
    s.Words[static_cast<size_t>(i)] =
        SimWord{static_cast<uint16_t>(8 + i % 9), static_cast<uint16_t>(i * 7)};
}

void BM_SaveAndRecallLargestSetup(benchmark::State& state) {
  const std::string dir =
      std::filesystem::temp_directory_path() / ("qm48-bench-" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  const std::string file = dir + "/LARGEST.QM48";
  auto sim = std::make_unique<progsimulatorclass>();
  auto recalled = std::make_unique<progsimulatorclass>();
  auto tx = std::make_unique<progtxclass>();
  auto recalledTx = std::make_unique<progtxclass>();
  MakeLargest(*sim);
  std::string current;
  for (auto _ : state) {
    std::filesystem::remove(file);
    SaveWholeFile(ProgramSetup(*sim, *tx), file, nullptr);
    bool ok = LoadWholeFile(ProgramSetup(*recalled, *recalledTx), file, false, current);
    benchmark::DoNotOptimize(ok);
  }
  state.counters["file_bytes"] = static_cast<double>(std::filesystem::file_size(file));
  std::filesystem::remove_all(dir);
}
BENCHMARK(BM_SaveAndRecallLargestSetup)->Unit(benchmark::kMillisecond);

}  // namespace
