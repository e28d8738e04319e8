#pragma once
// A pseudo-terminal whose master side the test holds (playing the unit), a recorder of
// port notifications, and a program log in a fresh folder that the checks can read.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "platform/StartDirectory.h"
#include "serial/serialcomclass.h"
#include "support/ProgramLog.h"
#include "support/TempDir.h"

// Line settings as the port takes them: baud index, flow control, parity, data and stop
// bits, user-defined rate.
inline PortConfig LineConfig(int32_t baud, int32_t flow = 0, int32_t parity = 0,
                             int32_t dataBits = 3, int32_t stopBits = 0, uint32_t userRate = 0) {
  PortConfig config;
  config.BaudRate = baud;
  config.FlowControl = flow;
  config.Parity = parity;
  config.DataBits = dataBits;
  config.StopBits = stopBits;
  config.UserDefBaudRate = userRate;
  return config;
}
// COM(n + 1) at 19,200 baud, 8N1.
inline PortConfig PortIndex(int32_t portNum) {
  PortConfig config = LineConfig(8);
  config.PortNum = portNum;
  return config;
}

class PtyPair {
 public:
  PtyPair() {
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    EXPECT_GE(master_, 0);
    EXPECT_EQ(::grantpt(master_), 0);
    EXPECT_EQ(::unlockpt(master_), 0);
    slave_ = ::ptsname(master_);
    ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
  }
  ~PtyPair() { CloseMaster(); }
  PtyPair(const PtyPair&) = delete;
  PtyPair& operator=(const PtyPair&) = delete;

  int Master() const { return master_; }
  const std::string& SlavePath() const { return slave_; }
  void CloseMaster() {
    if (master_ >= 0) ::close(master_);
    master_ = -1;
  }
  // The unit sends.
  void Write(std::string_view bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
      ssize_t n = ::write(master_, bytes.data() + done, bytes.size() - done);
      if (n > 0) {
        done += static_cast<size_t>(n);
      } else {
        pollfd p{master_, POLLOUT, 0};
        ASSERT_GT(::poll(&p, 1, 1000), 0) << "the port does not take bytes";
      }
    }
  }
  // What the port sent: reads until count bytes have come or timeoutMs have passed.
  std::string Read(size_t count, int timeoutMs = 2000) {
    std::string got;
    auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (got.size() < count && std::chrono::steady_clock::now() < until) {
      pollfd p{master_, POLLIN, 0};
      if (::poll(&p, 1, 20) <= 0) continue;
      char buffer[4096];
      ssize_t n = ::read(master_, buffer, std::min(sizeof buffer, count - got.size()));
      if (n > 0) got.append(buffer, static_cast<size_t>(n));
    }
    return got;
  }

 private:
  int master_ = -1;
  std::string slave_;
};

// Records every notification; acknowledges received bytes like the application does.
class PortRecorder {
 public:
  serialcomclass::Callback Callback() {
    return [this](serialcomclass* port, int code) {
      std::lock_guard lock(mutex_);
      codes_.push_back(code);
      if (code == EVT_RX_DATA) {
        received_.append(reinterpret_cast<const char*>(port->RxBuffer()), port->RxCount());
        port->ReadDone();
      }
      if (code == EVT_TX_DONE) {
        uint32_t length = 0;
        const uint8_t* sent = port->TxBuffer(length);
        sent_.append(reinterpret_cast<const char*>(sent), length);
      }
      changed_.notify_all();
    };
  }
  // Waits until code has been seen count times.
  bool WaitFor(int code, int count = 1, int timeoutMs = 2000) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                             [&] { return CountLocked(code) >= count; });
  }
  bool WaitForReceived(size_t bytes, int timeoutMs = 2000) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                             [&] { return received_.size() >= bytes; });
  }
  int Count(int code) {
    std::lock_guard lock(mutex_);
    return CountLocked(code);
  }
  std::string Received() {
    std::lock_guard lock(mutex_);
    return received_;
  }
  std::string Sent() {
    std::lock_guard lock(mutex_);
    return sent_;
  }
  std::vector<int> Codes() {
    std::lock_guard lock(mutex_);
    return codes_;
  }

 private:
  int CountLocked(int code) const {
    int n = 0;
    for (int c : codes_) n += c == code;
    return n;
  }
  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<int> codes_;
  std::string received_, sent_;
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
  // The messages of the log so far (time stamps and tags cut off).
  std::vector<std::string> LogMessages() const {
    std::vector<std::string> out;
    for (const std::string& line : CrLfLines(ReadAll(dir_.File("Qm48.Log"))))
      out.push_back(line.size() > 29 ? line.substr(29) : std::string());
    return out;
  }
  // How many log messages contain text.
  int LogCount(const std::string& text) const {
    int n = 0;
    for (const std::string& m : LogMessages()) n += m.find(text) != std::string::npos;
    return n;
  }

 private:
  TempDir dir_;
};

inline int64_t MillisecondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                               start)
      .count();
}
