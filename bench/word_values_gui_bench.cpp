// The word values dialog at the largest frame, 16,383 words: how long it takes to open
// (built, set up, shown and painted) and to apply a fill to every word and repaint.
// Targets: open under 300 ms, fill under 100 ms.
#include <benchmark/benchmark.h>

#include <QAction>
#include <QApplication>
#include <memory>

#include "common/ScriptedOperator.h"
#include "editor/gui/SimValuesDlgUnit.h"
#include "editor/gui/WordGridView.h"
#include "editor/gui/WordValuesModel.h"
#include "simulator/Qm48SimulatorUnit.h"

namespace {

std::unique_ptr<progsimulatorclass> FullFrame() {
  auto sim = std::make_unique<progsimulatorclass>();
  sim->Setup.WordsPerMinorFrame = kMaxWordsPerMinorFrame;
  return sim;
}

// Lets the dialog lay itself out and paint what is in view.
void Settle(TSimValuesDlg& dlg) {
  QApplication::processEvents();
  dlg.Grid()->viewport()->repaint();
}

// A dialog on the full frame, shown, with every word selected.
std::unique_ptr<TSimValuesDlg> ShownWithAllSelected(const progsimulatorclass& sim) {
  auto dlg = std::make_unique<TSimValuesDlg>();
  dlg->SetUp(sim.Setup);
  dlg->show();
  Settle(*dlg);
  dlg->GridPress(1, Qt::LeftButton, Qt::NoModifier, {});
  dlg->GridPress(kMaxWordsPerMinorFrame, Qt::LeftButton, Qt::ShiftModifier, {});
  Settle(*dlg);
  return dlg;
}

void BM_OpenDialog(benchmark::State& state) {
  auto sim = FullFrame();
  for (auto _ : state) {
    auto dlg = std::make_unique<TSimValuesDlg>();
    dlg->SetUp(sim->Setup);
    dlg->show();
    Settle(*dlg);
    state.PauseTiming();
    dlg.reset();
    QApplication::processEvents();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_OpenDialog)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_SelectAllWords(benchmark::State& state) {
  auto sim = FullFrame();
  auto dlg = ShownWithAllSelected(*sim);
  for (auto _ : state) {
    dlg->GridPress(1, Qt::LeftButton, Qt::NoModifier, {});
    dlg->GridPress(kMaxWordsPerMinorFrame, Qt::LeftButton, Qt::ShiftModifier, {});
    Settle(*dlg);
  }
}
BENCHMARK(BM_SelectAllWords)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_SequentialFill(benchmark::State& state) {
  ScriptedOperator op;
  ScopedOperator scoped(op);
  auto sim = FullFrame();
  auto dlg = ShownWithAllSelected(*sim);
  int start = 0;
  for (auto _ : state) {
    op.QueueInput(std::to_string(++start % 60000 + 1));
    op.QueueInput("3");
    dlg->SequentialAction()->trigger();
    Settle(*dlg);
  }
}
BENCHMARK(BM_SequentialFill)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_RandomFill(benchmark::State& state) {
  auto sim = FullFrame();
  auto dlg = ShownWithAllSelected(*sim);
  for (auto _ : state) {
    dlg->RandomAction()->trigger();
    Settle(*dlg);
  }
}
BENCHMARK(BM_RandomFill)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_SameValueFill(benchmark::State& state) {
  ScriptedOperator op;
  ScopedOperator scoped(op);
  auto sim = FullFrame();
  auto dlg = ShownWithAllSelected(*sim);
  int value = 0;
  for (auto _ : state) {
    op.QueueInput(std::to_string(++value % 60000 + 1));
    dlg->SameAction()->trigger();
    Settle(*dlg);
  }
}
BENCHMARK(BM_SameValueFill)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_WordLength(benchmark::State& state) {
  auto sim = FullFrame();
  auto dlg = ShownWithAllSelected(*sim);
  int length = 3;
  for (auto _ : state) {
    dlg->LengthAction(length)->trigger();
    length = length == 16 ? 3 : length + 1;
    Settle(*dlg);
  }
}
BENCHMARK(BM_WordLength)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
