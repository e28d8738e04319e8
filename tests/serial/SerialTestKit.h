#pragma once
// A pseudo-terminal whose master side plays the unit, a notification recorder, a log folder.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <vector>

#include "platform/UniqueFd.h"
#include "serial/serialcomclass.h"
#include "support/ProgramLog.h"
#include "support/TempDir.h"

class PtyPair {
 public:
  PtyPair() : master_(::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC | O_NONBLOCK)) {
    EXPECT_TRUE(master_ && ::grantpt(Master()) == 0 && ::unlockpt(Master()) == 0);
    slave_ = ::ptsname(Master());
  }
  int Master() const { return master_.Get(); }
  const std::string& SlavePath() const { return slave_; }
  void CloseMaster() { master_.Reset(); }
  // The unit sends.
  void Write(const std::string& bytes) {
    for (size_t done = 0; done < bytes.size();) {
      const ssize_t n = ::write(Master(), bytes.data() + done, bytes.size() - done);
      pollfd p{Master(), POLLOUT, 0};
      if (n > 0)
        done += static_cast<size_t>(n);
      else
        ASSERT_GT(::poll(&p, 1, 5000), 0) << "the port does not take bytes";
    }
  }
  // What the port sent: until count bytes have come or nothing came for timeoutMs.
  std::string Read(size_t count, int timeoutMs = 5000) {
    std::string got;
    pollfd p{Master(), POLLIN, 0};
    while (got.size() < count && ::poll(&p, 1, timeoutMs) > 0) {
      char buffer[4096];
      const ssize_t n = ::read(Master(), buffer, std::min(sizeof buffer, count - got.size()));
      if (n > 0) got.append(buffer, static_cast<size_t>(n));
    }
    return got;
  }

 private:
  UniqueFd master_;
  std::string slave_;
};

// Every notification with its bytes, from a port (acknowledging reads) or a link's observer.
class PortRecorder {
 public:
  serialcomclass::Callback Callback() {
    return [this](serialcomclass* port, int code) {
      uint32_t sent = 0;
      const uint8_t* tx = port->TxBuffer(sent);
      const bool rx = code == EVT_RX_DATA;
      Record(code, rx ? port->RxBuffer() : tx, rx ? port->RxCount() : sent);
      if (rx) port->ReadDone();
    };
  }
  void Record(int code, const uint8_t* bytes, uint32_t count) {
    std::lock_guard lock(mutex_);
    seen_.codes.push_back(code);
    const auto text = reinterpret_cast<const char*>(bytes);
    if (code == EVT_RX_DATA) seen_.received.append(text, count);
    if (code == EVT_TX_DONE) seen_.sent.append(text, count);
    changed_.notify_all();
  }
  struct Seen {
    std::vector<int> codes;
    std::string received, sent;
    int Count(int code) const { return int(std::count(codes.begin(), codes.end(), code)); }
  };
  Seen Now() {
    std::lock_guard lock(mutex_);
    return seen_;
  }
  bool WaitFor(int code, int count = 1, int timeoutMs = 5000) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                             [&] { return seen_.Count(code) >= count; });
  }
  bool WaitForReceived(size_t bytes) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, std::chrono::seconds(5),
                             [&] { return seen_.received.size() >= bytes; });
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  Seen seen_;
};

// A test folder made the start directory, with the program log in it.
class SerialTestFolder {
 public:
  SerialTestFolder() {
    dir_.Enter();
    gDebugLogging = false;
    LogStart("1.41", "Qm48", "", "Qm48");
  }
  ~SerialTestFolder() { LogEnd(); }
  const TempDir& Dir() const { return dir_; }
  // How many lines of the log contain text.
  int LogCount(const std::string& text) const {
    int n = 0;
    for (const std::string& line : CrLfLines(ReadAll(dir_.File("Qm48.Log"))))
      n += line.find(text) != std::string::npos;
    return n;
  }

 private:
  TempDir dir_;
};
