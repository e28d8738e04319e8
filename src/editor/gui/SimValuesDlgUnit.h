#pragma once
// The word values dialog: the length and fixed value of every word of the minor frame.
// The operator selects words with the mouse (Ctrl toggles, Shift extends from the last
// plain click) and sets their length or values from the right-click menu. It works on a
// copy; the host copies the words back only after "Apply".
#include <QDialog>
#include <vector>

#include "editor/WordValueEdits.h"

class QAction;
class QCheckBox;
class QMenu;
class QPushButton;
class WordGridView;
class WordValuesModel;
class progsimulatorclass;

class TSimValuesDlg : public QDialog {
  Q_OBJECT

 public:
  explicit TSimValuesDlg(QWidget* parent = nullptr);

  // Sets up for the first WordsPerMinorFrame words of setup: copies them in, clears the
  // selection, fills the grid.
  void SetUp(const SimSetupData& setup);
  // Shows the dialog modally; the cancelled flag holds until "Apply".
  int ShowModal();
  bool Cancelled() const { return cancelled_; }
  // A length or value fill changed some word.
  bool Edited() const { return edited_; }
  // The working table, over the same entries of setup.
  void CopyBack(SimSetupData& setup) const { edits_.CopyBack(setup); }
  const WordValueEdits& Edits() const { return edits_; }

  // A mouse press on the grid (word 0: none). Public so the grid and tests can drive it.
  void GridPress(int word, Qt::MouseButton button, Qt::KeyboardModifiers modifiers,
                 QPoint globalPos);

  // The controls, for tests, the benchmark and the screenshot.
  WordGridView* Grid() const { return grid_; }
  WordValuesModel* Model() const { return model_; }
  QCheckBox* ViewHexBox() const { return viewHex_; }
  QPushButton* ApplyButton() const { return apply_; }
  QPushButton* CancelButton() const { return cancel_; }
  QMenu* PopupMenu() const { return menu_; }
  QAction* WordLengthEntry() const { return lengthEntry_; }
  QAction* WordValueEntry() const { return valueEntry_; }
  QAction* LengthAction(int length) const;
  QAction* SequentialAction() const { return sequential_; }
  QAction* SameAction() const { return same_; }
  QAction* RandomAction() const { return random_; }
  int ClickedWord() const { return clickedWord_; }

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void BuildMenu();
  void ShowMenuEntries();
  void ApplyClick();

  WordValueEdits edits_;
  WordValuesModel* model_;
  WordGridView* grid_;
  QCheckBox* viewHex_;
  QPushButton* apply_;
  QPushButton* cancel_;
  QMenu* menu_;
  QAction* lengthEntry_ = nullptr;
  QAction* valueEntry_ = nullptr;
  std::vector<QAction*> lengthActions_;  // lengths 3..16
  QAction* sequential_ = nullptr;
  QAction* same_ = nullptr;
  QAction* random_ = nullptr;
  int clickedWord_ = 0;  // word under the last press, 0: none
  bool cancelled_ = true;
  bool edited_ = false;
};

// The "Word Attributes" button: copies the frame's words into the dialog, runs it modally
// and copies them back unless it was cancelled. A cancelled dialog leaves the record as it
// was. The caller marks the setup edited when the answer says so.
struct WordValuesAnswer {
  bool applied = false;  // the operator applied (true as a whole)
  bool edited = false;   // and the words changed
  explicit operator bool() const { return applied; }
};
WordValuesAnswer EditWordValues(progsimulatorclass& sim, QWidget* parent);
