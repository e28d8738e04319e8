// The command sender against the virtual unit on a pseudo-terminal: the host's cost per
// command beyond the 1 ms pause, and a whole load at 19200 bits per second against the
// time the line itself needs, also behind a USB adapter's reply latency.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <mutex>
#include <string>
#include <vector>

#include "app/Qm48GlobUnit.h"
#include "link/Qm48SendDataUnit.h"
#include "link/UnitLink.h"
#include "serial/serialcomclass.h"
#include "simulator/Qm48SimulatorUnit.h"
#include "unit/VirtualUnit.h"

namespace {

using Clock = std::chrono::steady_clock;

// The link every benchmark here loads on.
UnitLink& BenchLink() {
  static UnitLink link;
  return link;
}

// Counts the bytes each way and stamps every completed send.
struct Traffic {
  std::mutex mutex;
  std::vector<Clock::time_point> sends;
  uint64_t txBytes = 0;
  uint64_t rxBytes = 0;
  UnitLink::ObserverId observer = 0;

  void Install() {
    observer = BenchLink().AddObserver([this](int code, const uint8_t*, uint32_t count) {
      std::lock_guard lock(mutex);
      if (code == EVT_TX_DONE) {
        sends.push_back(Clock::now());
        txBytes += count;
      } else if (code == EVT_RX_DATA) {
        rxBytes += count;
      }
    });
  }
  ~Traffic() { BenchLink().RemoveObserver(observer); }
};

bool Connect(VirtualUnit& unit, benchmark::State& state) {
  std::string error;
  if (!unit.Start(&error) || !BenchLink().Open(PortConfig{}, unit.DevicePath())) {
    state.SkipWithError(("no unit: " + error).c_str());
    return false;
  }
  return true;
}

// 10,000 memory writes; the median gap between two sends less the 1 ms pause is the
// host's overhead per command (port thread, sender thread, pseudo-terminal and unit).
void BM_OverheadPerCommand(benchmark::State& state) {
  TransmitBuffer buffer;
  char text[32];
  for (int k = 0; k < 10000; ++k) {
    std::snprintf(text, sizeof text, "%04X %04X M", k & 0xFFFF, 0x100 + (k % 4096));
    buffer.AppendCommand(text);
  }
  for (auto _ : state) {
    VirtualUnit unit;
    if (!Connect(unit, state)) return;
    Traffic traffic;
    traffic.Install();
    SendOutcome out = SendBuffer(BenchLink(), "BENCH", buffer);
    BenchLink().Close();
    if (!out.Ok()) state.SkipWithError(SendOutcomeText(out).c_str());
    std::vector<double> gapsMs;
    {
      std::lock_guard lock(traffic.mutex);
      for (size_t i = 1; i < traffic.sends.size(); ++i)
        gapsMs.push_back(
            std::chrono::duration<double, std::milli>(traffic.sends[i] - traffic.sends[i - 1])
                .count());
    }
    std::sort(gapsMs.begin(), gapsMs.end());
    if (gapsMs.empty()) return;
    state.counters["commands"] = static_cast<double>(out.commandsAnswered);
    state.counters["median_overhead_ms"] = gapsMs[gapsMs.size() / 2] - 1.0;
    state.counters["p90_overhead_ms"] = gapsMs[gapsMs.size() * 9 / 10] - 1.0;
  }
}
BENCHMARK(BM_OverheadPerCommand)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

// The default simulator load with the unit's line at 19200 bits per second (10 bits a
// byte) and each reply held back replyLatencyMs as a USB adapter's latency timer would,
// against the bound 1.05 x (bytes on the line x 10 / 19200 s + commands x 1 ms).
void LoadAtLineRate(benchmark::State& state, uint32_t replyLatencyMs) {
  for (auto _ : state) {
    VirtualUnitOptions options;
    options.lineRate = 19200;
    options.replyLatencyMs = replyLatencyMs;
    VirtualUnit unit(options);
    if (!Connect(unit, state)) return;
    Traffic traffic;
    traffic.Install();
    gFormatNumber = 0;
    progsimulatorclass sim;
    const auto start = Clock::now();
    SendOutcome out = sim.Send232SimSetupData(BenchLink(), SelectedLoadFormat());
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    BenchLink().Close();
    if (!out.Ok()) state.SkipWithError(SendOutcomeText(out).c_str());
    uint64_t bytes = 0;
    {
      std::lock_guard lock(traffic.mutex);
      bytes = traffic.txBytes + traffic.rxBytes;
    }
    const double line = static_cast<double>(bytes) * 10.0 / 19200.0 + out.commandsAnswered * 1e-3;
    state.counters["commands"] = static_cast<double>(out.commandsAnswered);
    state.counters["line_bytes"] = static_cast<double>(bytes);
    state.counters["load_s"] = seconds;
    state.counters["bound_s"] = 1.05 * line;
    state.counters["load_over_line_time"] = seconds / line;
  }
}

void BM_LoadAtLineRate19200(benchmark::State& state) {
  LoadAtLineRate(state, 0);
}
BENCHMARK(BM_LoadAtLineRate19200)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same load behind a USB adapter whose latency timer holds each reply 0, 1 (low-latency
// mode) or 16 ms (the common chips' default).
void BM_LoadWithReplyLatency(benchmark::State& state) {
  LoadAtLineRate(state, static_cast<uint32_t>(state.range(0)));
}
BENCHMARK(BM_LoadWithReplyLatency)
    ->ArgName("latency_ms")
    ->Arg(0)
    ->Arg(1)
    ->Arg(16)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace
