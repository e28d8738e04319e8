#pragma once
// The small slot grids of the dynamic and unique words panels: a table view with fixed
// row and column headers, fixed row height, no scroll bars, typed into in place. Its
// delegate edits a cell in a line edit and may reshape every typed key.
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <functional>
#include <vector>

class SlotGridDelegate : public QStyledItemDelegate {
  Q_OBJECT

 public:
  // keyFilter: how a typed key is stored (null: as typed).
  SlotGridDelegate(std::function<QChar(QChar)> keyFilter, QObject* parent)
      : QStyledItemDelegate(parent), keyFilter_(std::move(keyFilter)) {}

  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                        const QModelIndex& index) const override;

 private:
  std::function<QChar(QChar)> keyFilter_;
};

// rows x columns data cells; column widths in pixels; the vertical header shows
// rowLabels (its width headerWidth).
QTableWidget* MakeSlotGrid(QWidget* parent, const QStringList& headers,
                           const QStringList& rowLabels, const std::vector<int>& columnWidths,
                           int headerWidth);
// Runs check whenever the operator presses the mouse on the grid, selects another cell or
// leaves the grid: a slot's placement is checked on every way out of an edit, not only
// when a typed cell is committed.
// The returned watch belongs to the grid; a panel deletes it in its own destructor, so
// that the focus loss of its grid being torn down no longer reaches the gone panel.
QObject* CheckOnGridEvents(QTableWidget* grid, std::function<void()> check);
// Sets a cell's text without letting the grid report it as typed.
void SetCellText(QTableWidget* grid, int row, int column, const QString& text, bool muted = false);
QString CellText(const QTableWidget* grid, int row, int column);
