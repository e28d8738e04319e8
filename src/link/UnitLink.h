#pragma once
// The link to one unit: the serial port that reaches it, the reply line assembled from what
// it answers, the reply event "VORN RX" and whoever watches the traffic. The senders are
// handed a link; the program's window owns one, and each qm48ctl command that talks to a
// unit owns its own.
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "platform/AutoResetEvent.h"
#include "serial/PortConfig.h"
#include "serial/ReplyLine.h"
#include "serial/serialcomclass.h"

// Sees the port's traffic on the port thread: every notification code, with the received
// bytes for EVT_RX_DATA and the sent bytes for EVT_TX_DONE (else null, 0).
using PortTrafficObserver = std::function<void(int code, const uint8_t* bytes, uint32_t count)>;

class UnitLink {
 public:
  UnitLink();
  // Stops the port first, while everything its handler touches still exists. Never
  // destroy a link from its port thread (an observer).
  ~UnitLink();
  UnitLink(const UnitLink&) = delete;
  UnitLink& operator=(const UnitLink&) = delete;

  // Closes any open port, then opens one with config's settings (the device of
  // config.PortNum, or devicePath when given) with OnPortEvent as its handler and read
  // size 1. False (no port remains) when the open failed; the reason is in the log.
  bool Open(const PortConfig& config, const std::string& devicePath = {});
  // Stops and drops the port, if any. An observer may call it on the port thread: the
  // port is then asked to stop and joined by the next Open or Close elsewhere.
  void Close();
  // The port exists and its thread runs (the status caption's "Connected").
  bool Connected() const;
  // Sends on the port; false when there is no port or it refused the bytes.
  bool Send(const void* bytes, int32_t length);
  // The open port, or null. The object is replaced as a whole when the port is reopened;
  // a caller holding the pointer keeps the object alive (its thread may have ended).
  std::shared_ptr<serialcomclass> Port() const;

  // The reply event "VORN RX": set once for every carriage return the unit sends.
  AutoResetEvent& ReplyEvent() { return replyEvent_; }

  // The reply line: the bytes received since it was last emptied, carriage returns left
  // out. At most kReplyLineCapacity bytes are kept; the rest of an over-long line is
  // dropped up to its carriage return, with one log line. Safe to use from any thread.
  // The text, and the line is emptied; `lines` as ReplyLineBuffer::Take gives it.
  std::string TakeReplyLine(uint32_t* lines = nullptr) { return replyLine_.Take(lines); }
  void ClearReplyLine() { replyLine_.Clear(); }
  std::string ReplyLineText() const { return replyLine_.Text(); }  // the line stays
  uint32_t ReplyLineLength() const { return replyLine_.Length(); }
  static constexpr uint32_t kReplyLineCapacity = ReplyLineBuffer::kCapacity;

  // Observers of the traffic, called in the order they were added. Removing one waits
  // for a call in progress to end, so after RemoveObserver returns that observer is never
  // called again. An observer must not add or remove observers nor wait for a thread that
  // does; it may close the port.
  using ObserverId = uint64_t;
  ObserverId AddObserver(PortTrafficObserver observer);
  void RemoveObserver(ObserverId id);

  // The port's notification handler (runs on the port thread). Does nothing for a null
  // port, a code above 6, while gShuttingDown is set or once the link is being destroyed.
  void OnPortEvent(serialcomclass* port, int code);

 private:
  void JoinRetiredPort();
  void Observe(int code, const uint8_t* bytes, uint32_t count);
  void Receive(const uint8_t* bytes, uint32_t count);

  // Declared before the port so they outlive it: its thread runs the handler that uses them.
  AutoResetEvent replyEvent_{"VORN RX"};
  ReplyLineBuffer replyLine_;
  std::mutex observerMutex_;
  std::vector<std::pair<ObserverId, PortTrafficObserver>> observers_;
  ObserverId nextObserverId_ = 1;  // under observerMutex_
  std::atomic<bool> ending_{false};

  // A port closed from its own thread (by an observer) cannot be joined there; it is kept
  // as retired and joined by the next open or close elsewhere.
  mutable std::mutex portMutex_;
  std::shared_ptr<serialcomclass> port_;
  std::shared_ptr<serialcomclass> retired_;
};
