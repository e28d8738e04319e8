#pragma once
// Monotonic high-resolution clock, local wall-clock time and a millisecond sleep.
#include <cstdint>

// Nanoseconds of a monotonic counter that never jumps with clock adjustments.
int64_t MonotonicNanoseconds();
// Counter ticks per second of MonotonicNanoseconds().
constexpr double kMonotonicTicksPerSecond = 1e9;

struct LocalDateTime {
  int year = 1970;
  int month = 1;  // 1..12
  int day = 1;    // 1..31
  int hour = 0;
  int minute = 0;
  int second = 0;
  int millisecond = 0;
};
LocalDateTime LocalNow();

// Sleeps at least ms milliseconds (ms <= 0 yields the processor).
void SleepMs(int ms);
