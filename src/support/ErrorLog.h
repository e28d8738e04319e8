#pragma once
// Appends one time-stamped, tagged line per Write() to a log file:
//   "000042  034:14:05:09.123456  message\r\n"
// Any thread may write; lines never interleave. Failures lose the line, never the program.
#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "platform/TimedMutex.h"
#include "platform/UniqueFd.h"
#include "support/Timer.h"

struct SplitTime {
  int day = 0;
  int hours = 0;
  int minutes = 0;
  double seconds = 0;
};
// Seconds of the year into day, hours, minutes and seconds (rounded to microseconds,
// carried upwards); all zero when t is not finite, negative or above 367 days.
SplitTime SplitSeconds(double t);
// "DDD:HH:MM:SS.ssssss"
std::string TimeStampText(double t);

class ErrorLog {
 public:
  using TimerFactory = std::function<std::unique_ptr<Ctimerclass>()>;

  // Creates (empties) the file; "ErrorLog.Log" when path is empty.
  explicit ErrorLog(std::string path = {}, TimerFactory makeTimer = {});
  ~ErrorLog();
  ErrorLog(const ErrorLog&) = delete;
  ErrorLog& operator=(const ErrorLog&) = delete;

  void Write(const std::string& message, int tag);
  // Closes the file for good: a later Write would otherwise empty it again.
  void Close();
  const std::string& Path() const { return path_; }

 private:
  TimedMutex mutex_;
  TimerFactory makeTimer_;
  std::unique_ptr<Ctimerclass> timer_;
  std::string path_;
  UniqueFd fd_;
  bool closed_ = false;
  bool reportedOpenFailure_ = false;
  std::string line_;
};
