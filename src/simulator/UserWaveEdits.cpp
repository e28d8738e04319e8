#include "simulator/UserWaveEdits.h"

#include <algorithm>
#include <charconv>
#include <cstring>

#include "platform/StartDirectory.h"
#include "simulator/UserWaveFiles.h"
#include "support/CancelWatch.h"
#include "support/NumberText.h"
#include "support/Operator.h"
#include "support/ProfileStore.h"
#include "support/Signals.h"
#include "support/ValuePrompts.h"

const char* const kUserWaveExtension = ".R4V8SimUserWave";

namespace {

// A whole decimal number, surrounding blanks allowed.
bool WholeNumber(const std::string& text, long long& value) {
  const size_t first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return false;
  const size_t last = text.find_last_not_of(" \t");
  const char* begin = text.data() + first;
  const char* end = text.data() + last + 1;
  auto [at, error] = std::from_chars(begin, end, value);
  return error == std::errc() && at == end;
}

// Checks one entry of the file: absent is fine when optional, present must be a number
// in low..high.
bool CheckEntry(const std::string& path, const char* section, const std::string& key, bool required,
                long long low, long long high, std::string& message) {
  std::string text;
  if (!ReadProfileString(path, section, key, text)) {
    if (!required) return true;
    message = BaseNameOf(path) + " is not a user wave file: it has no " + key + " entry.";
    return false;
  }
  long long value = 0;
  if (WholeNumber(text, value) && value >= low && value <= high) return true;
  message = BaseNameOf(path) + " is not a valid user wave file: " + key + " is \"" + text +
            "\", not a number from " + std::to_string(low) + " to " + std::to_string(high) + ".";
  return false;
}

void SetName(UserWaveTable& table, const std::string& name) {
  const size_t length = std::min(name.size(), sizeof table.Name - 1);
  std::memset(table.Name, 0, sizeof table.Name);
  std::memcpy(table.Name, name.data(), length);
}

// The unsigned prompt; false with no change when the operator cancelled or the value is
// the same, or when the text could not be read (error signal).
bool PromptNewUInt(const std::string& prompt, uint32_t& value, uint32_t upper, int radix,
                   uint32_t lower) {
  uint32_t typed = value;
  bool read = false;
  bool cancelled = false;
  {
    CancelWatch watch;
    read = PromptUIntInRange(prompt, typed, upper, radix, lower);
    cancelled = watch.Cancelled();
  }
  if (!read) {
    SignalError();
    return false;
  }
  if (cancelled || typed == value) return false;
  value = typed;
  return true;
}

}  // namespace

bool LoadUserWaveFile(const std::string& path, UserWaveTable& table, std::string& message) {
  if (path.empty() || !PathExists(path) || DirectoryExists(path)) {
    message = "The user wave file " + path + " does not exist.";
    return false;
  }
  ProfileBatch batch(path);  // one read of the file for all the checks
  std::string name;
  if (!CheckEntry(path, kUserWaveCommonSection, "NumWords", true, 1, 1 << 30, message) ||
      !CheckEntry(path, kUserWaveCommonSection, "DefaultValue", false, 0, 65535, message))
    return false;
  if (ReadProfileString(path, kUserWaveCommonSection, "Name", name) &&
      name.size() > static_cast<size_t>(kMaxFrameSyncPatternChars)) {
    message = BaseNameOf(path) +
              " is not a valid user wave file: its Name is longer than 64 "
              "characters.";
    return false;
  }
  int32_t count = 0;
  ReadProfileInt(path, kUserWaveCommonSection, "NumWords", count);
  count = std::clamp(count, 0, kUserWaveMaxWords);
  for (int k = 1; k <= count; ++k)
    if (!CheckEntry(path, kUserWaveValueSection, std::to_string(k), false, 0, 65535, message))
      return false;
  UserWaveTable read;
  if (!ReadUserWaveFile(path, read)) {
    message = "The user wave file " + path + " could not be read.";
    return false;
  }
  table = read;
  return true;
}

bool SaveUserWaveFile(const std::string& path, const UserWaveTable& table) {
  // The outer batch makes the whole file one atomic replace and tells whether it worked.
  ProfileBatch batch(path);
  WriteUserWaveFile(path, table);
  return batch.End() && FlushProfileFile(path);
}

userwaveeditclass::userwaveeditclass(UserWaveTable& table, std::string fileName, int cellCount)
    : table_(table),
      backup_(table),
      startFileName_(fileName),
      fileName_(std::move(fileName)),
      cellCount_(std::clamp(cellCount, 0, kUserWaveMaxWords)) {}

int userwaveeditclass::RowCount() const {
  return std::max(1, (cellCount_ + kUserWaveGridColumns - 1) / kUserWaveGridColumns);
}

std::string userwaveeditclass::RowLabel(int row) const {
  const int first = kUserWaveGridColumns * row + 1;
  const int last = std::min(kUserWaveGridColumns * row + 17, cellCount_);
  return std::to_string(first) + " - " + std::to_string(last);
}

