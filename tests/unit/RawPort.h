#pragma once
// The controller's end of a pseudo-terminal for tests: the device opened raw, as a
// serial port would be, with reads bounded by a time limit.
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <optional>
#include <string>
#include <utility>

class RawPort {
 public:
  explicit RawPort(const std::string& path) {
    fd_ = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    termios tio{};
    if (fd_ >= 0 && ::tcgetattr(fd_, &tio) == 0) {
      ::cfmakeraw(&tio);
      ::tcsetattr(fd_, TCSANOW, &tio);
    }
  }
  ~RawPort() { Close(); }
  RawPort(const RawPort&) = delete;
  RawPort& operator=(const RawPort&) = delete;

  bool IsOpen() const { return fd_ >= 0; }
  int Fd() const { return fd_; }
  void Close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
  }
  bool Send(const std::string& bytes) const {
    return ::write(fd_, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
  }
  // Bytes up to and including the next carriage return; nothing when none came in time
  // or the device hung up.
  std::optional<std::string> ReadLine(int timeoutMs = 3000) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
      size_t cr = pending_.find('\r');
      if (cr != std::string::npos) {
        std::string line = pending_.substr(0, cr + 1);
        pending_.erase(0, cr + 1);
        return line;
      }
      if (!ReadSome(deadline)) return std::nullopt;
    }
  }
  // Everything that arrives within the time.
  std::string ReadFor(int ms) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (ReadSome(deadline)) {
    }
    return std::exchange(pending_, std::string());
  }

 private:
  bool ReadSome(std::chrono::steady_clock::time_point deadline) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                    deadline - std::chrono::steady_clock::now())
                    .count();
    if (left <= 0 || hungUp_) return false;
    pollfd fd{fd_, POLLIN, 0};
    if (::poll(&fd, 1, static_cast<int>(left)) <= 0) return false;
    char bytes[256];
    ssize_t n = ::read(fd_, bytes, sizeof bytes);
    if (n <= 0) {
      hungUp_ = true;
      return false;
    }
    pending_.append(bytes, static_cast<size_t>(n));
    return true;
  }

  int fd_ = -1;
  std::string pending_;
  bool hungUp_ = false;
};
