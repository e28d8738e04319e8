// The decommutation check on the default setup (256 words of 16 bits, 64 minor frames):
// four major frames, a little over a million bits, in NRZ-L and in Bi-phase-L (both
// half-bit phases are read). The figure is the time for the whole check, from line cells
// to compared words; bits per second show how far it keeps up with a live stream.
#include <benchmark/benchmark.h>

#include <memory>

#include "pcm/Decommutator.h"
#include "simulator/Qm48SimulatorUnit.h"

namespace {

void BM_DecomDefaultSetup(benchmark::State& state) {
  auto sim = std::make_unique<progsimulatorclass>();
  const LineCode code = static_cast<LineCode>(state.range(0));
  const EncoderModel model(sim->Setup, sim->UserWaves, {false, false, -1});
  const BitSequence cells = EncodeLine(code, model.Bits(4 * model.MinorFramesPerMajorFrame()));
  DecomSettings settings;
  settings.Code = code;
  for (auto _ : state) {
    const DecomReport report = Decommutate(sim->Setup, model, cells, settings);
    if (!report.Clean()) state.SkipWithError("the check did not pass");
    benchmark::DoNotOptimize(report.WordsCompared);
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(cells.size() / 2));
}
BENCHMARK(BM_DecomDefaultSetup)
    ->Arg(static_cast<int>(LineCode::NrzL))
    ->Arg(static_cast<int>(LineCode::BiPhaseL))
    ->Unit(benchmark::kMillisecond);

}  // namespace
