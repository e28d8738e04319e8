#include "app/gui/Qm48MainUnit.h"

TQm48MainForm::TQm48MainForm(QWidget* parent) : QMainWindow(parent) {
  setWindowTitle("QM-48 Controller");
  resize(900, 640);
}
