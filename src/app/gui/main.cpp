// qm48: the controller's GUI.
#include <QApplication>

#include "app/gui/Qm48MainUnit.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  TQm48MainForm window;
  window.show();
  return app.exec();
}
