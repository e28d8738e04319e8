// The file helpers of the profile store: backups, existence and write protection, and
// base names.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/UniqueFd.h"
#include "support/ProfileFileIo.h"
#include "support/ProfileStore.h"

namespace {
constexpr size_t kCopyBlock = 8192;
constexpr size_t kLongestPath = 259;
}  // namespace

void BackupProfileFile(const std::string& path) {
  const UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  if (!fd) return;
  struct stat st;
  if (::fstat(fd.Get(), &st) != 0 || !S_ISREG(st.st_mode)) return;
  // Written like a profile save, so a failed copy never replaces a good older backup.
  AtomicFileWriter backup;
  bool ok = backup.Open(path + ".BAK");
  char block[kCopyBlock];
  while (ok) {
    ssize_t n = ::read(fd.Get(), block, sizeof block);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      ok = n == 0;
      break;
    }
    ok = backup.Write(block, static_cast<size_t>(n));
  }
  if (ok) backup.Commit();
}

bool PathExists(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0;
}

bool DirectoryExists(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// Here "protected" means we may not write it: run as root, access() grants writing
// whatever the permission bits say.
bool IsFileProtected(const std::string& path) {
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) return !(errno == ENOENT || errno == ENOTDIR);
  return ::access(path.c_str(), W_OK) != 0;
}

std::string BaseNameOf(const std::string& path) {
  std::string name = path.size() > kLongestPath ? path.substr(0, kLongestPath) : path;
  size_t first = name.find_first_not_of(" \t");
  if (first == std::string::npos) return {};
  name = name.substr(first, name.find_last_not_of(" \t") - first + 1);
  // Stored names may come from either kind of system.
  size_t slash = name.find_last_of("/\\");
  if (slash != std::string::npos) name.erase(0, slash + 1);
  size_t dot = name.find('.');
  if (dot != std::string::npos) name.resize(dot);
  return name;
}
