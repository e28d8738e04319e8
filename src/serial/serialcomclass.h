#pragma once
// One serial device and the thread that alone reads and writes it. The owner opens the
// port, sends, acknowledges received bytes (ReadDone) and stops it; the port thread tells
// the owner what happened through one notification callback.
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

#include "platform/UniqueFd.h"
#include "serial/PortConfig.h"

// Notification codes passed to the callback.
constexpr int EVT_CONNECTED = 0;         // the port thread has started
constexpr int EVT_DISCONNECTED = 1;      // the port thread is ending; the device is closed
constexpr int EVT_TX_DONE = 2;           // a Send has been written in full
constexpr int EVT_RX_DATA = 3;           // a read returned at least one byte
constexpr int EVT_RING = 4;              // ring indicator seen
constexpr int EVT_CARRIER_DETECTED = 5;  // carrier went on
constexpr int EVT_NO_CARRIER = 6;        // carrier went off

// Open results; 0 is success.
constexpr uint32_t kOpenLineSettingsRefused = 4;  // the driver refused the line settings
constexpr uint32_t kOpenDeviceFailed = 8;         // missing, busy or not a terminal (see the log)
constexpr uint32_t kOpenNoThread = 32;            // wake-up descriptor or thread could not be made

// Flow-control indexes.
constexpr int32_t kFlowNone = 0, kFlowCts = 1, kFlowDsr = 2, kFlowDtr = 3, kFlowXonXoff = 4,
                  kFlowRts = 5;

constexpr uint32_t kPortBufferSize = 512;

class serialcomclass {
 public:
  // Runs on the port thread. It may call ReadDone, Send, RxBuffer, RxCount and TxBuffer; it
  // must not destroy the object.
  using Callback = std::function<void(serialcomclass* port, int code)>;

  serialcomclass();
  // Stops and joins the port thread first; never destroy a port from its own thread.
  ~serialcomclass();
  serialcomclass(const serialcomclass&) = delete;
  serialcomclass& operator=(const serialcomclass&) = delete;

  // Opens port index config.PortNum (device from PortDevicePath) with the line settings of
  // config (baud rate, user-defined rate, flow control, parity, data and stop bits) and
  // starts the port thread.
  uint32_t Open(const PortConfig& config);
  // The same on a device given by path (PortNum is kept as -1).
  uint32_t OpenDevice(const std::string& devicePath, const PortConfig& config);

  // Takes effect at the next Open; set it before Open so that EVT_CONNECTED is seen.
  void SetCallback(Callback callback);
  // Bytes asked for by each read: 1..512 (0 counts as 1). A read returns what has arrived,
  // up to this many bytes.
  void SetReadSize(uint32_t n);
  // Watches ring and carrier while on (Open turns it off). Where the device cannot report
  // its modem lines the watch is dropped with one log line.
  void SetMonitorModem(bool on);
  bool MonitorModem() const { return monitorModem_.load(); }

  // Hands 0..512 bytes to the port thread. True when accepted; false (nothing sent) when the
  // thread is not running, a previous write is still in progress, bytes is null or the
  // length is out of range.
  bool Send(const void* bytes, int32_t length);
  bool IsRunning() const { return running_.load(); }
  // True from an accepted Send until all its bytes have been written.
  bool IsWriting() const { return writing_.load(); }

  // The bytes of the last read, NUL-terminated after RxCount bytes. Valid in the
  // EVT_RX_DATA notification and until ReadDone.
  const uint8_t* RxBuffer() const { return rxBuffer_; }
  uint32_t RxCount() const { return rxCount_; }
  // The bytes of the write just completed and their count, NUL-terminated. Valid in the
  // EVT_TX_DONE notification.
  const uint8_t* TxBuffer(uint32_t& length) const;
  // The received bytes have been taken: the next read may start.
  void ReadDone();

  // Wakes the port thread, waits for it to end (a blocked write is abandoned) and closes the
  // device. Returns at once when no thread runs. From the port thread itself it only asks the
  // thread to end. A thread held up in a notification is waited for at most kStopWaitMs;
  // then the port counts as stopped (nothing is sent) and the next Stop waits again.
  void Stop();
  static constexpr int kStopWaitMs = 2000;

  // True on the port thread itself (in a notification).
  bool IsPortThread() const { return std::this_thread::get_id() == threadId_.load(); }

  // The settings of the last Open; PortName holds at most 10 characters of the device path,
  // MonitorModem is 0 (see MonitorModem()).
  const PortConfig& Settings() const { return settings_; }
  // The full path of the device of the last Open.
  const std::string& DevicePath() const { return devicePath_; }

 private:
  uint32_t OpenAt(int32_t portNum, const std::string& devicePath, const PortConfig& config);
  void ThreadBody(Callback callback);
  bool HandleDevice(const Callback& callback, short revents);
  bool WriteSome(const Callback& callback);
  void CheckModemLines(const Callback& callback);
  void Notify(const Callback& callback, int code);
  void Fail(const char* eventName, int error);
  void Wake();
  void CloseDevice();
  bool WaitThreadEnd(int timeoutMs);

  PortConfig settings_;  // written by Open only
  std::string devicePath_;
  std::atomic<uint32_t> readSize_{1};
  uint32_t txLength_ = 0;  // written by Send while no write is pending
  uint32_t txDone_ = 0;    // port thread only
  std::atomic<bool> running_{false};
  std::atomic<bool> writing_{false};
  std::atomic<bool> txPending_{false};
  std::atomic<bool> readArmed_{false};
  std::atomic<bool> stopRequested_{false};
  std::atomic<bool> monitorModem_{false};
  std::atomic<std::thread::id> threadId_{};
  UniqueFd fd_;      // port thread while it runs, Open and Stop otherwise
  UniqueFd wakeFd_;  // lives as long as the object, so a late Send never writes a stale fd
  std::thread thread_;
  std::mutex endMutex_;  // threadEnded_, set by the port thread as its last act
  std::condition_variable endCv_;
  bool threadEnded_ = true;
  std::mutex lifecycle_;  // Open, Stop and the stored callback
  Callback callback_;
  uint8_t rxBuffer_[kPortBufferSize + 1] = {};  // one spare byte for the NUL
  uint32_t rxCount_ = 0;
  uint8_t txBuffer_[kPortBufferSize + 1] = {};
  uint8_t sentBuffer_[kPortBufferSize + 1] = {};  // port thread only
  uint32_t sentLength_ = 0;
  // Modem watch (port thread only).
  bool modemKnown_ = false;
  int64_t lastModemCheckMs_ = 0;
  int lastRingCount_ = 0, lastCarrierCount_ = 0;
  bool lastCarrier_ = false;
};
