#pragma once
// Sectioned key/value ("INI") files: setup files, the last-setup file, the port
// configuration and user wave files. Every call names the file, section and key; reads
// return true when the key was present and converted (the out-parameter is unchanged on
// false); writes return true when the file was written.
#include <cstdint>
#include <string>

// The missing-entry sentinel: a value that reads back as exactly this text is absent.
extern const char* const kProfileSentinel;  // "BOGUS SECTION or KEY"

bool ReadProfileString(const std::string& file, const std::string& section, const std::string& key,
                       std::string& value);
bool ReadProfileInt(const std::string& file, const std::string& section, const std::string& key,
                    int32_t& value);
bool ReadProfileUInt(const std::string& file, const std::string& section, const std::string& key,
                     int radix, uint32_t& value);
bool ReadProfileUInt16(const std::string& file, const std::string& section, const std::string& key,
                       int radix, uint16_t& value);
bool ReadProfileDouble(const std::string& file, const std::string& section, const std::string& key,
                       double& value);
bool ReadProfileBool(const std::string& file, const std::string& section, const std::string& key,
                     bool& value);

bool WriteProfileString(const std::string& file, const std::string& section, const std::string& key,
                        const std::string& value);
bool WriteProfileInt(const std::string& file, const std::string& section, const std::string& key,
                     int32_t value);
bool WriteProfileUInt(const std::string& file, const std::string& section, const std::string& key,
                      int radix, uint32_t value);
bool WriteProfileDouble(const std::string& file, const std::string& section, const std::string& key,
                        double value);
bool WriteProfileBool(const std::string& file, const std::string& section, const std::string& key,
                      bool value);

// Batching: between BeginProfileBatch(file) and EndProfileBatch(file) reads and writes of
// that file work on one in-memory copy; EndProfileBatch writes it once (atomically) and
// returns false when that write failed. A whole setup is saved or recalled this way.
// Batches of one file nest; the outermost End writes. Without a batch every write reads,
// changes and atomically replaces the file. A save never leaves a half-written file: on
// failure the old file stays as it was.
void BeginProfileBatch(const std::string& file);
bool EndProfileBatch(const std::string& file);

// A batch that ends when it goes out of scope; End() ends it early and tells (also when
// asked again) whether the file was written.
class ProfileBatch {
 public:
  explicit ProfileBatch(std::string file);
  ~ProfileBatch();
  ProfileBatch(const ProfileBatch&) = delete;
  ProfileBatch& operator=(const ProfileBatch&) = delete;
  bool End();

 private:
  std::string file_;
  bool open_ = true;
  bool ended_ = false;
};

void BackupProfileFile(const std::string& path);
bool FlushProfileFile(const std::string& path);
bool PathExists(const std::string& path);
bool DirectoryExists(const std::string& path);
bool IsFileProtected(const std::string& path);
std::string BaseNameOf(const std::string& path);

// The operator's file choosers (through the operator interface).
bool ChooseOpenFile(const std::string& initialDirectory, const std::string& extension,
                    const std::string& suggestedName, std::string& path);
bool ChooseSaveFile(const std::string& initialDirectory, const std::string& extension,
                    const std::string& suggestedName, std::string& path);
