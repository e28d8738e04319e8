#include "unit/UnitStateText.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cstdint>
#include <cstdio>
#include <sstream>

#include "platform/SystemErrorText.h"
#include "platform/UniqueFd.h"

namespace {

std::string Hex(uint32_t value, int width) {
  char text[16];
  std::snprintf(text, sizeof text, "%0*X", width, static_cast<unsigned>(value));
  return text;
}

bool ReadHex(std::istream& in, uint32_t& value, uint32_t limit) {
  std::string token;
  if (!(in >> token) || token.empty() || token.size() > 8) return false;
  size_t used = 0;
  try {
    unsigned long parsed = std::stoul(token, &used, 16);
    if (used != token.size() || parsed > limit) return false;
    value = static_cast<uint32_t>(parsed);
  } catch (...) {
    return false;
  }
  return true;
}

bool ReadIndex(std::istream& in, int& index, int count) {
  return (in >> index) && index >= 0 && index < count;
}

// A count as written: decimal digits only (no sign), within 64 bits.
bool ReadCount(std::istream& in, uint64_t& count) {
  std::string token;
  if (!(in >> token) || token.empty() || token.size() > 20) return false;
  uint64_t value = 0;
  for (char c : token) {
    if (c < '0' || c > '9') return false;
    const uint64_t digit = static_cast<uint64_t>(c - '0');
    if (value > (UINT64_MAX - digit) / 10) return false;
    value = value * 10 + digit;
  }
  count = value;
  return true;
}

// Nothing but blanks may follow the values of a line.
bool AtEnd(std::istream& in) {
  std::string rest;
  return !(in >> rest);
}

// Names are whatever bytes the controller sent: anything but printable ASCII (and the
// backslash itself) is written as \xNN so that every name stays on its line.
std::string EscapeName(const std::string& name) {
  std::string text;
  for (char c : name) {
    auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte > 0x7E || c == '\\')
      text += "\\x" + Hex(byte, 2);
    else
      text += c;
  }
  return text;
}

// The name between the first and the last double quote on the line.
bool ReadQuoted(std::istream& in, std::string& name) {
  std::string rest;
  std::getline(in, rest);
  size_t open = rest.find('"'), close = rest.rfind('"');
  if (open == std::string::npos || close == open) return false;
  std::string text = rest.substr(open + 1, close - open - 1);
  name.clear();
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\') {
      name += text[i];
      continue;
    }
    if (i + 3 >= text.size() || text[i + 1] != 'x' ||
        !std::isxdigit(static_cast<unsigned char>(text[i + 2])) ||
        !std::isxdigit(static_cast<unsigned char>(text[i + 3])))
      return false;
    name += static_cast<char>(std::stoi(text.substr(i + 2, 2), nullptr, 16));
    i += 3;
  }
  return true;
}

}  // namespace

std::string UnitStateText(const UnitState& state) {
  std::string text;
  text.reserve(64 * 1024);
  text += "run " + std::to_string(state.running ? 1 : 0) + "\n";
  text += "format " + std::to_string(state.sim.formatNumber) + "\n";
  for (int f = 0; f < kUnitFormats; ++f)
    text += "name " + std::to_string(f) + " \"" + EscapeName(state.sim.formatNames[f]) + "\"\n";
  text += "clock " + Hex(state.sim.clock, 8) + "\n";
  for (int r = 0; r < kUnitSimRegisters; ++r)
    text += "register " + std::to_string(r) + " " + Hex(state.sim.registers[r], 4) + "\n";
  for (int r = 0; r < kUnitTxRegisters; ++r)
    text += "tx " + std::to_string(r) + " " + Hex(state.tx[r], 4) + "\n";
  text += "commands " + std::to_string(state.commandCount) + "\n";
  text += "flash-saves " + std::to_string(state.flashSaves) + "\n";
  for (uint32_t a = 0; a < kUnitMemoryWords; ++a)
    if (state.sim.memory[a] != 0)
      text += "memory " + Hex(a, 4) + " " + Hex(state.sim.memory[a], 4) + "\n";
  return text;
}

bool ParseUnitStateText(const std::string& text, UnitState& state, std::string& error) {
  UnitState parsed;
  std::istringstream lines(text);
  std::string line;
  for (int number = 1; std::getline(lines, line); ++number) {
    if (line.empty()) continue;
    std::istringstream in(line);
    std::string key;
    in >> key;
    uint32_t value = 0, address = 0;
    int index = 0;
    bool ok = true;
    if (key == "run") {
      ok = ReadHex(in, value, 1);
      parsed.running = value == 1;
    } else if (key == "format") {
      ok = ReadIndex(in, parsed.sim.formatNumber, kUnitFormats);
    } else if (key == "name") {
      // The unit keeps the eight bytes of a name command; a longer name it never held.
      ok = ReadIndex(in, index, kUnitFormats) && ReadQuoted(in, parsed.sim.formatNames[index]) &&
           parsed.sim.formatNames[index].size() <= kUnitNameLength;
    } else if (key == "clock") {
      ok = ReadHex(in, parsed.sim.clock, 0xFFFFFFFF);
    } else if (key == "register") {
      ok = ReadIndex(in, index, kUnitSimRegisters) && ReadHex(in, value, 0xFFFF);
      if (ok) parsed.sim.registers[index] = static_cast<uint16_t>(value);
    } else if (key == "tx") {
      ok = ReadIndex(in, index, kUnitTxRegisters) && ReadHex(in, value, 0xFFFF);
      if (ok) parsed.tx[index] = static_cast<uint16_t>(value);
    } else if (key == "commands") {
      ok = ReadCount(in, parsed.commandCount);
    } else if (key == "flash-saves") {
      ok = ReadCount(in, parsed.flashSaves);
    } else if (key == "memory") {
      ok = ReadHex(in, address, kUnitMemoryWords - 1) && ReadHex(in, value, 0xFFFF);
      if (ok) parsed.sim.memory[address] = static_cast<uint16_t>(value);
    } else {
      ok = false;
    }
    if (ok && key != "name") ok = AtEnd(in);
    if (!ok) {
      error = "line " + std::to_string(number) + ": " + line;
      return false;
    }
  }
  state = std::move(parsed);
  return true;
}

bool WriteUnitStateFile(const std::string& path, const UnitState& state, std::string& error) {
  std::string text = UnitStateText(state);
  // A temporary file of its own for every write: two writers never share one.
  std::string temp = path + ".XXXXXX";
  UniqueFd fd(::mkostemp(temp.data(), O_CLOEXEC));
  if (fd) ::fchmod(fd.Get(), 0644);
  if (!fd) {
    error = path + ": " + SystemErrorText(errno);
    return false;
  }
  size_t done = 0;
  while (done < text.size()) {
    ssize_t n = ::write(fd.Get(), text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += static_cast<size_t>(n);
  }
  int saved = errno;
  bool ok = done == text.size() && ::fsync(fd.Get()) == 0;
  if (!ok && done == text.size()) saved = errno;
  if (!fd.Close() && ok) {
    ok = false;
    saved = errno;
  }
  if (ok && ::rename(temp.c_str(), path.c_str()) != 0) {
    ok = false;
    saved = errno;
  }
  if (!ok) {
    ::unlink(temp.c_str());
    error = path + ": " + SystemErrorText(saved);
  }
  return ok;
}
