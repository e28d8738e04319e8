#pragma once
// The debug terminal's view of the port traffic, free of any widget: the control character
// table, the text and hex forms of the bytes, the send-line tokens, and the assembly of the
// port's notifications (one byte at a time) into the lines the terminal shows.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/Clock.h"

constexpr int kControlChars = 32;
constexpr int kTraceMaxLines = 256;  // a trace of more lines is emptied before the next one

// "0x0D   CR   Carriage return": the 32 entries of the special character list, in code order.
const std::vector<std::string>& SpecialCharEntries();
// "0x00" .. "0xFF": the 256 entries of the hex character list.
std::vector<std::string> HexCharEntries();
// "CR", "STX", ...; empty for a code of 0x20 and above.
std::string ControlCharName(uint8_t code);

// The bytes as the terminal shows them: printable ASCII as it is, control characters as
// "<CR>", "<STX>", ..., DEL and the upper half as "<0xHH>".
std::string TrafficText(const std::string& bytes);
// "30 51 0D": each byte as two hex digits, one space between.
std::string HexViewText(const std::string& bytes);
// "21:35:03.123".
std::string TimeStampText(const LocalDateTime& time);

// What the send text holds for one byte added from a list: the token TrafficText uses for
// it, so that what is typed and what is shown read alike.
std::string SendToken(uint8_t code);
// The bytes one line of send text stands for: every token of TrafficText ("<CR>",
// "<0x7F>", upper or lower case) becomes its byte; anything else is sent as typed.
std::string EncodeSendLine(const std::string& line);

enum class TrafficDirection { Sent, Received };

struct TrafficLine {
  TrafficDirection direction = TrafficDirection::Received;
  LocalDateTime time;  // when its first byte was seen
  std::string bytes;   // as on the line, a received line's carriage return included
};

// "TX 0Q", "RX 1.23<CR>", with the time stamp in front and the hex view behind when asked.
std::string FormatTrafficLine(const TrafficLine& line, bool withTime, bool withHex);

// Cuts the traffic into lines: every write is one sent line; received bytes make a line up
// to and including each carriage return. A received line still open when something is sent
// stays open (the unit answers after the command).
class TrafficLineAssembler {
 public:
  // A completed write: its line.
  TrafficLine Sent(const uint8_t* bytes, uint32_t count, const LocalDateTime& now);
  // Received bytes: the lines they complete, in order.
  std::vector<TrafficLine> Received(const uint8_t* bytes, uint32_t count, const LocalDateTime& now);
  // The received line begun but not yet ended (empty bytes when none).
  const TrafficLine& OpenLine() const { return open_; }
  void Clear() { open_ = {}; }

 private:
  TrafficLine open_;
};
