#include "simulator/UserWaveFiles.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstring>

#include "support/ProfileStore.h"

const char* const kUserWaveCommonSection = "UserDef Wave Info Common Area";
const char* const kUserWaveValueSection = "UserDef Wave Info Word Value Area (1 based)";

namespace {

bool IsExistingFile(const std::string& path) {
  struct stat st {};
  return !path.empty() && ::stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

}  // namespace

void WriteUserWaveFile(const std::string& path, const UserWaveTable& table) {
  const int count = std::clamp(table.NumWords, 0, kUserWaveMaxWords);
  ProfileBatch batch(path);
  WriteProfileString(path, kUserWaveCommonSection, "Name", table.Name);
  WriteProfileInt(path, kUserWaveCommonSection, "DefaultValue", table.DefaultValue);
  WriteProfileInt(path, kUserWaveCommonSection, "NumWords", table.NumWords);
  for (int k = 0; k < count; ++k)
    WriteProfileInt(path, kUserWaveValueSection, std::to_string(k + 1),
                    table.Samples[static_cast<size_t>(k)]);
  batch.End();
  FlushProfileFile(path);
}

bool ReadUserWaveFile(const std::string& path, UserWaveTable& table) {
  if (!IsExistingFile(path)) return false;
  ProfileBatch batch(path);
  std::string name;
  ReadProfileString(path, kUserWaveCommonSection, "Name", name);
  const size_t length = std::min(name.size(), sizeof table.Name - 1);
  std::memcpy(table.Name, name.data(), length);
  table.Name[length] = '\0';

  int32_t defaultValue = 0;
  ReadProfileInt(path, kUserWaveCommonSection, "DefaultValue", defaultValue);
  table.DefaultValue = static_cast<uint16_t>(defaultValue & 0xFFFF);
  int32_t count = 0;
  ReadProfileInt(path, kUserWaveCommonSection, "NumWords", count);
  table.NumWords = std::clamp(count, 0, kUserWaveMaxWords);

  table.Samples.fill(table.DefaultValue);
  for (int k = 0; k < table.NumWords; ++k) {
    int32_t sample = 0;
    if (ReadProfileInt(path, kUserWaveValueSection, std::to_string(k + 1), sample))
      table.Samples[static_cast<size_t>(k)] = static_cast<uint16_t>(sample & 0xFFFF);
  }
  return true;
}
