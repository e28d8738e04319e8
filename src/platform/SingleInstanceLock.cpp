#include "platform/SingleInstanceLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "platform/SystemErrorText.h"

SingleInstanceLock::SingleInstanceLock(std::string name, std::string directory) {
  if (directory.empty()) {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    directory = (runtime && *runtime) ? runtime : "/tmp";
  }
  // Outside a per-user runtime directory the user id keeps users apart.
  std::string suffix = std::getenv("XDG_RUNTIME_DIR") ? "" : "." + std::to_string(getuid());
  path_ = directory + "/" + name + suffix + ".lock";
}

SingleInstanceLock::~SingleInstanceLock() {
  Release();
}

bool SingleInstanceLock::TryAcquire() {
  if (fd_ >= 0) return true;
  int fd = open(path_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) {
    error_ = SystemErrorText(errno);
    return false;
  }
  if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    error_ = SystemErrorText(errno);
    close(fd);
    return false;
  }
  fd_ = fd;
  error_.clear();
  return true;
}

void SingleInstanceLock::Release() {
  if (fd_ < 0) return;
  flock(fd_, LOCK_UN);
  close(fd_);
  fd_ = -1;
}
