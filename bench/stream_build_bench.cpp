// The stream build of the largest setup the unit takes: 16383 words per minor frame, 1024
// minor frames, all five dynamic words and all seven unique words in use. Target: well
// under 50 ms per build.
#include <benchmark/benchmark.h>

#include <memory>

#include "app/Qm48GlobUnit.h"
#include "simulator/Qm48SimulatorUnit.h"

#include "LargestSetup.h"

namespace {

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
