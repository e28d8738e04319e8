// The log file's lines and time stamps, the timer under them, and the repairs it notes.
#include "support/ErrorLog.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <regex>
#include <thread>

#include "support/TempDir.h"
#include "support/Timer.h"

namespace {

LocalDateTime At(int year, int month, int day, int hour = 0, int ms = 0) {
  return LocalDateTime{year, month, day, hour, 0, 0, ms};
}

// A counter the test moves by hand in microsecond ticks, and a wall clock it sets.
struct FakeClock {
  std::atomic<int64_t> ticks = 0;
  LocalDateTime now = At(2026, 2, 3);
  std::unique_ptr<Ctimerclass> MakeTimer() {
    return std::make_unique<Ctimerclass>([this] { return ticks.load(); }, 1e6,
                                         [this] { return now; });
  }
};

// Readings from a script; once used up it reads 2.25 s.
struct ScriptedTimer : Ctimerclass {
  explicit ScriptedTimer(std::vector<double> script)
      : Ctimerclass([] { return int64_t{0}; }, 1e6, [] { return At(2026, 2, 3); }),
        readings(std::move(script)) {}
  double GetTime() override { return next < readings.size() ? readings[next++] : 2.25; }
  std::vector<double> readings;
  size_t next = 0;
};

}  // namespace

// The wall clock is read at Start() only; the counter may run backwards.
TEST(Timer, CountsFromTheWallClockAtStart) {
  FakeClock clock;
  clock.ticks = 5'000'000'000;  // the counter's own origin does not matter
  clock.now = At(2026, 1, 1, 12);
  auto timer = clock.MakeTimer();
  EXPECT_NEAR(timer->GetTime(), 129600.0, 1e-6);
  clock.ticks += 10'250'000;
  clock.now = At(2026, 1, 1, 13);
  EXPECT_NEAR(timer->GetTime(), 129610.25, 1e-6);
  timer->Start();
  EXPECT_NEAR(timer->GetTime(), 133200.0, 1e-6);
  clock.ticks -= 20'000'000;
  EXPECT_NEAR(timer->GetTime(), 133220.0, 1e-6);
  const std::pair<LocalDateTime, double> days[] = {
      {At(2026, 1, 1), 86400.0},
      {At(2026, 2, 3, 0, 500), 34 * 86400.0 + 0.5},
      {At(2024, 2, 29), 60 * 86400.0},
      {At(2024, 3, 1), 61 * 86400.0},
      {At(2023, 3, 1), 60 * 86400.0},
      {At(2024, 12, 33), 0.0},  // outside 0 .. 367 days
      {At(2024, 1, 1, -48), 0.0},
      {LocalDateTime{2023, 3, 1, 10, 20, 30, 250}, 60 * 86400.0 + 36000 + 1200 + 30.25}};
  for (const auto& [day, seconds] : days) EXPECT_DOUBLE_EQ(LocalSecondsOfYear(day), seconds);
}

// A timer that failed (lock time-out) or ran beyond 367 days is replaced, and the line says so.
TEST(ErrorLog, LinesTimeStampsTheirCarriesAndTimerRepairs) {
  TempDir dir;
  FakeClock clock;
  {
    ErrorLog log(dir.File("a.Log"), [&] { return clock.MakeTimer(); });
    clock.ticks = 500'000;
    log.Write("hello", 0);
    log.Write("minus", -1);
    clock.ticks += 3'723'250'000;  // 1 h 2 min 3.25 s
    log.Write("later", 123456);
  }
  EXPECT_EQ(ReadAll(dir.File("a.Log")),
            "000000  034:00:00:00.500000  hello\r\n"
            "-00001  034:00:00:00.500000  minus\r\n"
            "123456  034:01:02:03.750000  later\r\n");
  EXPECT_EQ(TimeStampText(59.9999999), "000:00:01:00.000000");
  EXPECT_EQ(TimeStampText(86400 + 86399.9999999), "002:00:00:00.000000");
  EXPECT_EQ(TimeStampText(59.9999994), "000:00:00:59.999999");
  for (double bad : {-1.0, 31708800.5, std::nan(""), HUGE_VAL})
    EXPECT_EQ(TimeStampText(bad), "000:00:00:00.000000");

  for (const auto& [name, script] :
       {std::pair{"b.Log", std::vector<double>{-1.0}}, {"c.Log", {4e7, 3.5}}}) {
    int made = 0;
    ErrorLog log(dir.File(name), [&made, script = script]() -> std::unique_ptr<Ctimerclass> {
      return std::make_unique<ScriptedTimer>(made++ == 0 ? script : std::vector<double>{});
    });
    log.Write("x", 1);
    log.Write("y", 2);
  }
  EXPECT_EQ(ReadAll(dir.File("b.Log")),
            "000001  000:00:00:02.250000  x  >>>> HAD TO USE THE CPU TIME\r\n"
            "000002  000:00:00:02.250000  y\r\n");
  EXPECT_EQ(ReadAll(dir.File("c.Log")),
            "000001  000:00:00:03.500000  x  >>>> HAD TO REINIT ErrorLog TIMER\r\n"
            "000002  000:00:00:02.250000  y\r\n");
}

TEST(ErrorLog, FileLifecycleAndAnUnopenableFileSaidOnce) {
  TempDir dir;
  const std::string path = dir.File("c.Log");
  std::ofstream(path) << "old run\r\n";
  ErrorLog log(path);
  EXPECT_EQ(ReadAll(path), "");  // emptied at construction
  log.Write("one", 1);
  log.Close();
  log.Write("after close", 2);
  EXPECT_EQ(CrLfLines(ReadAll(path)).size(), 1u);
  dir.Enter();
  EXPECT_EQ(ErrorLog().Path(), "ErrorLog.Log");
  EXPECT_TRUE(std::filesystem::exists(dir.File("ErrorLog.Log")));
  ErrorLog nowhere(dir.File("missing/dir/d.Log"));
  testing::internal::CaptureStderr();
  nowhere.Write("lost", 1);
  nowhere.Write("lost too", 2);
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find("missing/dir/d.Log"), std::string::npos) << err;
  EXPECT_EQ(err.find('\n'), err.size() - 1) << err;
}

TEST(ErrorLog, ConcurrentWritersNeverTearLines) {
  TempDir dir;
  {
    ErrorLog log(dir.File("e.Log"));
    std::vector<std::thread> threads;
    for (int t = 0; t < 8; ++t)
      threads.emplace_back([&log, t] {
        for (int i = 0; i < 300; ++i)
          log.Write("T" + std::to_string(t) + " L" + std::to_string(i) + " " +
                        std::string(40 + t * 13, 'a' + t),
                    t);
      });
    for (auto& th : threads) th.join();
  }
  const auto lines = CrLfLines(ReadAll(dir.File("e.Log")));
  ASSERT_EQ(lines.size(), 8u * 300);
  const std::regex shape(R"(^00000(\d)  \d{3}:\d{2}:\d{2}:\d{2}\.\d{6}  T(\d) L(\d+) ([a-h]+)$)");
  std::vector<int> next(8, 0);
  for (const std::string& line : lines) {
    std::smatch m;
    ASSERT_TRUE(std::regex_match(line, m, shape)) << line;
    const int t = std::stoi(m[2]);
    ASSERT_EQ(std::stoi(m[1]), t);
    EXPECT_EQ(std::stoi(m[3]), next[size_t(t)]++) << "thread " << t << " out of order";
    EXPECT_EQ(m[4].str(), std::string(40 + t * 13, 'a' + t));
  }
}
