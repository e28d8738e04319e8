#include "support/ProfileEntries.h"

#include <fcntl.h>
#include <unistd.h>

#include <memory>
#include <mutex>
#include <unordered_map>

#include "platform/StartDirectory.h"
#include "platform/UniqueFd.h"
#include "support/IniDocument.h"
#include "support/ProfileFileIo.h"
#include "support/ProfileStore.h"

namespace {

// Everything the store knows about one file. Slots are never removed, so a file keeps
// one mutex for the life of the program; a batch's copy is dropped when it ends.
struct FileSlot {
  std::mutex mutex;
  int batchDepth = 0;
  bool batchLoadFailed = false;
  bool batchDirty = false;
  IniDocument batch;
  std::string batchPath;  // where the batch was loaded from and is saved to
};

std::mutex gSlotsMutex;
std::unordered_map<std::string, std::unique_ptr<FileSlot>> gSlots;

// A batch saves to the file it loaded, even if the current directory has moved since
// (file choosers and logging move it).
std::string AbsolutePath(const std::string& file) {
  if (!file.empty() && file[0] == '/') return file;
  std::string cwd = CurrentDirectory();
  if (cwd.empty()) return file;
  return cwd.back() == '/' ? cwd + file : cwd + "/" + file;
}

// Slots are found by the name the callers use, so a batch opened under a relative name
// keeps collecting that name's reads and writes wherever the current directory is.
FileSlot& SlotFor(const std::string& path) {
  std::lock_guard<std::mutex> lock(gSlotsMutex);
  std::unique_ptr<FileSlot>& slot = gSlots[path];
  if (!slot) slot = std::make_unique<FileSlot>();
  return *slot;
}

ProfileReadResult LoadDocument(const std::string& path, IniDocument& doc) {
  std::string bytes;
  ProfileReadResult result = ReadProfileFileBytes(path, bytes);
  doc = result == ProfileReadResult::Ok ? IniDocument::Parse(bytes) : IniDocument();
  return result;
}

bool FindValue(const IniDocument& doc, const std::string& section, const std::string& key,
               std::string& value) {
  std::string_view found;
  if (!doc.Find(section, key, found)) return false;
  value.assign(found);
  return true;
}

}  // namespace

bool ReadProfileEntry(const std::string& file, const std::string& section, const std::string& key,
                      std::string& value) {
  if (file.empty()) return false;
  FileSlot& slot = SlotFor(file);
  std::lock_guard<std::mutex> lock(slot.mutex);
  if (slot.batchDepth > 0)
    return !slot.batchLoadFailed && FindValue(slot.batch, section, key, value);
  IniDocument doc;
  if (LoadDocument(file, doc) != ProfileReadResult::Ok) return false;
  return FindValue(doc, section, key, value);
}

bool WriteProfileEntry(const std::string& file, const std::string& section, const std::string& key,
                       const std::string& value) {
  if (file.empty() || !IniDocument::IsWritableSection(section) || !IniDocument::IsWritableKey(key))
    return false;
  FileSlot& slot = SlotFor(file);
  std::lock_guard<std::mutex> lock(slot.mutex);
  if (slot.batchDepth > 0) {
    if (slot.batchLoadFailed) return false;
    if (slot.batch.Set(section, key, value)) slot.batchDirty = true;
    return true;
  }
  IniDocument doc;
  ProfileReadResult loaded = LoadDocument(file, doc);
  if (loaded == ProfileReadResult::Failed) return false;
  bool changed = doc.Set(section, key, value);
  if (!changed && loaded == ProfileReadResult::Ok) return true;
  return ReplaceProfileFile(file, doc.Serialize());
}

void BeginProfileBatch(const std::string& file) {
  if (file.empty()) return;
  FileSlot& slot = SlotFor(file);
  std::lock_guard<std::mutex> lock(slot.mutex);
  if (slot.batchDepth++ > 0) return;
  slot.batchDirty = false;
  slot.batchPath = AbsolutePath(file);
  slot.batchLoadFailed = LoadDocument(slot.batchPath, slot.batch) == ProfileReadResult::Failed;
}

bool EndProfileBatch(const std::string& file) {
  if (file.empty()) return false;
  FileSlot& slot = SlotFor(file);
  std::lock_guard<std::mutex> lock(slot.mutex);
  if (slot.batchDepth == 0) return false;
  if (--slot.batchDepth > 0) return !slot.batchLoadFailed;
  bool ok = !slot.batchLoadFailed;
  if (ok && slot.batchDirty) ok = ReplaceProfileFile(slot.batchPath, slot.batch.Serialize());
  slot.batch = IniDocument();
  slot.batchPath.clear();
  slot.batchDirty = false;
  slot.batchLoadFailed = false;
  return ok;
}

bool FlushProfileFile(const std::string& path) {
  if (path.empty()) return false;
  FileSlot& slot = SlotFor(path);
  std::lock_guard<std::mutex> lock(slot.mutex);
  // Changes still held by an open batch have not reached the file at all.
  if (slot.batchDepth > 0 && slot.batchDirty) return false;
  // Every save already syncs its file; this makes sure of it for the caller.
  const UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  return fd && ::fsync(fd.Get()) == 0;
}
