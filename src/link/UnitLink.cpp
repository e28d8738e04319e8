#include "link/UnitLink.h"

#include <algorithm>

#include "support/ProgramClosing.h"
#include "support/ProgramLog.h"

namespace {
constexpr uint32_t kLinkReadSize = 1;
constexpr uint8_t kCarriageReturn = 13;
}  // namespace

UnitLink::UnitLink() = default;

UnitLink::~UnitLink() {
  // The handler is told to do nothing any more, then the ports are stopped while
  // everything it touches still exists.
  ending_ = true;
  std::shared_ptr<serialcomclass> port, retired;
  {
    std::lock_guard lock(portMutex_);
    port.swap(port_);
    retired.swap(retired_);
  }
  if (port) port->Stop();
  if (retired) retired->Stop();
}

void UnitLink::JoinRetiredPort() {
  std::shared_ptr<serialcomclass> retired;
  {
    std::lock_guard lock(portMutex_);
    if (!retired_ || retired_->IsPortThread()) return;
    retired.swap(retired_);
  }
  retired->Stop();
}

std::shared_ptr<serialcomclass> UnitLink::Port() const {
  std::lock_guard lock(portMutex_);
  return port_;
}

bool UnitLink::Open(const PortConfig& config, const std::string& devicePath) {
  Close();
  auto port = std::make_shared<serialcomclass>();
  port->SetCallback([this](serialcomclass* from, int code) { OnPortEvent(from, code); });
  uint32_t result = devicePath.empty() ? port->Open(config) : port->OpenDevice(devicePath, config);
  if (result != 0) return false;  // the port logged why; it is destroyed here
  port->SetReadSize(kLinkReadSize);
  std::lock_guard lock(portMutex_);
  port_ = std::move(port);
  return true;
}

void UnitLink::Close() {
  std::shared_ptr<serialcomclass> port;
  {
    std::lock_guard lock(portMutex_);
    port.swap(port_);
    if (port && port->IsPortThread()) {
      port->Stop();  // asks its thread to end after this notification
      retired_ = std::move(port);
      return;
    }
  }
  JoinRetiredPort();
  // Stopped here, outside the lock: the handler may be running and must finish first.
  if (port) port->Stop();
}

bool UnitLink::Connected() const {
  std::shared_ptr<serialcomclass> port = Port();
  return port && port->IsRunning();
}

bool UnitLink::Send(const void* bytes, int32_t length) {
  std::shared_ptr<serialcomclass> port = Port();
  return port && port->Send(bytes, length);
}

UnitLink::ObserverId UnitLink::AddObserver(PortTrafficObserver observer) {
  std::lock_guard lock(observerMutex_);
  const ObserverId id = nextObserverId_++;
  observers_.emplace_back(id, std::move(observer));
  return id;
}

void UnitLink::RemoveObserver(ObserverId id) {
  std::lock_guard lock(observerMutex_);
  observers_.erase(std::remove_if(observers_.begin(), observers_.end(),
                                  [id](const auto& entry) { return entry.first == id; }),
                   observers_.end());
}

void UnitLink::Observe(int code, const uint8_t* bytes, uint32_t count) {
  std::lock_guard lock(observerMutex_);
  for (const auto& [id, observer] : observers_)
    if (observer) observer(code, bytes, count);
}

// Collects reply bytes; every carriage return ends a line and releases one wait.
void UnitLink::Receive(const uint8_t* bytes, uint32_t count) {
  uint32_t start = 0;
  for (uint32_t i = 0; i < count; ++i) {
    if (bytes[i] != kCarriageReturn) continue;
    replyLine_.Append(bytes + start, i - start);
    replyLine_.EndLine();
    replyEvent_.Set();
    start = i + 1;
  }
  replyLine_.Append(bytes + start, count - start);
}

void UnitLink::OnPortEvent(serialcomclass* port, int code) {
  if (port == nullptr || gShuttingDown || ending_ || code < EVT_CONNECTED || code > EVT_NO_CARRIER)
    return;
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
