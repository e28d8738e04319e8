#pragma once
// Seconds since the start of the local year (1 January = day 1), read once from the
// wall clock at Start() and advanced from then on by the monotonic counter, so that
// readings never jump with clock adjustments.
#include <cstdint>
#include <functional>
#include <mutex>

#include "platform/Clock.h"
#include "platform/TimedMutex.h"

// day * 86400 + hour * 3600 + minute * 60 + second + ms / 1000, day of the year from 1;
// 0 when the result falls outside 0 .. 31708800 (367 days).
double LocalSecondsOfYear(const LocalDateTime& t);

class Ctimeclass {
 public:
  Ctimeclass();
  virtual ~Ctimeclass() = default;
  double ConstructedAt() const { return constructedAt_; }

 private:
  double constructedAt_;
};

class Ctimerclass : public Ctimeclass {
 public:
  using CounterFn = std::function<int64_t()>;
  using NowFn = std::function<LocalDateTime()>;

  Ctimerclass();
  // For tests: an explicit counter (ticks) with its frequency and wall clock.
  Ctimerclass(CounterFn counter, double ticksPerSecond, NowFn now);

  // Takes the wall clock and the counter afresh.
  void Start();
  // Seconds of the year now; -1.0 when the reading lock was not had within 30 ms.
  virtual double GetTime();

 private:
  CounterFn counter_;
  NowFn now_;
  double ticksPerSecond_;
  double baseTime_ = 0;
  double tickPeriod_ = 0;
  double startCount_ = 0;
  TimedMutex mutex_;
};
