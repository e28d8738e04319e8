#pragma once
// The user wave editor's logic, apart from its window: the caller's wave table edited in
// place (with a backup for Cancel), the sample grid's texts and read-back, the three menu
// edits and the wave file's Save, Save As and Recall. A wave file that cannot be read is
// refused with a message and changes nothing.
#include <string>

#include "simulator/SimSetupData.h"

extern const char* const kUserWaveExtension;  // ".R4V8SimUserWave"
constexpr int kUserWaveGridColumns = 16;

// Reads a wave file for the editor. Unlike a setup recall, a file that is missing, lacks
// its sample count, or holds entries that are no numbers in range is refused: message
// says why, and table is left as it was.
bool LoadUserWaveFile(const std::string& path, UserWaveTable& table, std::string& message);
// Writes the wave file in one atomic replace; false when it could not be written.
bool SaveUserWaveFile(const std::string& path, const UserWaveTable& table);

class userwaveeditclass {
 public:
  // cellCount: samples shown, one per minor frame (kept within 0..1024).
  userwaveeditclass(UserWaveTable& table, std::string fileName, int cellCount);

  // ---- what the window shows
  int CellCount() const { return cellCount_; }
  int RowCount() const;
  std::string RowLabel(int row) const;  // "1 - 17"
  std::string CellText(int cell, bool hex) const;
  std::string DefaultValueText(bool hex) const;
  std::string LabelText() const;  // the name, or "Not Assigned"
  std::string WordCountText() const;
  std::string Title() const;  // "*UserDef Wave Editor : SINE1" while edited
  const std::string& FileName() const { return fileName_; }
  bool Edited() const { return edited_; }
  const UserWaveTable& Table() const { return table_; }

  // ---- edits
  // A cell's text read back into its sample; false (sample unchanged, error signal)
  // when it is no number.
  bool ReadCell(int cell, const std::string& text, bool hex);
  bool EditLabel();                 // "Wave Label"
  bool EditDefaultValue(bool hex);  // "Default Value"
  bool EditNumWords();              // "Num Words in Wave"

  // ---- the "File" menu
  void Save();
  void SaveAs();
  void Recall();
  // "Setup Edited Without Saving.  Save First?": Yes saves as.
  void AskSaveFirst();

  // ---- leaving: the file name to hand back
  std::string Accept();
  std::string Cancel();

 private:
  bool WriteTo(const std::string& path);

  UserWaveTable& table_;
  const UserWaveTable backup_;
  const std::string startFileName_;
  std::string fileName_;
  int cellCount_;
  bool edited_ = false;
};
