#include "support/ProgramLog.h"

#include <sys/stat.h>

#include <memory>
#include <mutex>

#include "platform/StartDirectory.h"
#include "support/ErrorLog.h"
#include "support/Operator.h"
#include "support/Signals.h"

std::atomic<bool> gDebugLogging{false};

namespace {
std::mutex gLogMutex;  // guards the pointer; ErrorLog serialises the lines itself
std::unique_ptr<ErrorLog> gLog;

bool IsDirectory(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

void WriteLine(const std::string& text, int tag) {
  std::lock_guard lock(gLogMutex);
  if (gLog) gLog->Write(text, tag);
}
}  // namespace

void LogStart(const std::string& version, const std::string& name, const std::string& subdirectory,
              const std::string& fallbackName) {
  RecordStartDirectory(true);
  std::string start = StartDirectory();
  std::string path;
  if (!subdirectory.empty() && IsDirectory(start + "/" + subdirectory))
    path = start + "/" + subdirectory + "/" + name;
  else
    path = fallbackName;
  path += ".Log";
  {
    std::lock_guard lock(gLogMutex);
    gLog = std::make_unique<ErrorLog>(path);
  }
  WriteLine("------------------PROGRAM START--------------------", 0);
  WriteLine("Program Version " + version, 0);
}

void LogEnd() {
  WriteLine("------------------PROGRAM END--------------------", 0);
  std::lock_guard lock(gLogMutex);
  if (gLog) gLog->Close();
  gLog.reset();
}

std::string LogPath() {
  std::lock_guard lock(gLogMutex);
  return gLog ? gLog->Path() : std::string();
}

void LogText(const std::string& text, int tag) {
  GoToStartDirectory();
  WriteLine(text, tag);
}

void LogError(const std::string& text, int tag, bool showBox) {
  SignalError();
  WriteLine(text, tag);
  if (showBox) Operator().MessageBox(text, "ERROR", MsgButtons::Ok, MsgIcon::Error);
}

void LogInfo(const std::string& text, int tag, bool showBox) {
  GoToStartDirectory();
  WriteLine(text, tag);
  if (showBox) Operator().MessageBox(text, "INFO", MsgButtons::Ok, MsgIcon::Information);
}

void LogDetail(const std::string& text, int tag) {
  if (gDebugLogging.load(std::memory_order_relaxed)) LogText(text, tag);
}
