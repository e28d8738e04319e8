#pragma once
#include <QMainWindow>

// The program's main window.
class TQm48MainForm : public QMainWindow {
  Q_OBJECT

 public:
  explicit TQm48MainForm(QWidget* parent = nullptr);
};
