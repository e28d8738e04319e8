#include "support/ErrorLog.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <deque>
#include <regex>
#include <thread>
#include <vector>

#include "support/TempDir.h"

namespace {
LocalDateTime Feb3Midnight() {
  return LocalDateTime{2026, 2, 3, 0, 0, 0, 0};
}

// A timer that reads a fixed wall clock and a counter the test moves.
std::unique_ptr<Ctimerclass> FixedTimer(std::shared_ptr<std::atomic<int64_t>> ticks) {
  return std::make_unique<Ctimerclass>([ticks] { return ticks->load(); }, 1e6, Feb3Midnight);
}

// A timer whose readings come from a script; once the script is used up it reads 1.5 s.
class ScriptedTimer : public Ctimerclass {
 public:
  explicit ScriptedTimer(std::deque<double> readings)
      : Ctimerclass([] { return int64_t{0}; }, 1e6, Feb3Midnight), readings_(std::move(readings)) {}
  double GetTime() override {
    if (readings_.empty()) return 1.5;
    double t = readings_.front();
    readings_.pop_front();
    return t;
  }

 private:
  std::deque<double> readings_;
};

// The first timer follows the script, every replacement reads 2.25 s.
ErrorLog::TimerFactory ScriptThenSteady(std::deque<double> script) {
  auto made = std::make_shared<int>(0);
  return [made, script]() -> std::unique_ptr<Ctimerclass> {
    if ((*made)++ == 0) return std::make_unique<ScriptedTimer>(script);
    return std::make_unique<ScriptedTimer>(std::deque<double>{2.25, 2.25});
  };
}
}  // namespace

TEST(ErrorLog, LineLayout) {
  TempDir dir;
  auto ticks = std::make_shared<std::atomic<int64_t>>(0);
  ErrorLog log(dir.File("a.Log"), [ticks] { return FixedTimer(ticks); });
  ticks->store(500'000);
  log.Write("hello", 0);
  log.Write("", 7);
  log.Write("minus", -1);
  *ticks += 3'723'250'000;  // 1 h 2 min 3.25 s
  log.Write("later", 123456);
  log.Close();
  EXPECT_EQ(ReadAll(dir.File("a.Log")),
            "000000  034:00:00:00.500000  hello\r\n"
            "000007  034:00:00:00.500000  \r\n"
            "-00001  034:00:00:00.500000  minus\r\n"
            "123456  034:01:02:03.750000  later\r\n");
}

TEST(ErrorLog, RepairsItsTimerAndSaysSo) {
  TempDir dir;
  {
    // Lock time-out: a new timer, noted on the line.
    ErrorLog log(dir.File("a.Log"), ScriptThenSteady({-1.0}));
    log.Write("x", 1);
    log.Write("y", 2);
  }
  {
    // Beyond 367 days: restarted, read again and noted.
    ErrorLog log(dir.File("b.Log"), ScriptThenSteady({4e7, 3.5}));
    log.Write("z", 3);
  }
  EXPECT_EQ(ReadAll(dir.File("a.Log")),
            "000001  000:00:00:02.250000  x  >>>> HAD TO USE THE CPU TIME\r\n"
            "000002  000:00:00:02.250000  y\r\n");
  EXPECT_EQ(ReadAll(dir.File("b.Log")),
            "000003  000:00:00:03.500000  z  >>>> HAD TO REINIT ErrorLog TIMER\r\n");
}

TEST(ErrorLog, SplitSecondsCarries) {
  EXPECT_EQ(TimeStampText(34 * 86400 + 14 * 3600 + 5 * 60 + 9.123456), "034:14:05:09.123456");
  EXPECT_EQ(TimeStampText(59.9999999), "000:00:01:00.000000");
  EXPECT_EQ(TimeStampText(3599.9999999), "000:01:00:00.000000");
  EXPECT_EQ(TimeStampText(86400 + 86399.9999999), "002:00:00:00.000000");
  EXPECT_EQ(TimeStampText(59.9999994), "000:00:00:59.999999");
  for (double bad : {-1.0, 31708800.5, std::nan(""), HUGE_VAL}) {
    SplitTime s = SplitSeconds(bad);
    EXPECT_EQ(s.day + s.hours + s.minutes, 0);
    EXPECT_EQ(s.seconds, 0.0);
  }
  EXPECT_EQ(TimeStampText(-5), "000:00:00:00.000000");
}

TEST(ErrorLog, FileLifecycle) {
  TempDir dir;
  std::string path = dir.File("c.Log");
  { std::ofstream(path) << "old run\r\n"; }
  ErrorLog log(path);
  EXPECT_EQ(ReadAll(path), "");  // emptied at construction
  log.Write("one", 1);
  log.Close();
  log.Write("after close", 2);  // neither written nor emptying the file
  auto lines = CrLfLines(ReadAll(path));
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_NE(lines[0].find("  one"), std::string::npos);

  dir.Enter();
  ErrorLog unnamed;
  EXPECT_EQ(unnamed.Path(), "ErrorLog.Log");
  EXPECT_TRUE(std::filesystem::exists(dir.File("ErrorLog.Log")));
}

TEST(ErrorLog, UnopenableFileIsReportedOnceAndIgnored) {
  TempDir dir;
  ErrorLog log(dir.File("missing/dir/d.Log"));
  testing::internal::CaptureStderr();
  log.Write("lost", 1);
  log.Write("lost too", 2);
  std::string err = testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find("missing/dir/d.Log"), std::string::npos) << err;
  EXPECT_EQ(err.find('\n'), err.size() - 1) << err;  // one line
}

TEST(ErrorLog, ConcurrentWritersNeverTearLines) {
  TempDir dir;
  std::string path = dir.File("e.Log");
  constexpr int kThreads = 8;
  constexpr int kLines = 300;
  {
    ErrorLog log(path);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
      threads.emplace_back([&log, t] {
        std::string pad(40 + t * 13, static_cast<char>('a' + t));
        for (int i = 0; i < kLines; ++i)
          log.Write("T" + std::to_string(t) + " L" + std::to_string(i) + " " + pad, t);
      });
    for (auto& th : threads) th.join();
  }
  std::string text = ReadAll(path);
  ASSERT_EQ(text.substr(text.size() - 2), "\r\n");
  auto lines = CrLfLines(text);
  ASSERT_EQ(lines.size(), static_cast<size_t>(kThreads * kLines));
  std::regex shape(R"(^00000(\d)  \d{3}:\d{2}:\d{2}:\d{2}\.\d{6}  T(\d) L(\d+) ([a-h]+)$)");
  std::vector<int> next(kThreads, 0);
  for (const std::string& line : lines) {
    std::smatch m;
    ASSERT_TRUE(std::regex_match(line, m, shape)) << line;
    int t = std::stoi(m[2]);
    ASSERT_EQ(std::stoi(m[1]), t);
    EXPECT_EQ(std::stoi(m[3]), next[t]++) << "thread " << t << " out of order";
    EXPECT_EQ(m[4].str(), std::string(40 + t * 13, static_cast<char>('a' + t)));
  }
}
