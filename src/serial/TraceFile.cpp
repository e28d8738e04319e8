#include "serial/TraceFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {
const char kLineEnd[] = "\r\n";

bool WriteAll(int fd, const std::string& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

void Tell(std::string* error, const std::string& what) {
  if (error) *error = what + ": " + std::strerror(errno);
}
}  // namespace

bool TraceFile::Open(const std::string& path, std::string* error) {
  Close();
  fd_.Reset(::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644));
  if (!fd_) {
    Tell(error, path);
    return false;
  }
  path_ = path;
  return true;
}

bool TraceFile::WriteLine(const std::string& line) {
  if (!fd_) return false;
  // One write per line: an append of a whole line or nothing of the next.
  return WriteAll(fd_.Get(), line + kLineEnd);
}

void TraceFile::Close() {
  fd_.Reset();
  path_.clear();
}

bool SaveTraceLines(const std::string& path, const std::vector<std::string>& lines,
                    std::string* error) {
  std::string temp = path + ".XXXXXX";
  UniqueFd fd(::mkstemp(temp.data()));
  if (!fd) {
    Tell(error, path);
    return false;
  }
  std::string text;
  for (const std::string& line : lines) text += line + kLineEnd;
  const bool written = WriteAll(fd.Get(), text) && ::fchmod(fd.Get(), 0644) == 0;
  const bool closed = fd.Close();
  if (!written || !closed || std::rename(temp.c_str(), path.c_str()) != 0) {
    Tell(error, path);
    ::unlink(temp.c_str());
    return false;
  }
  return true;
}
