#include "unit/UnitProtocol.h"

#include <cctype>

#include "unit/UnitReplies.h"

namespace {

std::vector<std::string> Tokens(const std::string& text) {
  std::vector<std::string> tokens;
  std::string token;
  for (char c : text) {
    if (std::isspace(static_cast<unsigned char>(c))) {
      if (!token.empty()) tokens.push_back(std::move(token));
      token.clear();
    } else {
      token.push_back(c);
    }
  }
  if (!token.empty()) tokens.push_back(std::move(token));
  return tokens;
}

// One to four hex digits, either case: the unit's 16-bit arguments.
bool Hex16(const std::string& token, uint32_t& value) {
  if (token.empty() || token.size() > 4) return false;
  value = 0;
  for (char c : token) {
    if (!std::isxdigit(static_cast<unsigned char>(c))) return false;
    int digit = std::isdigit(static_cast<unsigned char>(c))
                    ? c - '0'
                    : std::toupper(static_cast<unsigned char>(c)) - 'A' + 10;
    value = value << 4 | static_cast<uint32_t>(digit);
  }
  return true;
}

bool Digit(const std::string& token, int lowest, int highest, int& value) {
  if (token.size() != 1 || token[0] < '0' + lowest || token[0] > '0' + highest) return false;
  value = token[0] - '0';
  return true;
}

bool IsCommandLetter(char c) {
  return c >= 'G' && c <= 'Z';
}

}  // namespace

std::vector<UnitProtocol::Exchange> UnitProtocol::Feed(const uint8_t* bytes, size_t count) {
  std::vector<Exchange> exchanges;
  for (size_t i = 0; i < count; ++i) {
    if (auto command = cutter_.Feed(bytes[i])) {
      std::string reply = Execute(*command);
      exchanges.push_back({std::move(*command), std::move(reply)});
    }
  }
  return exchanges;
}

std::vector<UnitProtocol::Exchange> UnitProtocol::Feed(const std::string& bytes) {
  return Feed(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}

std::string UnitProtocol::Execute(const std::string& command) {
  ++state_.commandCount;
  // A name command is "H" and eight bytes, which may hold any letters; every other
  // command ends with its letter and holds no "H" at all.
  size_t h = command.find('H');
  if (h != std::string::npos && h + 1 + kUnitNameLength == command.size()) {
    if (!Tokens(command.substr(0, h)).empty()) return kReplyError;
    state_.sim.formatNames[state_.sim.formatNumber] = command.substr(h + 1);
    return kReplyOk;
  }
  if (command.empty() || !IsCommandLetter(command.back()) || h != std::string::npos)
    return kReplyError;
  return ExecuteLetter(command.back(), command.substr(0, command.size() - 1));
}

std::string UnitProtocol::ExecuteLetter(char letter, const std::string& arguments) {
  std::vector<std::string> args = Tokens(arguments);
  uint32_t value = 0, second = 0;
  int digit = 0;
  SimulatorImage& sim = state_.sim;
  switch (letter) {
    case 'M':  // value address
      if (args.size() != 2 || !Hex16(args[0], value) || !Hex16(args[1], second)) break;
      sim.memory[second] = static_cast<uint16_t>(value);
      return kReplyOk;
    case 'T':  // value register
      if (args.size() != 2 || !Hex16(args[0], value) || !Hex16(args[1], second) ||
          second >= kUnitSimRegisters)
        break;
      sim.registers[second] = static_cast<uint16_t>(value);
      return kReplyOk;
    case 'K':  // high half, low half
      if (args.size() != 2 || !Hex16(args[0], value) || !Hex16(args[1], second)) break;
      sim.clock = value << 16 | second;
      return kReplyOk;
    case 'R':
      if (args.size() != 1 || !Digit(args[0], 0, 1, digit)) break;
      state_.running = digit == 1;
      return kReplyOk;
    case 'S':
      if (!args.empty()) break;
      state_.flash = sim;
      ++state_.flashSaves;
      return kReplyOk;
    case 'N':
      if (args.size() != 1 || !Digit(args[0], 0, kUnitFormats - 1, digit)) break;
      sim.formatNumber = digit;
      return kReplyOk;
    case 'G':  // value register
      if (args.size() != 2 || !Hex16(args[0], value) ||
          !Digit(args[1], 0, kUnitTxRegisters - 1, digit))
        break;
      state_.tx[digit] = static_cast<uint16_t>(value);
      return kReplyOk;
    case 'Q':
      if (!args.empty()) break;
      return HexValuesReply(QueryReplyValues(state_, limits_));
    case 'W':
      if (!args.empty()) break;
      return HexValuesReply(WQueryReplyValues(state_));
    case 'I': {  // "0F" firmware version, "0B" maximum attenuation, "0C" attenuation steps
      if (args.size() != 1 || !Hex16(args[0], value)) break;
      uint32_t answer = 0;
      if (value == 0x0F) {
        answer = limits_.firmwareVersion;
      } else if (value == 0x0B) {
        answer = limits_.maxDb;
      } else if (value == 0x0C) {
        answer = limits_.numAttenSteps;
      } else {
        break;
      }
      return HexValuesReply(&answer, 1);
    }
    default:
      break;
  }
  return kReplyError;
}
