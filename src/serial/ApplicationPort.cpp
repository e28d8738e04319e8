#include "serial/ApplicationPort.h"

#include <mutex>
#include <utility>

#include "serial/ReplyLine.h"
#include "support/ProgramLog.h"

namespace {
constexpr uint32_t kApplicationReadSize = 1;
constexpr uint8_t kCarriageReturn = 13;

// Defined before the port so they outlive it: its thread runs the handler that uses them.
AutoResetEvent gReplyEvent("VORN RX");
ReplyLineBuffer gReplyLine;
std::mutex gObserverMutex;
PortTrafficObserver gObserver;

// The application port. A port closed from its own thread (by the observer) cannot be
// joined there; it is kept as retired and joined by the next open or close elsewhere.
struct ComPortHolder {
  std::mutex mutex;
  std::shared_ptr<serialcomclass> port;
  std::shared_ptr<serialcomclass> retired;
  // At exit the port is stopped first, while everything its handler touches still exists,
  // and the handler is told to do nothing any more.
  ~ComPortHolder() {
    gShuttingDown = true;
    if (port) port->Stop();
    if (retired) retired->Stop();
  }
};
ComPortHolder gComPort;

void JoinRetiredPort() {
  std::shared_ptr<serialcomclass> retired;
  {
    std::lock_guard lock(gComPort.mutex);
    if (!gComPort.retired || gComPort.retired->IsPortThread()) return;
    retired.swap(gComPort.retired);
  }
  retired->Stop();
}

void Observe(int code, const uint8_t* bytes, uint32_t count) {
  std::lock_guard lock(gObserverMutex);
  if (gObserver) gObserver(code, bytes, count);
}

// Collects reply bytes; every carriage return ends a line and releases one wait.
void Receive(const uint8_t* bytes, uint32_t count) {
  uint32_t start = 0;
  for (uint32_t i = 0; i < count; ++i) {
    if (bytes[i] != kCarriageReturn) continue;
    gReplyLine.Append(bytes + start, i - start);
    gReplyLine.EndLine();
    gReplyEvent.Set();
    start = i + 1;
  }
  gReplyLine.Append(bytes + start, count - start);
}
}  // namespace

AutoResetEvent& ReplyEvent() {
  return gReplyEvent;
}

std::shared_ptr<serialcomclass> ComPort() {
  std::lock_guard lock(gComPort.mutex);
  return gComPort.port;
}

bool OpenApplicationPort(const PortConfig& config, const std::string& devicePath) {
  CloseApplicationPort();
  auto port = std::make_shared<serialcomclass>();
  port->SetCallback(OnPortEvent);
  uint32_t result = devicePath.empty() ? port->Open(config) : port->OpenDevice(devicePath, config);
  if (result != 0) return false;  // the port logged why; it is destroyed here
  port->SetReadSize(kApplicationReadSize);
  std::lock_guard lock(gComPort.mutex);
  gComPort.port = std::move(port);
  return true;
}

void CloseApplicationPort() {
  std::shared_ptr<serialcomclass> port;
  {
    std::lock_guard lock(gComPort.mutex);
    port.swap(gComPort.port);
    if (port && port->IsPortThread()) {
      port->Stop();  // asks its thread to end after this notification
      gComPort.retired = std::move(port);
      return;
    }
  }
  JoinRetiredPort();
  // Stopped here, outside the lock: the handler may be running and must finish first.
  if (port) port->Stop();
}

bool ApplicationPortConnected() {
  std::shared_ptr<serialcomclass> port = ComPort();
  return port && port->IsRunning();
}

bool SendToUnit(const void* bytes, int32_t length) {
  std::shared_ptr<serialcomclass> port = ComPort();
  return port && port->Send(bytes, length);
}

std::string TakeReplyLine(uint32_t* lines) {
  return gReplyLine.Take(lines);
}

void ClearReplyLine() {
  gReplyLine.Clear();
}

std::string ReplyLineText() {
  return gReplyLine.Text();
}

uint32_t ReplyLineLength() {
  return gReplyLine.Length();
}

void SetPortTrafficObserver(PortTrafficObserver observer) {
  std::lock_guard lock(gObserverMutex);
  gObserver = std::move(observer);
}

void OnPortEvent(serialcomclass* port, int code) {
  if (port == nullptr || gShuttingDown || code < EVT_CONNECTED || code > EVT_NO_CARRIER) return;
  switch (code) {
    case EVT_CONNECTED:
      LogInfo("Connected", code, false);
      Observe(code, nullptr, 0);
      break;
    case EVT_DISCONNECTED:
      LogInfo("Disonnected", code, false);
      Observe(code, nullptr, 0);
      break;
    case EVT_TX_DONE: {
      uint32_t length = 0;
      const uint8_t* sent = port->TxBuffer(length);
      Observe(code, sent, length);
      break;
    }
    case EVT_RX_DATA: {
      // The buffer stays ours until this handler returns: the next read starts after it.
      const uint8_t* bytes = port->RxBuffer();
      uint32_t count = port->RxCount();
      port->ReadDone();
      Receive(bytes, count);
      Observe(code, bytes, count);
      break;
    }
    case EVT_RING:
      LogInfo("DRING", code, false);
      Observe(code, nullptr, 0);
      break;
    case EVT_CARRIER_DETECTED:
      LogInfo("Carrier Detected", code, false);
      Observe(code, nullptr, 0);
      break;
    case EVT_NO_CARRIER:
      LogInfo("No more carrier", code, false);
      Observe(code, nullptr, 0);
      break;
  }
}