std::string userwaveeditclass::CellText(int cell, bool hex) const {
  const uint16_t value =
      cell < table_.NumWords ? table_.Samples[static_cast<size_t>(cell)] : table_.DefaultValue;
  return hex ? HexText(value, 4, false) : std::to_string(value);
}

std::string userwaveeditclass::DefaultValueText(bool hex) const {
  return hex ? HexText(table_.DefaultValue, 4, false) : std::to_string(table_.DefaultValue);
}

std::string userwaveeditclass::LabelText() const {
  return table_.Name[0] == '\0' ? std::string("Not Assigned") : std::string(table_.Name);
}

std::string userwaveeditclass::WordCountText() const {
  return std::to_string(table_.NumWords);
}

std::string userwaveeditclass::Title() const {
  return std::string(edited_ ? "*" : "") + "UserDef Wave Editor : " + BaseNameOf(fileName_);
}

bool userwaveeditclass::ReadCell(int cell, const std::string& text, bool hex) {
  if (cell < 0 || cell >= cellCount_) return false;
  bool ok = false;
  uint32_t value = 0;
  if (hex) {
    value = HexTextToValue(text, ok);
  } else {
    int32_t signedValue = 0;
    ok = TextToInt32(text, signedValue);
    value = static_cast<uint32_t>(signedValue);
  }
  if (!ok) {
    SignalError();
    return false;
  }
  uint16_t& sample = table_.Samples[static_cast<size_t>(cell)];
  const auto typed = static_cast<uint16_t>(value & 0xFFFF);
  // A changed sample of the wave is an edit; cells past its words only show the default.
  if (sample != typed && cell < table_.NumWords) edited_ = true;
  sample = typed;
  return true;
}

bool userwaveeditclass::EditLabel() {
  const std::string current = table_.Name;
  std::optional<std::string> typed =
      Operator().InputBox("Input Name", "Enter the Label to use for the Wave Shape", current);
  if (!typed) return false;
  std::string answer = std::move(*typed);
  if (answer.size() > static_cast<size_t>(kMaxFrameSyncPatternChars))
    answer.resize(kMaxFrameSyncPatternChars);
  if (answer == current) return false;
  SetName(table_, answer);
  edited_ = true;
  return true;
}

bool userwaveeditclass::EditDefaultValue(bool hex) {
  uint32_t value = table_.DefaultValue;
  if (!PromptNewUInt("Enter the Default Wave Word Value", value, 65535, hex ? 16 : 10, 0))
    return false;
  table_.DefaultValue = static_cast<uint16_t>(value);
  edited_ = true;
  return true;
}

bool userwaveeditclass::EditNumWords() {
  // A wave has at least one sample and at most one per shown cell (a table's worth).
  uint32_t value = static_cast<uint32_t>(std::max(table_.NumWords, 0));
  const auto upper = static_cast<uint32_t>(std::max(cellCount_, 1));
  if (!PromptNewUInt("Enter the Number of non-default Wave Words to use", value, upper, 10, 1))
    return false;
  table_.NumWords = static_cast<int32_t>(value & 0xFFFF);
  edited_ = true;
  return true;
}

bool userwaveeditclass::WriteTo(const std::string& path) {
  if (SaveUserWaveFile(path, table_)) return true;
  Operator().MessageBox("The user wave file " + path + " could not be written.", "SAVE",
                        MsgButtons::Ok, MsgIcon::Error);
  SignalError();
  return false;
}

void userwaveeditclass::Save() {
  if (fileName_.empty()) {
    SaveAs();
    return;
  }
  GoToStartDirectory();
  if (WriteTo(fileName_)) edited_ = false;
}

void userwaveeditclass::SaveAs() {
  GoToStartDirectory();
  std::string path;
  if (!ChooseSaveFile(StartDirectory(), kUserWaveExtension, fileName_, path)) return;
  // The chosen path is kept as it is: on a case-sensitive file system an upper-cased
  // path would name another file.
  if (!WriteTo(path)) return;
  fileName_ = path;
  edited_ = false;
}

void userwaveeditclass::Recall() {
  if (edited_) AskSaveFirst();
  GoToStartDirectory();
  std::string path;
  if (!ChooseOpenFile(StartDirectory(), kUserWaveExtension, fileName_, path)) return;
  std::string message;
  if (!LoadUserWaveFile(path, table_, message)) {
    Operator().MessageBox(message, "RECALL", MsgButtons::Ok, MsgIcon::Error);
    SignalError();
    return;
  }
  fileName_ = path;
  edited_ = false;
}

void userwaveeditclass::AskSaveFirst() {
  if (Operator().MessageBox("Setup Edited Without Saving.  Save First?", "SAVE",
                            MsgButtons::YesNoCancel, MsgIcon::Question) == MsgAnswer::Yes)
    SaveAs();
}

std::string userwaveeditclass::Accept() {
  if (edited_) AskSaveFirst();
  return fileName_;
}

std::string userwaveeditclass::Cancel() {
  table_ = backup_;
  fileName_ = startFileName_;
  return startFileName_;
}
