// The main window opens where the last run left it, at that size or maximised, and
// remembers its place at the close, in the last-setup file.
#include <QGuiApplication>
#include <QScreen>

#include "app/WindowPlace.h"
#include "app/gui/Qm48MainUnit.h"
#include "support/ProgramLog.h"

void TQm48MainForm::RestoreWindowPlace() {
  WindowPlace place;
  if (lastSetupPath_.empty() || !ReadWindowPlace(lastSetupPath_, place)) return;
  // The screen the window was on may be gone or smaller now: the screen under its corner
  // takes it, else the primary one.
  QScreen* screen = QGuiApplication::screenAt(QPoint(place.left, place.top));
  if (!screen) screen = QGuiApplication::primaryScreen();
  if (!screen) return;
  const QRect room = screen->availableGeometry();
  place = FitWindowPlace(place, minimumWidth(), minimumHeight(),
                         ScreenArea{room.x(), room.y(), room.width(), room.height()});
  setGeometry(place.left, place.top, place.width, place.height);
  if (place.maximised) setWindowState(windowState() | Qt::WindowMaximized);
}

void TQm48MainForm::SaveWindowPlace() {
  if (lastSetupPath_.empty()) return;
  // A maximised window keeps the size it comes back to.
  const bool maximised = isMaximized();
  const QRect normal = maximised ? normalGeometry() : geometry();
  if (normal.isEmpty()) return;
  const WindowPlace place{normal.x(), normal.y(), normal.width(), normal.height(), maximised};
  if (!WriteWindowPlace(lastSetupPath_, place))
    LogError("The window's place could not be written to " + lastSetupPath_, 0, false);
}
