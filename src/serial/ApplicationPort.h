#pragma once
// The application port: the one serial port that reaches the unit, its reply-line assembly
// for the senders and the reply event "VORN RX".
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/AutoResetEvent.h"
#include "serial/PortConfig.h"
#include "serial/serialcomclass.h"
#include "support/ProgramClosing.h"

// The reply event "VORN RX": set once for every carriage return the unit sends.
AutoResetEvent& ReplyEvent();

// The open application port, or null. The object is replaced as a whole when the port is
// reopened; a caller holding the pointer keeps the object alive (its thread may have ended).
std::shared_ptr<serialcomclass> ComPort();
// Closes any open application port, then opens one with config's settings (the device of
// config.PortNum, or devicePath when given) with OnPortEvent as its handler and read size 1.
// False (no port remains) when the open failed; the reason is in the log.
bool OpenApplicationPort(const PortConfig& config, const std::string& devicePath = {});
// Stops and destroys the application port, if any. Call it before the objects the traffic
// observer touches are destroyed.
void CloseApplicationPort();
// The port exists and its thread runs (the status caption's "Connected").
bool ApplicationPortConnected();
// Send on the application port; false when there is no port or it refused the bytes.
bool SendToUnit(const void* bytes, int32_t length);

// The reply line: the bytes received since it was last emptied, carriage returns left out.
// At most 511 bytes are kept; the rest of an over-long line is dropped up to its carriage
// return, with one log line. Safe to use from any thread.
// The text, and the line is emptied; `lines` as ReplyLineBuffer::Take gives it.
std::string TakeReplyLine(uint32_t* lines = nullptr);
void ClearReplyLine();
std::string ReplyLineText();  // the text, the line stays
uint32_t ReplyLineLength();
constexpr uint32_t kReplyLineCapacity = 511;

// The notification handler of the application port (runs on the port thread). Does nothing
// for a null port, a code above 6 or while gShuttingDown is set.
void OnPortEvent(serialcomclass* port, int code);

// Sees the application port's traffic on the port thread: every notification code, with the
// received bytes for EVT_RX_DATA and the sent bytes for EVT_TX_DONE (else null, 0). Setting
// a new observer (or none) waits for a call in progress to end, so after it returns the old
// observer is never called again. The observer must not set the observer nor wait for the
// thread that sets it; it may close the port.
using PortTrafficObserver = std::function<void(int code, const uint8_t* bytes, uint32_t count)>;
void SetPortTrafficObserver(PortTrafficObserver observer);
