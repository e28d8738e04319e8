#pragma once
// The word values dialog's working state and edits, apart from any window: a copy of the
// first words of the record, the operator's word selection, the length menu and the three
// value fills. The record itself changes only through CopyBack, after "Apply".
#include <cstdint>
#include <string>
#include <vector>

#include "simulator/SimSetupData.h"

constexpr int kMinWordLength = 3;
constexpr int kMaxWordLength = 16;

class WordValueEdits {
 public:
  // Copies the first WordsPerMinorFrame entries (kept within 0..16383) of the record.
  void CopyIn(const SimSetupData& setup);
  // Writes the working table back over the same entries of the record.
  void CopyBack(SimSetupData& setup) const;

  // Sets up for words.size() words: the table is taken as given, the selection cleared.
  void SetUp(std::vector<SimWord> words);

  int Count() const { return static_cast<int>(words_.size()); }
  // word: 1-based word number.
  const SimWord& Word(int word) const { return words_[static_cast<size_t>(word - 1)]; }
  const std::vector<SimWord>& Words() const { return words_; }

  // ---- selection (word numbers are 1-based)
  // A mouse click on word k: plain selects only k and makes it the anchor; Ctrl toggles k;
  // Shift selects anchor..k in either direction and keeps the anchor. A word outside the
  // table is ignored.
  void Click(int word, bool shift, bool ctrl);
  bool IsSelected(int word) const;
  bool AnySelected() const { return selectedCount_ > 0; }
  int SelectedCount() const { return selectedCount_; }
  // The selected words, ascending.
  std::vector<int> SelectedWords() const;
  void ClearSelection();
  int Anchor() const { return anchor_; }

  // ---- edits of the selected words; each returns the number of words changed (the
  // caller marks the setup edited).
  int SetLength(int length);                          // 3..16; other lengths are refused (0)
  int FillSequential(uint16_t start, uint16_t step);  // wraps modulo 65536
  int FillSame(uint16_t value);
  int FillRandom();  // the runtime's generator, one draw per selected word in word order

  // ---- the fills as the operator asks for them: the value prompts, then the edit.
  // clickedWord: the word under the right-click (its value is the default of the first
  // prompt); outside the table the first selected word's value is offered. When the first
  // prompt brings no new input (Cancel) nothing changes; an interval left as offered is 5.
  int PromptSequential(int clickedWord);
  int PromptSame(int clickedWord);

 private:
  uint16_t DefaultFor(int clickedWord) const;
  void Select(size_t index, bool on);

  std::vector<SimWord> words_;
  std::vector<uint8_t> selected_;
  int selectedCount_ = 0;
  int anchor_ = 0;  // 0: no plain click yet
};

// The fills' value prompt: prompt + " (0x for hex else decimal)", 0..65535, decimal shown,
// starting from value. False when the operator gave no new input (Cancel, or OK on the
// unchanged text); unreadable text sounds the warning signal and keeps value.
bool PromptWordValue(const std::string& prompt, uint16_t& value);
