// The stream build of the largest setup the unit takes: 16383 words per minor frame, 1024
// minor frames, all five dynamic words and all seven unique words in use. Target: well
// under 50 ms per build.
#include <benchmark/benchmark.h>

#include <memory>

#include "app/Qm48GlobUnit.h"
#include "simulator/Qm48SimulatorUnit.h"

namespace {

std::unique_ptr<progsimulatorclass> LargestSetup() {
  auto sim = std::make_unique<progsimulatorclass>();
  SimSetupData& s = sim->Setup;
  s.WordsPerMinorFrame = 16383;
  s.NumSubframes = 1024;
  s.SubframeMode = 1;
  s.SfIdWordNum = 3;
  s.SfIdStartBit = 15;
  for (int k = 0; k < kNumDynamicWords; ++k) {
    // Every wave shape but "NOTHING", each repeated through the frame.
    s.DynamicWords[k] = {10 + k, 50, k == 4 ? kWaveRandom : k + 1};
  }
  for (int k = 0; k < kNumUniqueWords; ++k)
    s.UniqueWords[k] = {k, 3, 20 + k, 40, static_cast<uint16_t>(0xBEE0 + k)};
  sim->DoCrc16 = true;
  sim->CrcWdNum = 16382;
  return sim;
}

void BM_StreamBuildLargestSetup(benchmark::State& state) {
  auto sim = LargestSetup();
  for (auto _ : state) {
    sim->Prep232SimSetupData(SelectedLoadFormat());
    benchmark::DoNotOptimize(sim->TxBuffer.Data());
  }
  state.counters["bytes"] = sim->TxBuffer.Fill();
  state.counters["commands"] = static_cast<double>(SplitCommands(sim->TxBuffer).size());
}
BENCHMARK(BM_StreamBuildLargestSetup)->Unit(benchmark::kMillisecond);

}  // namespace
