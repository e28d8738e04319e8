#include "app/LastSetupMatch.h"

#include <cctype>
#include <filesystem>
#include <vector>

#include "app/SetupFiles.h"
#include "platform/StartDirectory.h"
#include "support/ProfileStore.h"
#include "support/ProgramLog.h"

namespace fs = std::filesystem;

namespace {

bool SameIgnoringCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

bool IsRegularFile(const fs::path& path) {
  std::error_code ec;
  return fs::is_regular_file(path, ec);
}

// The entry of folder named like name: the exact one when it exists, else the only one
// that matches without regard to case; empty when there is none or more than one.
std::string MatchEntry(const fs::path& folder, const std::string& name) {
  std::error_code ec;
  if (name == "." || name == ".." || fs::exists(folder / name, ec)) return name;
  std::string found;
  int matches = 0;
  fs::directory_iterator it(folder, ec), end;
  for (; !ec && it != end; it.increment(ec)) {
    std::string entry = it->path().filename().string();
    if (SameIgnoringCase(entry, name)) {
      found = entry;
      ++matches;
    }
  }
  return matches == 1 ? found : std::string();
}

}  // namespace

std::string MatchLastSetupName(const std::string& stored, const std::string& baseDirectory) {
  if (stored.empty()) return {};
  const bool absolute = stored.front() == '/';
  const fs::path base = absolute ? fs::path("/") : fs::path(baseDirectory);
  if (IsRegularFile(base / stored)) return stored;

  fs::path folder = base;
  std::string matched = absolute ? "/" : "";
  for (const fs::path& part : fs::path(stored).relative_path()) {
    std::string name = part.string();
    if (name.empty()) continue;  // a trailing or doubled slash
    std::string entry = MatchEntry(folder, name);
    if (entry.empty()) return {};
    folder /= entry;
    if (!matched.empty() && matched.back() != '/') matched += '/';
    matched += entry;
  }
  return IsRegularFile(folder) ? matched : std::string();
}

bool RecallLastSetup(const WholeSetup& setup, const std::string& path,
                     std::string& currentFileName) {
  std::string unchanged = currentFileName;
  if (!LoadWholeFile(setup, path, false, unchanged)) return false;
  std::string stored;
  if (ReadProfileString(path, kLastSetupSection, "FileName", stored) && !stored.empty()) {
    std::string name = MatchLastSetupName(stored, StartDirectory());
    if (name.empty())
      LogText("Last setup file " + stored + " no longer exists: forgotten", 0);
    else if (name != stored)
      LogText("Last setup file " + stored + " found as " + name, 0);
    currentFileName = name;
  } else {
    currentFileName.clear();
  }
  return true;
}
