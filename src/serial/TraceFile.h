#pragma once
// The debug terminal's files: a live trace that grows one line at a time and a saved copy
// of the traffic shown. Lines end in CR LF like the program's other text files.
#include <string>
#include <vector>

#include "platform/UniqueFd.h"

// A trace file opened for appending: each line goes to the system in its own write, so a
// crash of the program loses at most the line being written and never what came before.
class TraceFile {
 public:
  TraceFile() = default;
  ~TraceFile() { Close(); }
  TraceFile(const TraceFile&) = delete;
  TraceFile& operator=(const TraceFile&) = delete;

  // Opens (creating when missing) for appending; false with the system's reason.
  bool Open(const std::string& path, std::string* error = nullptr);
  // Appends the line and its line end; false when it could not be written in full.
  bool WriteLine(const std::string& line);
  void Close();
  bool IsOpen() const { return fd_.Valid(); }
  const std::string& Path() const { return path_; }

 private:
  UniqueFd fd_;
  std::string path_;
};

// Writes the lines to a temporary file beside path and renames it over path, so the file
// is either the old one or the whole new one. False with the system's reason.
bool SaveTraceLines(const std::string& path, const std::vector<std::string>& lines,
                    std::string* error = nullptr);
