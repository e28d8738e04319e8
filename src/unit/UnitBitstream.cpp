#include "unit/UnitBitstream.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>

#include "pcm/BitstreamFile.h"
#include "pcm/EncoderModel.h"
#include "platform/SystemErrorText.h"
#include "platform/UniqueFd.h"
#include "unit/UnitCh10.h"
#include "unit/UnitEncoderTables.h"

namespace {
constexpr int64_t kDefaultMajorFrames = 4;
}  // namespace

UnitBitstreamWriter::UnitBitstreamWriter(std::string path, int64_t minorFrames, UnitStreamKind kind)
    : path_(std::move(path)), minorFrames_(minorFrames), kind_(kind) {
  thread_ = std::thread(&UnitBitstreamWriter::Run, this);
}

UnitBitstreamWriter::~UnitBitstreamWriter() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
    ++generation_;
  }
  changed_.notify_all();
  thread_.join();
}

void UnitBitstreamWriter::EncoderStarted(const SimulatorImage& image) {
  {
    std::lock_guard lock(mutex_);
    pending_ = std::make_unique<SimulatorImage>(image);
    ++generation_;
  }
  changed_.notify_all();
}

void UnitBitstreamWriter::EncoderStopped() {
  {
    std::lock_guard lock(mutex_);
    pending_.reset();
    ++generation_;
  }
  changed_.notify_all();
}

bool UnitBitstreamWriter::WaitForStreams(uint64_t count, std::chrono::milliseconds timeout) const {
  std::unique_lock lock(mutex_);
  return changed_.wait_for(lock, timeout, [&] { return written_.load() >= count; });
}

std::string UnitBitstreamWriter::LastError() const {
  std::lock_guard lock(mutex_);
  return lastError_;
}

bool UnitBitstreamWriter::Current(uint64_t generation) const {
  return !stopping_ && generation_.load() == generation;
}

void UnitBitstreamWriter::Run() {
  std::unique_lock lock(mutex_);
  while (true) {
    changed_.wait(lock, [&] { return stopping_ || pending_ != nullptr; });
    if (stopping_) return;
    std::unique_ptr<SimulatorImage> image = std::move(pending_);
    const uint64_t generation = generation_.load();
    lock.unlock();
    std::string error;
    const bool done = Write(*image, generation, error);
    lock.lock();
    if (done) {
      lastError_.clear();
      ++written_;
    } else if (!error.empty()) {
      // Whoever runs the unit should see why no stream came.
      std::fprintf(stderr, "virtual unit: no bit stream: %s\n", error.c_str());
      lastError_ = error;
    }
    changed_.notify_all();
  }
}

bool UnitBitstreamWriter::Write(const SimulatorImage& image, uint64_t generation,
                                std::string& error) {
  const EncoderModel model(EncoderTablesFromUnit(image));
  const int64_t frameBits = std::max<int64_t>(1, model.FrameBits());
  int64_t frames =
      minorFrames_ > 0 ? minorFrames_ : kDefaultMajorFrames * model.MinorFramesPerMajorFrame();
  frames = std::clamp<int64_t>(frames, 1, std::max<int64_t>(1, kMaxBits / frameBits));
  std::vector<uint8_t> bytes;
  if (kind_ == UnitStreamKind::Ch10) {
    // Stamped with the time the encoder started.
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now).count();
    if (!UnitCh10Recording(image, frames, static_cast<std::time_t>(ms / 1000),
                           static_cast<int>(ms % 1000), bytes, error)) {
      error = "no Chapter 10 recording: " + error;
      return false;
    }
  } else {
    bytes = PackCells(model.Line(frames));
  }
  if (!Current(generation)) return false;

  struct stat st {};
  const bool regular = ::stat(path_.c_str(), &st) != 0 || S_ISREG(st.st_mode);
  if (!regular) return WriteToPipe(bytes, generation, st, error);

  const std::string part = path_ + ".part";
  UniqueFd fd(::open(part.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
  if (!fd) {
    error = part + ": " + SystemErrorText(errno);
    return false;
  }
  bool ok = WriteBytes(fd.Get(), bytes.data(), bytes.size(), generation, error);
  if (ok && ::fsync(fd.Get()) != 0) {
    error = part + ": " + SystemErrorText(errno);
    ok = false;
  }
  if (!fd.Close() && ok) {
    error = part + ": " + SystemErrorText(errno);
    ok = false;
  }
  if (ok && ::rename(part.c_str(), path_.c_str()) != 0) {
    error = path_ + ": " + SystemErrorText(errno);
    ok = false;
  }
  if (!ok) ::unlink(part.c_str());
  return ok;
}

// A pipe or device stays open from its first stream on: what a reader has not taken yet
// stays in the pipe. A FIFO is opened for reading too, so the open never waits for a
// reader (the writes do, while the stream is current).
bool UnitBitstreamWriter::WriteToPipe(const std::vector<uint8_t>& bytes, uint64_t generation,
                                      const struct stat& st, std::string& error) {
  if (!pipeFd_) {
    const int mode = S_ISFIFO(st.st_mode) ? O_RDWR : O_WRONLY;
    pipeFd_.Reset(::open(path_.c_str(), mode | O_NONBLOCK | O_CLOEXEC));
    if (!pipeFd_) {
      error = path_ + ": " + SystemErrorText(errno);
      return false;
    }
  }
  return WriteBytes(pipeFd_.Get(), bytes.data(), bytes.size(), generation, error);
}

bool UnitBitstreamWriter::WriteBytes(int fd, const uint8_t* bytes, size_t count,
                                     uint64_t generation, std::string& error) {
  while (count > 0) {
    if (!Current(generation)) return false;
    const ssize_t n = ::write(fd, bytes, count);
    if (n > 0) {
      bytes += n;
      count -= static_cast<size_t>(n);
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno != EAGAIN) {
      error = path_ + ": " + SystemErrorText(errno);
      return false;
    }
    // A full pipe: look again for room, or for a newer stream, every 100 ms.
    pollfd pfd{fd, POLLOUT, 0};
    ::poll(&pfd, 1, 100);
  }
  return true;
}
