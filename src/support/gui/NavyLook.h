#pragma once
// The navy surfaces of the setup window and the text on them, in one place: every page,
// panel and strip drawn on navy takes its colours from here, so all of them read alike;
// and the few colours of the white grids on them.
#include <QColor>

class QMenuBar;
class QTabBar;
class QWidget;

// The surface: #000080.
QColor NavySurface();
// Text on it: white, and a light grey-blue for disabled controls (6.9:1, still readable).
QColor NavyText();
QColor NavyDisabledText();

// Navy background and white text for the widget and everything in it that does not set
// its own colours. The scroll bars and spin boxes already in it keep dark arrows.
void PaintNavy(QWidget* widget);

// A control with its own light face (a scroll bar, a spin box) that draws its arrows in
// the text colour: dark arrows again, not navy's white.
void KeepDarkGlyphs(QWidget* control);

// Tabs on a navy strip: the selected tab takes the page's navy with white text, joined to
// the page under it; the others are light with dark text.
void StyleNavyTabs(QTabBar* tabs);

// White captions on a menu bar drawn on a dark blue.
void StyleLightOnDarkMenuBar(QMenuBar* bar);

// The white grids on these pages: the grey of a muted cell (an unused slot, a sample past
// the wave's end), plainly lighter than black yet 4.9:1 on white, and the blue behind a
// selected cell's white text (7:1).
QColor MutedCellText();
QColor SelectedCellBackground();
