#pragma once
// The word grid of the word values dialog as a table model: three rows (word number,
// length, value) and one column per word, read straight from the working table so that a
// frame of 16,383 words costs nothing until a cell is drawn. The row captions are the
// vertical header, which stays in view while the words scroll.
#include <QAbstractTableModel>
#include <QStyledItemDelegate>

class WordValueEdits;

class WordValuesModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  enum Row { kNumberRow = 0, kLengthRow = 1, kValueRow = 2, kRowCount = 3 };
  // Tells the delegate how to colour a cell.
  enum Role { kCellKindRole = Qt::UserRole + 1 };
  enum CellKind { kFixedCell = 0, kSelectedCell = 1, kPlainCell = 2 };

  explicit WordValuesModel(const WordValueEdits& edits, QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  void SetViewHex(bool hex);
  bool ViewHex() const { return viewHex_; }

  // The working table was set up anew (another word count).
  void Reload();
  // Lengths, values or the selection changed: redraw those cells.
  void LengthsChanged();
  void ValuesChanged();
  void SelectionChanged();

  // The text of a cell as the grid shows it (column = word number - 1).
  QString CellText(int row, int column) const;

 private:
  void RowChanged(int first, int last);

  const WordValueEdits& edits_;
  bool viewHex_ = false;
};

// Paints the cells as the grid always looked: silver fixed cells with black text, blue
// selected words with white text, the rest white with black text; the text, cut to 11
// characters, 5 pixels in from the cell's top-left corner.
class WordCellDelegate : public QStyledItemDelegate {
  Q_OBJECT

 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override;
};
