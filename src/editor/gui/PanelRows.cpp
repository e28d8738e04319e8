#include "editor/gui/PanelRows.h"

#include <QAction>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QMenu>
#include <QPalette>
#include <QVBoxLayout>

#include "support/gui/NavyLook.h"

void ColourPanel(QWidget* widget) {
  PaintNavy(widget);
}

QFrame* AddInnerFrame(QWidget* panel, const QString& hint) {
  ColourPanel(panel);
  auto* outer = new QVBoxLayout(panel);
  outer->setContentsMargins(2, 2, 2, 2);
  auto* inner = new QFrame(panel);
  inner->setFrameShape(QFrame::Panel);
  inner->setFrameShadow(QFrame::Sunken);
  inner->setToolTip(hint);
  ColourPanel(inner);
  auto* grid = new QGridLayout(inner);
  grid->setContentsMargins(8, 6, 8, 6);
  grid->setHorizontalSpacing(16);
  grid->setVerticalSpacing(4);
  grid->setColumnStretch(0, 1);
  outer->addWidget(inner);
  return inner;
}

QLabel* AddRow(QFrame* inner, const QString& caption, const QString& hint) {
  auto* grid = static_cast<QGridLayout*>(inner->layout());
  const int row = grid->rowCount();
  auto* name = new QLabel(caption, inner);
  if (!hint.isEmpty()) name->setToolTip(hint);
  auto* value = new QLabel(inner);
  QFont bold = value->font();
  bold.setBold(true);
  value->setFont(bold);
  value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  grid->addWidget(name, row, 0);
  grid->addWidget(value, row, 1);
  return value;
}

QMenu* AddTaggedSubmenu(QMenu* menu, const QString& title, const std::vector<QString>& entries,
                        const std::vector<int>& tags, const std::function<void(int)>& chosen) {
  QMenu* sub = menu->addMenu(title);
  for (size_t i = 0; i < entries.size() && i < tags.size(); ++i) {
    QAction* action = sub->addAction(entries[i]);
    action->setData(tags[i]);
    QObject::connect(action, &QAction::triggered, sub, [chosen, tag = tags[i]] { chosen(tag); });
  }
  return sub;
}

QMenu* AddIndexedSubmenu(QMenu* menu, const QString& title, const std::vector<QString>& entries,
                         const std::function<void(int)>& chosen) {
  std::vector<int> tags(entries.size());
  for (size_t i = 0; i < tags.size(); ++i) tags[i] = static_cast<int>(i);
  return AddTaggedSubmenu(menu, title, entries, tags, chosen);
}
