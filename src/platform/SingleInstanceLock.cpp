#include "platform/SingleInstanceLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <utility>

#include "platform/SystemErrorText.h"

SingleInstanceLock::SingleInstanceLock(std::string name, std::string directory) {
  std::string suffix;
  if (directory.empty()) {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime && *runtime) {
      directory = runtime;
    } else {
      // Outside the per-user runtime directory the user id keeps users apart.
      directory = "/tmp";
      suffix = '.';
      suffix += std::to_string(getuid());
    }
  }
  // Appended piece by piece: g++ 12 at -O3 warns falsely (-Wrestrict) on the chain of +.
  path_ = std::move(directory);
  path_ += '/';
  path_ += name;
  path_ += suffix;
  path_ += ".lock";
}

SingleInstanceLock::~SingleInstanceLock() {
  Release();
}

bool SingleInstanceLock::TryAcquire() {
  if (fd_) return true;
  // No symbolic links: in a shared directory someone else could plant one.
  UniqueFd fd(open(path_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600));
  if (!fd) {
    error_ = SystemErrorText(errno);
    return false;
  }
  if (flock(fd.Get(), LOCK_EX | LOCK_NB) != 0) {
    error_ = SystemErrorText(errno);
    return false;
  }
  fd_ = std::move(fd);
  error_.clear();
  return true;
}

void SingleInstanceLock::Release() {
  if (!fd_) return;
  flock(fd_.Get(), LOCK_UN);
  fd_.Reset();
}
