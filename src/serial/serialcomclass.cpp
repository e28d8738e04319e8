#include "serial/serialcomclass.h"

#include <fcntl.h>
#include <linux/serial.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <system_error>

#include "platform/SystemErrorText.h"
#include "platform/ThreadPriority.h"
#include "platform/UniqueFd.h"
#include "serial/LineSettings.h"
#include "serial/LowLatency.h"
#include "serial/PortErrorHint.h"
#include "support/ProgramLog.h"

namespace {
// How often the modem lines are looked at while they are watched.
constexpr int kModemPollMs = 100;
// How long a closing port lets bytes already written leave the line.
constexpr int kDrainWaitMs = 200;

// The port thread reads every byte as it comes: it asks to run ahead of the GUI and the
// senders. Refused (an ordinary user without a nice limit), it carries on as it is, and
// says so once a run.
void RaisePortThreadPriority() {
  static std::atomic<bool> refusalLogged{false};
  int nice = 0;
  std::string reason;
  if (RaiseCallingThreadPriority(5, nice, reason)) {
    LogDetail("PORT THREAD PRIORITY RAISED TO NICE " + std::to_string(nice), nice);
    return;
  }
  if (!refusalLogged.exchange(true))
    LogInfo("PORT THREAD PRIORITY NOT RAISED (" + reason + "): it runs at normal priority", 0,
            false);
}

int64_t MonotonicMs() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}
}  // namespace

serialcomclass::serialcomclass() {
  settings_.BaudRate = 6;  // 9600
  settings_.UserDefBaudRate = 9600;
  SetPortName(settings_, "/dev/ttyS0");
  wakeFd_.Reset(::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC));
}

serialcomclass::~serialcomclass() {
  Stop();
  // The thread still uses this object: however long it takes, it must end before the
  // object goes.
  if (thread_.joinable()) {
    LogError("PORT THREAD STILL RUNNING: the port waits for it before it is closed", 0, false);
    thread_.join();
  }
}

void serialcomclass::SetCallback(Callback callback) {
  std::lock_guard lock(lifecycle_);
  callback_ = std::move(callback);
}

void serialcomclass::SetReadSize(uint32_t n) {
  readSize_ = n == 0 ? 1 : (n > kPortBufferSize ? kPortBufferSize : n);
}

void serialcomclass::SetMonitorModem(bool on) {
  monitorModem_ = on;
  Wake();
}

uint32_t serialcomclass::Open(const PortConfig& config) {
  std::string device = PortDevicePath(config.PortNum);
  if (device.empty()) {
    Stop();
    LogError("No such port: index " + std::to_string(config.PortNum), 0, false);
    return kOpenDeviceFailed;
  }
  return OpenAt(config.PortNum, device, config);
}

uint32_t serialcomclass::OpenDevice(const std::string& devicePath, const PortConfig& config) {
  return OpenAt(-1, devicePath, config);
}

