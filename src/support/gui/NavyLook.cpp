#include "support/gui/NavyLook.h"

#include <QAbstractSpinBox>
#include <QMenuBar>
#include <QPalette>
#include <QScrollBar>
#include <QTabBar>
#include <QWidget>

QColor NavySurface() {
  return QColor(0, 0, 128);
}

QColor NavyText() {
  return QColor(Qt::white);
}

QColor NavyDisabledText() {
  return QColor(0xa0, 0xa8, 0xd0);
}

QColor MutedCellText() {
  return QColor(0x70, 0x70, 0x70);
}

QColor SelectedCellBackground() {
  return QColor(0x1d, 0x5a, 0x96);
}

void PaintNavy(QWidget* widget) {
  QPalette palette = widget->palette();
  palette.setColor(QPalette::Window, NavySurface());
  palette.setColor(QPalette::WindowText, NavyText());
  palette.setColor(QPalette::Disabled, QPalette::WindowText, NavyDisabledText());
  widget->setPalette(palette);
  widget->setAutoFillBackground(true);
  for (QScrollBar* bar : widget->findChildren<QScrollBar*>()) KeepDarkGlyphs(bar);
  for (QAbstractSpinBox* spin : widget->findChildren<QAbstractSpinBox*>()) KeepDarkGlyphs(spin);
}

void KeepDarkGlyphs(QWidget* control) {
  QPalette palette = control->palette();
  palette.setColor(QPalette::WindowText, Qt::black);
  palette.setColor(QPalette::Disabled, QPalette::WindowText, Qt::darkGray);
  control->setPalette(palette);
}

void StyleNavyTabs(QTabBar* tabs) {
  // The unselected tabs stand a little lower, so the selected one rises into the page.
  tabs->setDrawBase(false);
  tabs->setStyleSheet(QStringLiteral(
      "QTabBar::tab { background: #c8cde6; color: #000040; border: 1px solid #8088b0;"
      " border-bottom: none; padding: 4px 10px; margin: 3px 1px 0px 1px; }"
      "QTabBar::tab:selected { background: #000080; color: white; border-color: white;"
      " margin-top: 0px; }"
      "QTabBar::tab:!selected:hover { background: #e4e7f5; }"));
}

void StyleLightOnDarkMenuBar(QMenuBar* bar) {
  QPalette palette = bar->palette();
  palette.setColor(QPalette::WindowText, Qt::white);
  palette.setColor(QPalette::ButtonText, Qt::white);
  palette.setColor(QPalette::Disabled, QPalette::ButtonText, NavyDisabledText());
  bar->setPalette(palette);
}
