// TMATS export and import of the largest setup the unit takes (target: under 50 ms each),
// and what a Chapter 10 recording costs the virtual unit beside its plain bit stream.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>

#include "pcm/BitstreamFile.h"
#include "pcm/EncoderModel.h"
#include "pcm/SetupTmats.h"
#include "pcm/TmatsReader.h"
#include "pcm/TmatsToSetup.h"
#include "simulator/Qm48SimulatorUnit.h"
#include "unit/UnitCh10.h"
#include "unit/UnitEncoderTables.h"
#include "unit/UnitProtocol.h"

#include "LargestSetup.h"

namespace {

// The largest setup with every word its own length (8..16 bits), the TMATS's MFW
// attributes, and a ramp in place of the RANDOM wave.
std::unique_ptr<progsimulatorclass> LargestTmatsSetup() {
  auto sim = LargestSetup();
  SimSetupData& s = sim->Setup;
  for (int i = 0; i < s.WordsPerMinorFrame; ++i)
    s.Words[size_t(i)].SimWordLen = static_cast<uint16_t>(i < 3 ? 16 : 8 + i % 9);
  s.DynamicWords[4].SimDynamicWordWave = 5;
  return sim;
}

void BM_TmatsExportLargestSetup(benchmark::State& state) {
  auto sim = LargestTmatsSetup();
  std::string text, error;
  for (auto _ : state) {
    if (!TmatsOfSetup(*sim, TmatsDocument{}, text, error)) state.SkipWithError(error.c_str());
    benchmark::DoNotOptimize(text.data());
  }
  state.counters["bytes"] = static_cast<double>(text.size());
}
BENCHMARK(BM_TmatsExportLargestSetup)->Unit(benchmark::kMillisecond);

void BM_TmatsImportLargestSetup(benchmark::State& state) {
  auto sim = LargestTmatsSetup();
  std::string text, error;
  TmatsOfSetup(*sim, TmatsDocument{}, text, error);
  auto target = std::make_unique<progsimulatorclass>();
  for (auto _ : state) {
    TmatsDocument doc;
    if (!ReadTmats(text, doc, error) || !SetupFromPcmFormat(doc.Links.front(), *target, error))
      state.SkipWithError(error.c_str());
  }
}
BENCHMARK(BM_TmatsImportLargestSetup)->Unit(benchmark::kMillisecond);

// What the unit writes at an encoder start, as --bitstream (line cells) and as --ch10 (a
// Chapter 10 recording) of the same frames: four major frames of the default setup
// (argument 0), or of the largest setup up to the 2^24-bit cap (argument 1).
SimulatorImage ImageOf(int64_t which) {
  auto sim = which == 0 ? std::make_unique<progsimulatorclass>() : LargestTmatsSetup();
  sim->Prep232SimSetupData();
  UnitProtocol unit;
  unit.Feed(sim->TxBuffer.Bytes().data(), sim->TxBuffer.Bytes().size());
  return unit.State().sim;
}

int64_t Frames(const SimulatorImage& image) {
  const EncoderModel model(EncoderTablesFromUnit(image));
  return std::min<int64_t>(4 * model.MinorFramesPerMajorFrame(),
                           (int64_t{1} << 24) / model.FrameBits());
}

void BM_UnitStreamLineCells(benchmark::State& state) {
  const SimulatorImage image = ImageOf(state.range(0));
  const int64_t frames = Frames(image);
  std::vector<uint8_t> bytes;
  for (auto _ : state) {
    const EncoderModel model(EncoderTablesFromUnit(image));
    bytes = PackCells(model.Line(frames));
  }
  state.counters["bytes"] = static_cast<double>(bytes.size());
}
BENCHMARK(BM_UnitStreamLineCells)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_UnitStreamCh10(benchmark::State& state) {
  const SimulatorImage image = ImageOf(state.range(0));
  const int64_t frames = Frames(image);
  std::vector<uint8_t> bytes;
  std::string error;
  for (auto _ : state) {
    if (!UnitCh10Recording(image, frames, 0, 0, bytes, error)) state.SkipWithError(error.c_str());
  }
  state.counters["bytes"] = static_cast<double>(bytes.size());
}
BENCHMARK(BM_UnitStreamCh10)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
