#pragma once
// One running copy of the program per user: an flock()ed file in the user's runtime
// directory. The kernel drops the lock when the holder dies, so a crash never blocks
// the next start.
#include <string>

#include "platform/UniqueFd.h"

class SingleInstanceLock {
 public:
  // name: the lock's name ("Qm48_SingleInstance"); directory: where the lock file lives
  // (empty: $XDG_RUNTIME_DIR, else /tmp with the user id in the file name).
  explicit SingleInstanceLock(std::string name, std::string directory = {});
  ~SingleInstanceLock();
  SingleInstanceLock(const SingleInstanceLock&) = delete;
  SingleInstanceLock& operator=(const SingleInstanceLock&) = delete;

  // True when this object now holds the lock; false when another process holds it
  // or the lock file could not be opened (ErrorText() says why).
  bool TryAcquire();
  void Release();
  bool Held() const { return fd_.Valid(); }
  const std::string& Path() const { return path_; }
  const std::string& ErrorText() const { return error_; }

 private:
  std::string path_;
  std::string error_;
  UniqueFd fd_;
};
