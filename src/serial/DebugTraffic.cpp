#include "serial/DebugTraffic.h"

#include <cctype>
#include <cstdio>

#include "support/NumberText.h"

namespace {
constexpr uint8_t kCarriageReturn = 13;
constexpr uint8_t kFirstPrintable = 0x20;
constexpr uint8_t kDelete = 0x7F;

struct ControlChar {
  const char* name;
  const char* description;
};
constexpr ControlChar kControlTable[kControlChars] = {
    {"NUL", "Null"},
    {"SOH", "Start of heading"},
    {"STX", "Start of text"},
    {"ETX", "End of text"},
    {"EOT", "End of transmission"},
    {"ENQ", "Enquiry"},
    {"ACK", "Acknowledge"},
    {"BEL", "Bell"},
    {"BS", "Backspace"},
    {"HT", "Horizontal tab"},
    {"LF", "Linefeed"},
    {"VT", "Vertical tab"},
    {"FF", "Formfeed"},
    {"CR", "Carriage return"},
    {"SO", "Shift out"},
    {"SI", "Shift in"},
    {"DLE", "Data link escape"},
    {"DC1", "Device control 1"},
    {"DC2", "Device control 2"},
    {"DC3", "Device control 3"},
    {"DC4", "Device control 4"},
    {"NAK", "Negative acknowledge"},
    {"SYN", "Synchronous idle"},
    {"ETB", "End transmission block"},
    {"CAN", "Cancel"},
    {"EM", "End of medium"},
    {"SUB", "Substitute"},
    {"ESC", "Escape"},
    {"FS", "File separator"},
    {"GS", "Group separator"},
    {"RS", "Record separator"},
    {"US", "Unit separator"},
};

std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

// The byte a token between '<' and '>' stands for; -1 when it is none.
int TokenByte(const std::string& inner) {
  const std::string name = Upper(inner);
  for (int code = 0; code < kControlChars; ++code)
    if (name == kControlTable[code].name) return code;
  if (name.size() == 4 && name[0] == '0' && name[1] == 'X' && std::isxdigit(name[2]) &&
      std::isxdigit(name[3]))
    return std::stoi(name.substr(2), nullptr, 16);
  return -1;
}
}  // namespace

const std::vector<std::string>& SpecialCharEntries() {
  static const std::vector<std::string> entries = [] {
    std::vector<std::string> list;
    for (int code = 0; code < kControlChars; ++code) {
      std::string name = kControlTable[code].name;
      name.resize(5, ' ');
      list.push_back(HexText(static_cast<uint32_t>(code), 2, true) + "   " + name +
                     kControlTable[code].description);
    }
    return list;
  }();
  return entries;
}

std::vector<std::string> HexCharEntries() {
  std::vector<std::string> list;
  for (uint32_t value = 0; value < 256; ++value) list.push_back(HexText(value, 2, true));
  return list;
}

std::string ControlCharName(uint8_t code) {
  return code < kControlChars ? kControlTable[code].name : std::string();
}

std::string SendToken(uint8_t code) {
  if (code >= kFirstPrintable && code < kDelete) return std::string(1, static_cast<char>(code));
  // Built by appending: the "<" + text + ">" form trips a false alarm of the optimiser.
  std::string token(1, '<');
  if (code < kFirstPrintable)
    token += kControlTable[code].name;
  else
    token += HexText(code, 2, true);
  token += '>';
  return token;
}

std::string TrafficText(const std::string& bytes) {
  std::string text;
  text.reserve(bytes.size());
  for (char c : bytes) {
    const auto code = static_cast<uint8_t>(c);
    if (code >= kFirstPrintable && code < kDelete)
      text += c;
    else
      text += SendToken(code);
  }
  return text;
}

std::string HexViewText(const std::string& bytes) {
  std::string text;
  text.reserve(bytes.size() * 3);
  for (char c : bytes) {
    if (!text.empty()) text += ' ';
    text += HexText(static_cast<uint8_t>(c), 2, false);
  }
  return text;
}

std::string TimeStampText(const LocalDateTime& time) {
  char text[24];
  std::snprintf(text, sizeof text, "%02d:%02d:%02d.%03d", time.hour % 100, time.minute % 100,
                time.second % 100, time.millisecond % 1000);
  return text;
}

std::string EncodeSendLine(const std::string& line) {
  std::string bytes;
  for (size_t i = 0; i < line.size(); ++i) {
    if (line[i] == '<') {
      const size_t end = line.find('>', i + 1);
      if (end != std::string::npos) {
        const int code = TokenByte(line.substr(i + 1, end - i - 1));
        if (code >= 0) {
          bytes += static_cast<char>(code);
          i = end;
          continue;
        }
      }
    }
    bytes += line[i];
  }
  return bytes;
}

std::string FormatTrafficLine(const TrafficLine& line, bool withTime, bool withHex) {
  std::string text;
  if (withTime) text = TimeStampText(line.time) + " ";
  text += line.direction == TrafficDirection::Sent ? "TX " : "RX ";
  text += TrafficText(line.bytes);
  if (withHex) {
    text += "   [";
    text += HexViewText(line.bytes);
    text += ']';
  }
  return text;
}

TrafficLine TrafficLineAssembler::Sent(const uint8_t* bytes, uint32_t count,
                                       const LocalDateTime& now) {
  TrafficLine line;
  line.direction = TrafficDirection::Sent;
  line.time = now;
  if (bytes != nullptr) line.bytes.assign(reinterpret_cast<const char*>(bytes), count);
  return line;
}

std::vector<TrafficLine> TrafficLineAssembler::Received(const uint8_t* bytes, uint32_t count,
                                                        const LocalDateTime& now) {
  std::vector<TrafficLine> done;
  if (bytes == nullptr) return done;
  for (uint32_t i = 0; i < count; ++i) {
    if (open_.bytes.empty()) {
      open_.direction = TrafficDirection::Received;
      open_.time = now;
    }
    open_.bytes += static_cast<char>(bytes[i]);
    if (bytes[i] == kCarriageReturn) {
      done.push_back(std::move(open_));
      open_ = {};
    }
  }
  return done;
}
