// qm48: the controller's GUI. It takes no options: everything it needs lives in files in
// the start directory (the current directory when it starts).
#include <QApplication>

#include "app/gui/Qm48MainUnit.h"
#include "app/gui/SingleInstance.h"
#include "support/gui/QtOperator.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QtOperator op;
  SetOperator(&op);
  SingleInstanceLock instance("Qm48_SingleInstance");
  RefuseSecondInstance(instance);

  int result = 0;
  {
    TQm48MainForm window;
    op.SetParentWindow(&window);
    window.show();
    result = app.exec();
    op.SetParentWindow(nullptr);
  }
  SetOperator(nullptr);
  return result;
}
