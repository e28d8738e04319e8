#pragma once
// The virtual unit's PCM output: each time the encoder starts ("1 R"), the bit stream its
// memory and registers describe is written, in the selected output code, to a file or a
// pipe. A thread of its own does the writing, so a slow reader never holds up the serial
// line. A regular file is written beside its name and renamed over it when complete, so a
// reader sees the previous stream or the whole new one; a pipe gets one stream after
// the other.
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/UniqueFd.h"
#include "unit/UnitState.h"

struct stat;

// What each stream holds: the line cells of the output code, or a Chapter 10 recording.
enum class UnitStreamKind { LineCells, Ch10 };

class UnitBitstreamWriter {
 public:
  // minorFrames 0: four major frames. Every stream stops at kMaxBits bits.
  UnitBitstreamWriter(std::string path, int64_t minorFrames,
                      UnitStreamKind kind = UnitStreamKind::LineCells);
  ~UnitBitstreamWriter();
  UnitBitstreamWriter(const UnitBitstreamWriter&) = delete;
  UnitBitstreamWriter& operator=(const UnitBitstreamWriter&) = delete;

  static constexpr int64_t kMaxBits = int64_t{1} << 24;

  // The encoder started from this image: a stream of it replaces any unfinished one.
  void EncoderStarted(const SimulatorImage& image);
  // The encoder stopped: an unfinished stream is abandoned.
  void EncoderStopped();
  // Streams written completely so far.
  uint64_t StreamsWritten() const { return written_.load(); }
  bool WaitForStreams(uint64_t count, std::chrono::milliseconds timeout) const;
  // Why the last stream could not be written; empty when it was.
  std::string LastError() const;

 private:
  void Run();
  bool Write(const SimulatorImage& image, uint64_t generation, std::string& error);
  bool WriteToPipe(const std::vector<uint8_t>& bytes, uint64_t generation, const struct stat& st,
                   std::string& error);
  bool WriteBytes(int fd, const uint8_t* bytes, size_t count, uint64_t generation,
                  std::string& error);
  bool Current(uint64_t generation) const;

  const std::string path_;
  const int64_t minorFrames_;
  const UnitStreamKind kind_;
  mutable std::mutex mutex_;
  mutable std::condition_variable changed_;
  std::unique_ptr<SimulatorImage> pending_;  // guarded by mutex_
  std::string lastError_;                    // guarded by mutex_
  std::atomic<uint64_t> generation_{0};      // every start or stop abandons older streams
  std::atomic<uint64_t> written_{0};
  std::atomic<bool> stopping_{false};
  UniqueFd pipeFd_;  // writer thread only
  std::thread thread_;
};
