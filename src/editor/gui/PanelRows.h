#pragma once
// The look and menus the small simulator panels share: a navy inner frame with rows of
// caption and value, white text, and right-click submenus whose entries carry a tag.
#include <QString>
#include <functional>
#include <vector>

class QFrame;
class QLabel;
class QMenu;
class QWidget;

// Navy background, white text, for the panel and everything in it.
void ColourPanel(QWidget* widget);

// The panel's inner frame (its hint as tool tip) filling the panel.
QFrame* AddInnerFrame(QWidget* panel, const QString& hint);
// Appends a row "caption  value" to the inner frame; returns the value label.
QLabel* AddRow(QFrame* inner, const QString& caption, const QString& hint = QString());

// A submenu of entries; choosing entry i calls chosen(tags[i]).
QMenu* AddTaggedSubmenu(QMenu* menu, const QString& title, const std::vector<QString>& entries,
                        const std::vector<int>& tags, const std::function<void(int)>& chosen);
// The same with tags 0, 1, 2 ...
QMenu* AddIndexedSubmenu(QMenu* menu, const QString& title, const std::vector<QString>& entries,
                         const std::function<void(int)>& chosen);
