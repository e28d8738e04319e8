#include "transmitter/TxSectionPassThrough.h"

#include <cstdint>

#include "support/ProfileStore.h"

namespace {
constexpr int32_t kTxFileVersion = 1;
}

const std::array<const char*, 4> TxSectionPassThrough::kKeys = {
    "FreqMhz", "FmDeviation", "PreModFilterSelected", "AttenuationIndexDb"};

bool TxSectionPassThrough::LoadSection(const std::string& path, const std::string& section) {
  int32_t version = 0;
  if (!ReadProfileInt(path, section, "FileVersion", version)) return false;
  for (size_t i = 0; i < kKeys.size(); ++i) ReadProfileString(path, section, kKeys[i], values_[i]);
  return true;
}

void TxSectionPassThrough::SaveSection(const std::string& path, const std::string& section) const {
  WriteProfileInt(path, section, "FileVersion", kTxFileVersion);
  for (size_t i = 0; i < kKeys.size(); ++i) WriteProfileString(path, section, kKeys[i], values_[i]);
}
