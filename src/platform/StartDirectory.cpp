#include "platform/StartDirectory.h"

#include <unistd.h>

#include <cerrno>

#include <mutex>
#include <vector>

namespace {
std::mutex gStartMutex;
std::string gStart;
}  // namespace

std::string CurrentDirectory() {
  std::vector<char> buffer(4096);
  while (getcwd(buffer.data(), buffer.size()) == nullptr) {
    if (errno != ERANGE || buffer.size() > (1u << 20)) return {};
    buffer.resize(buffer.size() * 2);
  }
  return buffer.data();
}

void RecordStartDirectory(bool force) {
  std::lock_guard lock(gStartMutex);
  if (gStart.empty() || force) gStart = CurrentDirectory();
}

std::string StartDirectory() {
  {
    std::lock_guard lock(gStartMutex);
    if (!gStart.empty()) return gStart;
  }
  return CurrentDirectory();
}

bool GoToStartDirectory() {
  std::string dir;
  {
    std::lock_guard lock(gStartMutex);
    dir = gStart;
  }
  if (dir.empty()) return true;
  return chdir(dir.c_str()) == 0;
}
