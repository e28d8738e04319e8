#include "pcm/BitstreamFile.h"
#include "platform/UniqueFd.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

std::vector<uint8_t> PackCells(const BitSequence& cells) {
  std::vector<uint8_t> bytes((cells.size() + 7) / 8, 0);
  for (size_t i = 0; i < cells.size(); ++i) {
    if ((cells[i] & 1) != 0) bytes[i / 8] |= static_cast<uint8_t>(0x80u >> (i % 8));
  }
  return bytes;
}

BitSequence UnpackCells(const uint8_t* bytes, size_t count) {
  BitSequence cells(count * 8);
  for (size_t i = 0; i < cells.size(); ++i) cells[i] = (bytes[i / 8] >> (7 - i % 8)) & 1;
  return cells;
}

int64_t PossiblePaddingCells(const BitSequence& cells) {
  int64_t count = 0;
  for (size_t i = cells.size(); i > 0 && count < 7 && (cells[i - 1] & 1) == 0; --i) ++count;
  return count;
}

bool ReadBitstreamFile(const std::string& path, BitSequence& cells, std::string& error,
                       uint64_t maxBytes) {
  const UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (!fd) {
    error = "cannot open " + path + ": " + std::strerror(errno);
    return false;
  }
  std::vector<uint8_t> bytes;
  uint8_t buffer[65536];
  bool ok = true;
  while (true) {
    const ssize_t got = ::read(fd.Get(), buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) {
      error = "cannot read " + path + ": " + std::strerror(errno);
      ok = false;
      break;
    }
    if (got == 0) break;
    if (bytes.size() + static_cast<size_t>(got) > maxBytes) {
      error = path + " holds more than " + std::to_string(maxBytes) + " bytes";
      ok = false;
      break;
    }
    bytes.insert(bytes.end(), buffer, buffer + got);
  }
  if (ok) cells = UnpackCells(bytes.data(), bytes.size());
  return ok;
}
