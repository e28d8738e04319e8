#include "support/Timer.h"

#include <chrono>

namespace {
const int kDaysBeforeMonth[12] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};
constexpr double kMaxSecondsOfYear = 31708800.0;  // 367 days
}  // namespace

double LocalSecondsOfYear(const LocalDateTime& t) {
  int month = t.month < 1 ? 1 : (t.month > 12 ? 12 : t.month);
  int day = kDaysBeforeMonth[month - 1] + t.day;
  if (month > 2 && t.year % 4 == 0) ++day;
  double seconds =
      day * 86400.0 + t.hour * 3600.0 + t.minute * 60.0 + t.second + t.millisecond * 0.001;
  if (seconds < 0 || seconds > kMaxSecondsOfYear) return 0;
  return seconds;
}

Ctimeclass::Ctimeclass() : constructedAt_(LocalSecondsOfYear(LocalNow())) {}

Ctimerclass::Ctimerclass()
    : Ctimerclass(MonotonicNanoseconds, kMonotonicTicksPerSecond, LocalNow) {}

Ctimerclass::Ctimerclass(CounterFn counter, double ticksPerSecond, NowFn now)
    : counter_(std::move(counter)), now_(std::move(now)), ticksPerSecond_(ticksPerSecond) {
  Start();
}

// Locked as well, so that a reading on another thread never sees half a restart.
void Ctimerclass::Start() {
  std::lock_guard lock(mutex_);
  baseTime_ = LocalSecondsOfYear(now_());
  tickPeriod_ = ticksPerSecond_ > 0 ? 1.0 / ticksPerSecond_ : 0.0;
  startCount_ = static_cast<double>(counter_());
}

double Ctimerclass::GetTime() {
  std::unique_lock lock(mutex_, std::chrono::milliseconds(30));
  if (!lock.owns_lock()) return -1.0;
  double d = static_cast<double>(counter_()) - startCount_;
  if (d < 0) d = -d;  // a counter that went backwards still gives elapsed time
  return baseTime_ + d * tickPeriod_;
}
