#include "support/ProfileFileIo.h"
#include "platform/UniqueFd.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>

namespace {

std::atomic<unsigned> gTemporaryCounter{0};

bool WriteAll(int fd, const char* data, size_t size) {
  while (size > 0) {
    ssize_t n = ::write(fd, data, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    data += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

// The file a path finally names: a symbolic link is replaced by what it points to, so
// saving through a link updates the linked file instead of replacing the link.
std::string ResolveTarget(const std::string& path) {
  struct stat st;
  if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
  char resolved[PATH_MAX];
  return ::realpath(path.c_str(), resolved) ? std::string(resolved) : path;
}

std::string FolderOf(const std::string& path) {
  size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

void SyncFolder(const std::string& folder) {
  const UniqueFd fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  // The new contents are already durable; a folder that cannot be synced only risks
  // the rename, which leaves the old file in place.
  if (fd) (void)::fsync(fd.Get());
}

}  // namespace

ProfileReadResult ReadProfileFileBytes(const std::string& path, std::string& bytes) {
  // O_NONBLOCK: opening a FIFO must not hang; it is refused below like any non-file.
  const UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  if (!fd)
    return (errno == ENOENT || errno == ENOTDIR) ? ProfileReadResult::Missing
                                                 : ProfileReadResult::Failed;
  struct stat st;
  if (::fstat(fd.Get(), &st) != 0 || !S_ISREG(st.st_mode)) return ProfileReadResult::Failed;
  std::string out;
  out.reserve(static_cast<size_t>(st.st_size));
  char buffer[65536];
  for (;;) {
    ssize_t n = ::read(fd.Get(), buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return ProfileReadResult::Failed;
    if (n == 0) break;
    out.append(buffer, static_cast<size_t>(n));
  }
  bytes = std::move(out);
  return ProfileReadResult::Ok;
}

AtomicFileWriter::~AtomicFileWriter() {
  Abandon();
}

void AtomicFileWriter::Abandon() {
  fd_.Reset();
  if (!temporary_.empty()) {
    ::unlink(temporary_.c_str());
    temporary_.clear();
  }
}

bool AtomicFileWriter::Open(const std::string& path) {
  Abandon();
  failed_ = true;
  keepMode_ = false;
  if (path.empty()) return false;
  target_ = ResolveTarget(path);

  struct stat st;
  if (::stat(target_.c_str(), &st) == 0) {
    if (!S_ISREG(st.st_mode)) return false;
    keepMode_ = true;
    mode_ = st.st_mode & 07777;
    owner_ = st.st_uid;
    group_ = st.st_gid;
  }

  std::string folder = FolderOf(target_);
  size_t slash = target_.rfind('/');
  std::string name = slash == std::string::npos ? target_ : target_.substr(slash + 1);
  // A short, hidden, unique name next to the target: the rename stays inside one file
  // system and a long target name cannot push it past the name length limit.
  std::string stem = folder + "/." + name.substr(0, 64) + ".tmp" + std::to_string(::getpid()) + ".";
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string candidate = stem + std::to_string(gTemporaryCounter.fetch_add(1));
    fd_.Reset(::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
    if (fd_) {
      temporary_ = candidate;
      failed_ = false;
      return true;
    }
    if (errno != EEXIST) return false;
  }
  return false;
}

bool AtomicFileWriter::Write(const char* data, size_t size) {
  if (failed_ || !fd_) return false;
  if (!WriteAll(fd_.Get(), data, size)) failed_ = true;
  return !failed_;
}

bool AtomicFileWriter::Commit() {
  if (failed_ || !fd_) {
    Abandon();
    return false;
  }
  // Run as root, the program must not take other users' files over; where the owner
  // cannot be kept the file is still saved.
  if (keepMode_ && (owner_ != ::geteuid() || group_ != ::getegid()))
    (void)!::fchown(fd_.Get(), owner_, group_);
  bool ok = !keepMode_ || ::fchmod(fd_.Get(), mode_) == 0;
  ok = ok && ::fsync(fd_.Get()) == 0;
  ok = fd_.Close() && ok;
  ok = ok && ::rename(temporary_.c_str(), target_.c_str()) == 0;
  if (!ok) {
    Abandon();
    failed_ = true;
    return false;
  }
  temporary_.clear();
  SyncFolder(FolderOf(target_));
  return true;
}

bool ReplaceProfileFile(const std::string& path, std::string_view bytes) {
  AtomicFileWriter writer;
  return writer.Open(path) && writer.Write(bytes.data(), bytes.size()) && writer.Commit();
}
