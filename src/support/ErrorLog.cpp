#include "support/ErrorLog.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <iostream>

#include "platform/SystemErrorText.h"

namespace {
constexpr double kMaxSecondsOfYear = 31708800.0;

void WriteAll(int fd, const std::string& text) {
  size_t done = 0;
  while (done < text.size()) {
    ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;
    done += static_cast<size_t>(n);
  }
}
}  // namespace

SplitTime SplitSeconds(double t) {
  SplitTime s;
  if (!std::isfinite(t) || t < 0 || t > kMaxSecondsOfYear) return s;
  s.day = static_cast<int>(std::floor(t / 86400));
  double r = t - s.day * 86400.0;
  s.hours = static_cast<int>(std::floor(r / 3600));
  r -= s.hours * 3600.0;
  s.minutes = static_cast<int>(std::floor(r / 60));
  // Seconds as they will be printed (six decimals), so that 59.9999996 never shows as 60.
  s.seconds = std::round((r - s.minutes * 60.0) * 1e6) / 1e6;
  if (s.seconds >= 60) {
    s.seconds = 0;
    ++s.minutes;
  }
  if (s.minutes > 59) {
    s.minutes = 0;
    ++s.hours;
  }
  if (s.hours > 23) {
    s.hours = 0;
    ++s.day;
  }
  return s;
}

// Built without printf's %f, which would take the decimal point from the user's locale.
std::string TimeStampText(double t) {
  SplitTime s = SplitSeconds(t);
  char fields[32];
  std::snprintf(fields, sizeof fields, "%03d:%02d:%02d:", s.day, s.hours, s.minutes);
  char seconds[32];
  auto r = std::to_chars(seconds, seconds + sizeof seconds, s.seconds, std::chars_format::fixed, 6);
  std::string secondsText = r.ec == std::errc() ? std::string(seconds, r.ptr) : "0.000000";
  if (secondsText.size() < 9) secondsText.insert(0, 9 - secondsText.size(), '0');
  return fields + secondsText;
}

ErrorLog::ErrorLog(std::string path, TimerFactory makeTimer)
    : makeTimer_(makeTimer ? std::move(makeTimer)
                           : TimerFactory([] { return std::make_unique<Ctimerclass>(); })),
      timer_(makeTimer_()),
      path_(path.empty() ? std::string("ErrorLog.Log") : std::move(path)) {
  const UniqueFd emptied(::open(path_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
}

ErrorLog::~ErrorLog() {
  Close();
}

void ErrorLog::Close() {
  std::lock_guard lock(mutex_);
  fd_.Reset();
  closed_ = true;
}

void ErrorLog::Write(const std::string& message, int tag) {
  std::unique_lock lock(mutex_, std::chrono::milliseconds(100));
  if (!lock.owns_lock() || closed_) return;
  if (!fd_) {
    fd_.Reset(::open(path_.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_APPEND | O_CLOEXEC, 0644));
    if (!fd_) {
      if (!reportedOpenFailure_) {
        reportedOpenFailure_ = true;
        std::cerr << "qm48: cannot open log file " << path_ << ": " << SystemErrorText(errno)
                  << "; logging is off\n";
      }
      return;
    }
  }
  double t = timer_->GetTime();
  const char* note = "";
  if (t > kMaxSecondsOfYear) {
    timer_->Start();
    t = timer_->GetTime();
    note = "  >>>> HAD TO REINIT ErrorLog TIMER";
  }
  if (t < 0.000001) {
    timer_ = makeTimer_();
    t = timer_->GetTime();
    note = "  >>>> HAD TO USE THE CPU TIME";
  }
  char tagText[32];
  std::snprintf(tagText, sizeof tagText, "%06d", tag);
  line_.assign(tagText);
  line_ += "  ";
  line_ += TimeStampText(t);
  line_ += "  ";
  line_ += message;
  line_ += note;
  line_ += "\r\n";
  WriteAll(fd_.Get(), line_);
}
