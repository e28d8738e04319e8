// The frame map at the largest frame, 16,383 words by 1024 minor frames: drawing it fully
// zoomed out (16 x 16 cells a pixel: the whole frame in view), at one pixel a cell and at
// the default zoom, and rebuilding the map after a record change.
// Target: a full draw under 100 ms.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QScrollBar>
#include <memory>

#include "editor/gui/FrameMapView.h"
#include "simulator/Qm48SimulatorUnit.h"

namespace {

std::unique_ptr<progsimulatorclass> LargestFrame() {
  auto sim = std::make_unique<progsimulatorclass>();
  sim->Setup.SubframeMode = 1;
  sim->Setup.WordsPerMinorFrame = kMaxWordsPerMinorFrame;
  sim->Setup.NumSubframes = 1024;
  sim->Setup.SfIdStartBit = 15;
  // Every unique word repeats through the frame so the draw meets every role.
  for (auto& unique : sim->Setup.UniqueWords) {
    unique.SimUniqueWordStartFrameInterval = 3;
    unique.SimUniqueWordWordInterval = 50;
  }
  sim->DoCrc16 = true;
  sim->CrcWdNum = kMaxWordsPerMinorFrame - 2;
  return sim;
}

void Draw(benchmark::State& state, int zoomLevel) {
  auto sim = LargestFrame();
  FrameMapView view(*sim);
  view.resize(1280, 1000);
  view.show();
  QApplication::processEvents();
  view.Area()->SetZoomLevel(zoomLevel);
  QApplication::processEvents();
  int page = 0;
  for (auto _ : state) {
    // A different part of the frame each time, as scrolling would show.
    view.Area()->verticalScrollBar()->setValue(page * 37 %
                                               (view.Area()->verticalScrollBar()->maximum() + 1));
    view.Area()->horizontalScrollBar()->setValue(
        page * 911 % (view.Area()->horizontalScrollBar()->maximum() + 1));
    ++page;
    view.Area()->viewport()->repaint();
  }
  state.counters["cell_px"] = view.Area()->CellSize();
  state.counters["view_w"] = view.Area()->viewport()->width();
  state.counters["view_h"] = view.Area()->viewport()->height();
}

void BM_DrawFullyZoomedOut(benchmark::State& state) {
  Draw(state, 0);
}
BENCHMARK(BM_DrawFullyZoomedOut)->Unit(benchmark::kMillisecond)->UseRealTime();

// One pixel a cell: every pixel of the view is a cell of its own.
void BM_DrawOnePixelCells(benchmark::State& state) {
  Draw(state, 4);
}
BENCHMARK(BM_DrawOnePixelCells)->Unit(benchmark::kMillisecond)->UseRealTime();

// 8-pixel cells with grid lines, as the page opens.
void BM_DrawDefaultZoom(benchmark::State& state) {
  Draw(state, 9);
}
BENCHMARK(BM_DrawDefaultZoom)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_RefreshAfterEdit(benchmark::State& state) {
  auto sim = LargestFrame();
  FrameMapView view(*sim);
  for (auto _ : state) {
    sim->Setup.Words[100].SimWordLen = sim->Setup.Words[100].SimWordLen == 16 ? 12 : 16;
    view.Refresh();
  }
}
BENCHMARK(BM_RefreshAfterEdit)->Unit(benchmark::kMillisecond)->UseRealTime();

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