uint32_t serialcomclass::OpenAt(int32_t portNum, const std::string& devicePath,
                                const PortConfig& config) {
  Stop();
  std::lock_guard lock(lifecycle_);
  if (thread_.joinable()) {
    LogError(devicePath + "  the previous port thread has not ended; the port stays closed", 0,
             false);
    return kOpenNoThread;
  }
  devicePath_ = devicePath;
  settings_.PortNum = portNum;
  SetPortName(settings_, devicePath);
  settings_.BaudRate = config.BaudRate;
  settings_.FlowControl = config.FlowControl;
  settings_.Parity = config.Parity;
  settings_.DataBits = config.DataBits;
  settings_.StopBits = config.StopBits;
  settings_.UserDefBaudRate = config.UserDefBaudRate;
  settings_.MonitorModem = 0;
  monitorModem_ = false;

  UniqueFd fd(::open(devicePath.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
  int error = fd ? 0 : errno;
  if (fd && !::isatty(fd.Get())) error = ENOTTY;
  // Another program holding the device (its lock, or exclusive mode) refuses the open.
  if (!error && ::flock(fd.Get(), LOCK_EX | LOCK_NB) != 0)
    error = errno == EWOULDBLOCK ? EBUSY : errno;
  if (!error && ::ioctl(fd.Get(), TIOCEXCL) != 0) error = errno;
  if (error) {
    fd.Reset();  // let go before the hint looks at the device again
    const std::string hint = PortErrorHint(error, devicePath);
    LogError(devicePath + "  " + SystemErrorText(error) + (hint.empty() ? "" : "; " + hint), 0,
             false);
    return kOpenDeviceFailed;
  }
  uint32_t result = ApplyLineSettings(fd.Get(), settings_);
  if (result == 0 && !wakeFd_) result = kOpenNoThread;
  if (result != 0) {
    ::ioctl(fd.Get(), TIOCNXCL);
    return result;
  }
  ApplyAndLogLowLatency(fd.Get(), devicePath);  // replies are passed on at once, not held

  fd_ = std::move(fd);
  uint64_t stale = 0;
  while (::read(wakeFd_.Get(), &stale, sizeof stale) > 0) {
  }
  stopRequested_ = false;
  writing_ = false;
  txPending_ = false;
  readArmed_ = false;
  txDone_ = 0;
  rxCount_ = 0;
  // Running from here on, so a Send right after Open is accepted.
  running_ = true;
  {
    std::lock_guard ended(endMutex_);
    threadEnded_ = false;
  }
  try {
    thread_ = std::thread([this, callback = callback_] { ThreadBody(callback); });
  } catch (const std::system_error& e) {
    running_ = false;
    {
      std::lock_guard ended(endMutex_);
      threadEnded_ = true;
    }
    LogError(std::string("PORT THREAD  ") + e.what(), 0, false);
    CloseDevice();
    return kOpenNoThread;
  }
  return 0;
}

bool serialcomclass::Send(const void* bytes, int32_t length) {
  if (!running_ || bytes == nullptr || length < 0 || length > static_cast<int32_t>(kPortBufferSize))
    return false;
  bool idle = false;
  if (!writing_.compare_exchange_strong(idle, true)) return false;
  std::memcpy(txBuffer_, bytes, static_cast<size_t>(length));
  txBuffer_[length] = 0;
  txLength_ = static_cast<uint32_t>(length);
  txPending_.store(true, std::memory_order_release);
  Wake();
  return true;
}

const uint8_t* serialcomclass::TxBuffer(uint32_t& length) const {
  length = sentLength_;
  return sentBuffer_;
}

void serialcomclass::ReadDone() {
  readArmed_ = true;
  // From the port thread itself the next poll sees the flag; others must wake it.
  if (!IsPortThread()) Wake();
}

void serialcomclass::Stop() {
  if (IsPortThread()) {
    stopRequested_ = true;
    return;
  }
  std::lock_guard lock(lifecycle_);
  if (!thread_.joinable()) return;
  stopRequested_ = true;
  Wake();
  if (!WaitThreadEnd(kStopWaitMs)) {
    running_ = false;
    LogError("PORT THREAD DID NOT END WITHIN " + std::to_string(kStopWaitMs) +
                 " ms (held up in a notification); the port is given up",
             0, false);
    return;
  }
  thread_.join();
}

bool serialcomclass::WaitThreadEnd(int timeoutMs) {
  std::unique_lock ended(endMutex_);
  return endCv_.wait_for(ended, std::chrono::milliseconds(timeoutMs),
                         [this] { return threadEnded_; });
}

void serialcomclass::Wake() {
  if (!wakeFd_) return;
  uint64_t one = 1;
  // A full counter already means "wake up"; nothing to do about a failure.
  [[maybe_unused]] ssize_t n = ::write(wakeFd_.Get(), &one, sizeof one);
}

void serialcomclass::Notify(const Callback& callback, int code) {
  if (callback) callback(this, code);
}

void serialcomclass::CloseDevice() {
  if (!fd_) return;
  // Bytes the line cannot take (flow control, a stuck device) would hold up the close for
  // the driver's closing wait: give sent bytes a moment to leave, then drop the rest.
  for (int waited = 0, queued = 0; !txPending_ && waited < kDrainWaitMs; waited += 10) {
    if (::ioctl(fd_.Get(), TIOCOUTQ, &queued) != 0 || queued == 0) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  ::tcflush(fd_.Get(), TCOFLUSH);
  ::ioctl(fd_.Get(), TIOCNXCL);
  fd_.Reset();  // also drops the lock
}

void serialcomclass::Fail(const char* eventName, int error) {
  LogError(std::string(eventName) + "  " + SystemErrorText(error), error, false);
}

void serialcomclass::ThreadBody(Callback callback) {
  threadId_ = std::this_thread::get_id();
  RaisePortThreadPriority();
  modemKnown_ = false;
  Notify(callback, EVT_CONNECTED);
  readArmed_ = true;
  while (!stopRequested_) {
    short wanted = static_cast<short>((readArmed_ ? POLLIN : 0) | (txPending_ ? POLLOUT : 0));
    pollfd fds[2] = {{fd_.Get(), wanted, 0}, {wakeFd_.Get(), POLLIN, 0}};
    int n = ::poll(fds, 2, monitorModem_ ? kModemPollMs : -1);
    if (n < 0) {
      if (errno == EINTR) continue;
      Fail("SIG_POWER_DOWN", errno);
      break;
    }
    if (fds[1].revents & POLLIN) {
      uint64_t count = 0;
      [[maybe_unused]] ssize_t r = ::read(wakeFd_.Get(), &count, sizeof count);
    }
    if (stopRequested_) break;
    if (txPending_.load(std::memory_order_acquire) && !WriteSome(callback)) break;
    if (!HandleDevice(callback, fds[0].revents)) break;
    if (!monitorModem_) {
      modemKnown_ = false;
    } else if (int64_t now = MonotonicMs();
               !modemKnown_ || now - lastModemCheckMs_ >= kModemPollMs) {
      lastModemCheckMs_ = now;
      CheckModemLines(callback);
    }
  }
  running_ = false;
  CloseDevice();
  Notify(callback, EVT_DISCONNECTED);
  threadId_ = std::thread::id();
  {
    std::lock_guard ended(endMutex_);
    threadEnded_ = true;
  }
  endCv_.notify_all();
}

bool serialcomclass::HandleDevice(const Callback& callback, short revents) {
  bool gotData = false;
  if ((revents & POLLIN) && readArmed_) {
    ssize_t n = ::read(fd_.Get(), rxBuffer_, readSize_.load());
    if (n > 0) {
      gotData = true;
      rxCount_ = static_cast<uint32_t>(n);
      rxBuffer_[n] = 0;
      readArmed_ = false;
      Notify(callback, EVT_RX_DATA);
    } else if (n == 0 || (errno != EAGAIN && errno != EINTR)) {
      Fail("SIG_READER", n == 0 ? EIO : errno);  // a terminal reads 0 bytes only when hung up
      return false;
    }
  }
  // The device went away (adapter unplugged, other side of a pseudo-terminal closed).
  if (!gotData && (revents & (POLLHUP | POLLERR | POLLNVAL))) {
    Fail("SIG_READER", (revents & POLLNVAL) ? EBADF : EIO);
    return false;
  }
  return true;
}

bool serialcomclass::WriteSome(const Callback& callback) {
  while (txDone_ < txLength_) {
    ssize_t n = ::write(fd_.Get(), txBuffer_ + txDone_, txLength_ - txDone_);
    if (n > 0) {
      txDone_ += static_cast<uint32_t>(n);
      continue;
    }
    if (n < 0 && (errno == EAGAIN || errno == EINTR)) return true;  // poll for room
    Fail("SIG_WRITER", n < 0 ? errno : EIO);
    return false;
  }
  // The notification reads a copy, so the next Send may start as soon as writing clears.
  std::memcpy(sentBuffer_, txBuffer_, txLength_ + 1);
  sentLength_ = txLength_;
  txDone_ = 0;
  txPending_ = false;
  writing_ = false;
  Notify(callback, EVT_TX_DONE);
  return true;
}

void serialcomclass::CheckModemLines(const Callback& callback) {
  int status = 0;
  if (::ioctl(fd_.Get(), TIOCMGET, &status) != 0) {
    LogInfo("SIG_MODEM_EVENTS  " + SystemErrorText(errno) + ": ring and carrier are not watched",
            errno, false);
    monitorModem_ = false;
    return;
  }
  // The interrupt counters catch a ring pulse shorter than the watch period.
  serial_icounter_struct counts{};
  bool haveCounts = ::ioctl(fd_.Get(), TIOCGICOUNT, &counts) == 0;
  int ring = haveCounts ? counts.rng : ((status & TIOCM_RI) ? 1 : 0);
  int carrierChanges = haveCounts ? counts.dcd : ((status & TIOCM_CD) ? 1 : 0);
  bool carrier = (status & TIOCM_CD) != 0;
  if (modemKnown_) {
    bool rang = haveCounts ? ring != lastRingCount_ : (ring && !lastRingCount_);
    if (rang) Notify(callback, EVT_RING);
    if (carrierChanges != lastCarrierCount_ || carrier != lastCarrier_)
      Notify(callback, carrier ? EVT_CARRIER_DETECTED : EVT_NO_CARRIER);
  }
  modemKnown_ = true;
  lastRingCount_ = ring;
  lastCarrierCount_ = carrierChanges;
  lastCarrier_ = carrier;
}
