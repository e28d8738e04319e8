#include "support/ProfileStore.h"

#include <utility>

#include "support/NumberText.h"
#include "support/ProfileEntries.h"

const char* const kProfileSentinel = "BOGUS SECTION or KEY";

namespace {
// Values were always read through a 1024-byte buffer; longer ones come back cut.
constexpr size_t kLongestValue = 1023;

std::string DecimalText(double value) {
  return FloatText(value, 0, 16);
}
}  // namespace

bool ReadProfileString(const std::string& file, const std::string& section, const std::string& key,
                       std::string& value) {
  std::string text;
  if (!ReadProfileEntry(file, section, key, text)) return false;
  if (text.size() > kLongestValue) text.resize(kLongestValue);
  if (text == kProfileSentinel) return false;
  value = std::move(text);
  return true;
}

bool ReadProfileInt(const std::string& file, const std::string& section, const std::string& key,
                    int32_t& value) {
  std::string text;
  int32_t converted = 0;
  if (!ReadProfileString(file, section, key, text) || !TextToInt32(text, converted)) return false;
  value = converted;
  return true;
}

bool ReadProfileUInt(const std::string& file, const std::string& section, const std::string& key,
                     int radix, uint32_t& value) {
  std::string text;
  uint32_t converted = 0;
  if (!ReadProfileString(file, section, key, text) || !TextToUInt32(text, converted, radix))
    return false;
  value = converted;
  return true;
}

bool ReadProfileUInt16(const std::string& file, const std::string& section, const std::string& key,
                       int radix, uint16_t& value) {
  std::string text;
  uint16_t converted = 0;
  if (!ReadProfileString(file, section, key, text) || !TextToUInt16(text, converted, radix))
    return false;
  value = converted;
  return true;
}

bool ReadProfileDouble(const std::string& file, const std::string& section, const std::string& key,
                       double& value) {
  std::string text;
  double converted = 0;
  if (!ReadProfileString(file, section, key, text) || !TextToDouble(text, converted)) return false;
  value = converted;
  return true;
}

bool ReadProfileBool(const std::string& file, const std::string& section, const std::string& key,
                     bool& value) {
  std::string text;
  if (!ReadProfileString(file, section, key, text)) return false;
  value = text == "YES";
  return true;
}

bool WriteProfileString(const std::string& file, const std::string& section, const std::string& key,
                        const std::string& value) {
  return WriteProfileEntry(file, section, key, value);
}

bool WriteProfileInt(const std::string& file, const std::string& section, const std::string& key,
                     int32_t value) {
  return WriteProfileEntry(file, section, key, DecimalText(value));
}

bool WriteProfileUInt(const std::string& file, const std::string& section, const std::string& key,
                      int radix, uint32_t value) {
  std::string text;
  switch (radix) {
    case 2:
      text = BinaryText(value, 32);
      break;
    case 8:
      text = OctText(value, 11, false);
      break;
    case 16:
      text = HexText(value, 8, false);
      break;
    default:
      text = DecimalText(value);
      break;
  }
  return WriteProfileEntry(file, section, key, text);
}

bool WriteProfileDouble(const std::string& file, const std::string& section, const std::string& key,
                        double value) {
  return WriteProfileEntry(file, section, key, FloatText(value, 9, 18));
}

bool WriteProfileBool(const std::string& file, const std::string& section, const std::string& key,
                      bool value) {
  return WriteProfileEntry(file, section, key, YesNoText(value));
}

ProfileBatch::ProfileBatch(std::string file) : file_(std::move(file)) {
  BeginProfileBatch(file_);
}

ProfileBatch::~ProfileBatch() {
  End();
}

bool ProfileBatch::End() {
  if (open_) {
    open_ = false;
    ended_ = EndProfileBatch(file_);
  }
  return ended_;
}
