#include "editor/gui/WordGridView.h"

#include <QHeaderView>
#include <QMouseEvent>

namespace {
constexpr int kColumnWidth = 80;
constexpr int kCaptionWidth = 110;
constexpr int kRowHeight = 22;
}  // namespace

WordGridView::WordGridView(QWidget* parent) : QTableView(parent) {
  setSelectionMode(QAbstractItemView::NoSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setFocusPolicy(Qt::StrongFocus);
  setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  horizontalHeader()->hide();
  // Uniform sizes keep the header from measuring 16,383 columns.
  horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  horizontalHeader()->setDefaultSectionSize(kColumnWidth);
  verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  verticalHeader()->setDefaultSectionSize(kRowHeight);
  verticalHeader()->setSectionsClickable(false);
  verticalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  verticalHeader()->setFixedWidth(kCaptionWidth);
  verticalHeader()->setStyleSheet(
      "QHeaderView::section { background-color: silver; color: black; padding-left: 5px;"
      " border: 1px solid gray; }");
}

void WordGridView::mousePressEvent(QMouseEvent* event) {
  const QModelIndex index = indexAt(event->position().toPoint());
  const int word = index.isValid() ? index.column() + 1 : 0;
  if (onPress_)
    onPress_(word, event->button(), event->modifiers(), event->globalPosition().toPoint());
  event->accept();
}

void WordGridView::mouseDoubleClickEvent(QMouseEvent* event) {
  mousePressEvent(event);
}

void WordGridView::mouseMoveEvent(QMouseEvent* event) {
  event->accept();
}
