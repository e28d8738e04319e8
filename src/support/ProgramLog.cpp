#include "support/ProgramLog.h"

#include <sys/stat.h>

#include <memory>
#include <mutex>
#include <utility>

#include "platform/StartDirectory.h"
#include "support/ErrorLog.h"
#include "support/Operator.h"
#include "support/Signals.h"

std::atomic<bool> gDebugLogging{false};

namespace {
// Guards only the pointer: a writer takes its own reference and writes outside this
// lock, so the log's own time-limited lock decides what happens to a busy log.
std::mutex gLogMutex;
std::shared_ptr<ErrorLog> gLog;

std::shared_ptr<ErrorLog> CurrentLog() {
  std::lock_guard lock(gLogMutex);
  return gLog;
}

bool IsDirectory(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

void WriteLine(const std::string& text, int tag) {
  if (std::shared_ptr<ErrorLog> log = CurrentLog()) log->Write(text, tag);
}
}  // namespace

void LogStart(const std::string& version, const std::string& name, const std::string& subdirectory,
              const std::string& fallbackName) {
  RecordStartDirectory(true);
  std::string start = StartDirectory();
  // Anchored to the start directory, so the file stays put whatever directory is current
  // when it is first opened.
  std::string base = start.empty() ? std::string() : start + "/";
  std::string path;
  if (!subdirectory.empty() && IsDirectory(base + subdirectory))
    path = base + subdirectory + "/" + name;
  else
    path = base + fallbackName;
  path += ".Log";
  auto log = std::make_shared<ErrorLog>(path);
  std::shared_ptr<ErrorLog> previous;
  {
    std::lock_guard lock(gLogMutex);
    previous = std::exchange(gLog, log);
  }
  if (previous) previous->Close();
  WriteLine("------------------PROGRAM START--------------------", 0);
  WriteLine("Program Version " + version, 0);
}

void LogEnd() {
  WriteLine("------------------PROGRAM END--------------------", 0);
  std::shared_ptr<ErrorLog> log;
  {
    std::lock_guard lock(gLogMutex);
    log = std::move(gLog);
    gLog.reset();
  }
  if (log) log->Close();
}

std::string LogPath() {
  std::shared_ptr<ErrorLog> log = CurrentLog();
  return log ? log->Path() : std::string();
}

void LogText(const std::string& text, int tag) {
  GoToStartDirectory();
  WriteLine(text, tag);
}

void LogError(const std::string& text, int tag, bool showBox) {
  SignalError();
  GoToStartDirectory();
  WriteLine(text, tag);
  if (showBox) Operator().MessageBox(text, "ERROR", MsgButtons::Ok, MsgIcon::Error);
}

void LogInfo(const std::string& text, int tag, bool showBox) {
  GoToStartDirectory();
  WriteLine(text, tag);
  if (showBox) Operator().MessageBox(text, "INFO", MsgButtons::Ok, MsgIcon::Information);
}

void LogDetail(const std::string& text, int tag) {
  GoToStartDirectory();
  if (gDebugLogging.load(std::memory_order_relaxed)) WriteLine(text, tag);
}
