// The debug window's echo during a simulator load of the largest setup: the same load with
// the window hidden and shown, one after the other in every round so that both see the
// same machine. Target: the shown window slows the load by at most 5%.
// The full load of the largest setup is some tens of thousands of commands and takes over
// a minute; its first kCommands commands are sent instead, to the virtual unit without a
// line rate, under the program's own progress dialog (a real event loop, as in use).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <chrono>
#include <cstdio>
#include <memory>

#include "app/Qm48GlobUnit.h"
#include "link/Qm48SendDataUnit.h"
#include "link/TransmitBuffer.h"
#include "link/UnitLink.h"
#include "serial/gui/Qm48DebugUnit.h"
#include "simulator/Qm48SimulatorUnit.h"
#include "support/Operator.h"
#include "support/gui/QtOperator.h"
#include "unit/VirtualUnit.h"

#include "LargestSetup.h"

namespace {

constexpr int kCommands = 3000;

// Its load sequence built.
std::unique_ptr<progsimulatorclass> LargestLoad() {
  auto sim = LargestSetup();
  sim->Prep232SimSetupData(SelectedLoadFormat());
  return sim;
}

// Bytes of the buffer that hold its first `commands` commands.
uint32_t LengthOfFirst(const TransmitBuffer& buffer, int commands) {
  uint32_t index = 0;
  for (int i = 0; i < commands; ++i)
    if (NextCommand(buffer.Data(), buffer.Fill(), index).empty()) break;
  return index;
}

// One load under the progress dialog, with what the window still had to draw after it.
double LoadMs(UnitLink& link, const TransmitBuffer& buffer, uint32_t length) {
  const auto start = std::chrono::steady_clock::now();
  const SendOutcome outcome = SendBuffer(link, "LOADING SIMULATOR", buffer.Data(), length);
  if (outcome.result != SendResult::Done) std::fprintf(stderr, "load did not complete\n");
  QApplication::processEvents();
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
      .count();
}

void BM_LoadWithTerminalHiddenAndShown(benchmark::State& state) {
  VirtualUnit unit;
  UnitLink link;
  std::string error;
  if (!unit.Start(&error) || !link.Open(PortConfig{}, unit.DevicePath())) {
    state.SkipWithError(("virtual unit: " + error).c_str());
    return;
  }
  const auto sim = LargestLoad();
  const uint32_t length = LengthOfFirst(sim->TxBuffer, kCommands);
  TQm48DebugForm terminal(link, [] { return false; });
  double hiddenMs = 0, shownMs = 0;
  for (auto _ : state) {
    terminal.hide();
    QApplication::processEvents();
    hiddenMs += LoadMs(link, sim->TxBuffer, length);
    terminal.show();
    QApplication::processEvents();
    shownMs += LoadMs(link, sim->TxBuffer, length);
  }
  link.Close();
  const double n = static_cast<double>(state.iterations());
  state.counters["commands"] = kCommands;
  state.counters["hidden_ms"] = hiddenMs / n;
  state.counters["shown_ms"] = shownMs / n;
  state.counters["echo_pct"] = 100.0 * (shownMs - hiddenMs) / hiddenMs;
}
BENCHMARK(BM_LoadWithTerminalHiddenAndShown)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  QtOperator op;
  OperatorInterface* previous = SetOperator(&op);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  SetOperator(previous);
  return 0;
}
