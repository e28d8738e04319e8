#include "editor/gui/SlotGrid.h"

#include <QEvent>
#include <QHeaderView>
#include <QLineEdit>
#include <QSignalBlocker>

#include "support/gui/NavyLook.h"

namespace {
constexpr int kRowHeight = 18;

class GridEventCheck : public QObject {
 public:
  GridEventCheck(QTableWidget* grid, std::function<void()> check)
      : QObject(grid), grid_(grid), viewport_(grid->viewport()), check_(std::move(check)) {}

 protected:
  // Only compares pointers: events also come while the grid is being torn down.
  bool eventFilter(QObject* watched, QEvent* event) override {
    const bool press = watched == viewport_ && event->type() == QEvent::MouseButtonPress;
    const bool left = watched == grid_ && event->type() == QEvent::FocusOut;
    if (press || left) check_();
    return false;
  }

 private:
  const QObject* grid_;
  const QObject* viewport_;
  std::function<void()> check_;
};

}  // namespace

QObject* CheckOnGridEvents(QTableWidget* grid, std::function<void()> check) {
  auto* watch = new GridEventCheck(grid, check);
  grid->installEventFilter(watch);
  grid->viewport()->installEventFilter(watch);
  QObject::connect(grid, &QTableWidget::currentCellChanged, watch, [check] { check(); });
  return watch;
}

QWidget* SlotGridDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                        const QModelIndex& index) const {
  QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
  auto* line = qobject_cast<QLineEdit*>(editor);
  if (line != nullptr && keyFilter_) {
    auto filter = keyFilter_;
    connect(line, &QLineEdit::textEdited, line, [line, filter](const QString& text) {
      QString shaped = text;
      for (QChar& c : shaped) c = filter(c);
      if (shaped == text) return;
      const int at = line->cursorPosition();
      line->setText(shaped);
      line->setCursorPosition(at);
    });
  }
  return editor;
}

QTableWidget* MakeSlotGrid(QWidget* parent, const QStringList& headers,
                           const QStringList& rowLabels, const std::vector<int>& columnWidths,
                           int headerWidth) {
  auto* grid = new QTableWidget(static_cast<int>(rowLabels.size()),
                                static_cast<int>(headers.size()), parent);
  grid->setHorizontalHeaderLabels(headers);
  grid->setVerticalHeaderLabels(rowLabels);
  grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  grid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  grid->verticalHeader()->setDefaultSectionSize(kRowHeight);
  grid->verticalHeader()->setFixedWidth(headerWidth);
  grid->verticalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  grid->horizontalHeader()->setFixedHeight(kRowHeight + 2);
  grid->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  int width = headerWidth;
  for (size_t c = 0; c < columnWidths.size(); ++c) {
    grid->setColumnWidth(static_cast<int>(c), columnWidths[c]);
    width += columnWidths[c];
  }
  grid->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                        QAbstractItemView::AnyKeyPressed | QAbstractItemView::SelectedClicked);
  grid->setFixedSize(
      width + 2 * grid->frameWidth(),
      kRowHeight + 2 + kRowHeight * static_cast<int>(rowLabels.size()) + 2 * grid->frameWidth());
  grid->setStyleSheet(
      QStringLiteral("QTableWidget { background: white; color: black; gridline-color: #a0a0a0;"
                     " selection-background-color: %1; selection-color: white; }")
          .arg(SelectedCellBackground().name()) +
      "QHeaderView::section { background: #d4d0c8; color: black; border: 1px solid #a0a0a0;"
      " padding: 0px; }");
  for (int r = 0; r < grid->rowCount(); ++r)
    for (int c = 0; c < grid->columnCount(); ++c) grid->setItem(r, c, new QTableWidgetItem);
  return grid;
}

void SetCellText(QTableWidget* grid, int row, int column, const QString& text, bool muted) {
  const QSignalBlocker blocker(grid);
  QTableWidgetItem* item = grid->item(row, column);
  if (item == nullptr) {
    item = new QTableWidgetItem;
    grid->setItem(row, column, item);
  }
  item->setText(text);
  // Unused slots in grey: their numbers do nothing in the frame.
  item->setForeground(muted ? MutedCellText() : QColor(Qt::black));
}

QString CellText(const QTableWidget* grid, int row, int column) {
  const QTableWidgetItem* item = grid->item(row, column);
  return item != nullptr ? item->text() : QString();
}
