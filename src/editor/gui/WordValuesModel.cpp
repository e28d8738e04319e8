#include "editor/gui/WordValuesModel.h"

#include <QPainter>

#include "editor/WordValueEdits.h"
#include "support/NumberText.h"

namespace {

constexpr int kCellTextChars = 11;
constexpr int kTextInset = 5;
const char* const kRowCaptions[WordValuesModel::kRowCount] = {"Word Number", "Word Length",
                                                              "Word Value"};

}  // namespace

WordValuesModel::WordValuesModel(const WordValueEdits& edits, QObject* parent)
    : QAbstractTableModel(parent), edits_(edits) {}

int WordValuesModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kRowCount;
}

int WordValuesModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : edits_.Count();
}

QString WordValuesModel::CellText(int row, int column) const {
  const int word = column + 1;
  if (word < 1 || word > edits_.Count()) return {};
  switch (row) {
    case kNumberRow:
      return QString::number(word);
    case kLengthRow:
      return QString::number(edits_.Word(word).SimWordLen);
    case kValueRow: {
      const uint16_t value = edits_.Word(word).SimValue;
      if (viewHex_) return QString::fromStdString(HexText(value, 4, true));
      return QString::number(value);
    }
    default:
      return {};
  }
}

QVariant WordValuesModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  if (role == Qt::DisplayRole) return CellText(index.row(), index.column());
  if (role == kCellKindRole) {
    if (index.row() == kNumberRow) return kFixedCell;
    return edits_.IsSelected(index.column() + 1) ? kSelectedCell : kPlainCell;
  }
  return {};
}

QVariant WordValuesModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation == Qt::Vertical && role == Qt::DisplayRole && section >= 0 && section < kRowCount)
    return QString::fromLatin1(kRowCaptions[section]);
  return QAbstractTableModel::headerData(section, orientation, role);
}

void WordValuesModel::SetViewHex(bool hex) {
  if (hex == viewHex_) return;
  viewHex_ = hex;
  ValuesChanged();
}

void WordValuesModel::Reload() {
  beginResetModel();
  endResetModel();
}

void WordValuesModel::RowChanged(int first, int last) {
  if (edits_.Count() == 0) return;
  emit dataChanged(index(first, 0), index(last, edits_.Count() - 1));
}

void WordValuesModel::LengthsChanged() {
  RowChanged(kLengthRow, kLengthRow);
}
void WordValuesModel::ValuesChanged() {
  RowChanged(kValueRow, kValueRow);
}
void WordValuesModel::SelectionChanged() {
  RowChanged(kLengthRow, kValueRow);
}

void WordCellDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                             const QModelIndex& index) const {
  QColor background = Qt::white;
  QColor text = Qt::black;
  switch (index.data(WordValuesModel::kCellKindRole).toInt()) {
    case WordValuesModel::kFixedCell:
      background = QColor(0xC0, 0xC0, 0xC0);  // silver
      break;
    case WordValuesModel::kSelectedCell:
      background = Qt::blue;
      text = Qt::white;
      break;
    default:
      break;
  }
  painter->fillRect(option.rect, background);
  painter->setPen(text);
  const QString shown = index.data(Qt::DisplayRole).toString().left(kCellTextChars);
  const QRect area = option.rect.adjusted(kTextInset, kTextInset, 0, 0);
  painter->drawText(area, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, shown);
}
