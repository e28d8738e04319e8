#pragma once
// Whole-file reads and crash-safe whole-file replacement for the profile store.
#include <cstddef>
#include <string>
#include <string_view>

#include "platform/UniqueFd.h"

enum class ProfileReadResult { Ok, Missing, Failed };

// Reads a regular file whole. Missing: no such file (or a folder on the way is a file);
// Failed: it exists but cannot be read (no permission, a folder, a device).
ProfileReadResult ReadProfileFileBytes(const std::string& path, std::string& bytes);

// Writes a file so that readers and a crash only ever see the old or the new contents:
// a temporary file in the same folder, flushed to the disk, then renamed over the target
// (a symbolic link is followed and the file it names is replaced). The old file's
// permission bits (and, where allowed, its owner) are kept. Any failure removes the temporary file
// and leaves the old file as it was; Commit() reports it.
class AtomicFileWriter {
 public:
  AtomicFileWriter() = default;
  AtomicFileWriter(const AtomicFileWriter&) = delete;
  AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;
  ~AtomicFileWriter();

  bool Open(const std::string& path);
  bool Write(const char* data, size_t size);
  // Flushes, renames over the target and flushes the folder; false if anything failed
  // since Open().
  bool Commit();

 private:
  void Abandon();

  UniqueFd fd_;
  bool failed_ = false;
  bool keepMode_ = false;
  unsigned mode_ = 0;
  unsigned owner_ = 0;
  unsigned group_ = 0;
  std::string target_;
  std::string temporary_;
};

// Replaces the file's contents with bytes through an AtomicFileWriter.
bool ReplaceProfileFile(const std::string& path, std::string_view bytes);
