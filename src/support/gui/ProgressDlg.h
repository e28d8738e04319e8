#pragma once
// The senders' modal progress dialog: red, a caption, a progress bar and Cancel. It starts
// the task when it is shown and looks at it on its timer; it closes once the task has
// finished. Cancel (or Esc) asks the task to stop and the dialog then waits, looking more
// often, until it has. The task's worker is reached only through the task's calls.
#include <QDialog>
#include <QTimer>

#include "support/Operator.h"

class QLabel;
class QProgressBar;
class QPushButton;

class TProgressDlg : public QDialog {
  Q_OBJECT

 public:
  // How often the dialog looks at a task that was asked to stop.
  static constexpr int kCancelPollMs = 10;

  TProgressDlg(const ProgressDialogRequest& request, ProgressTask& task, QWidget* parent = nullptr);

  bool CancelPressed() const { return cancelPressed_; }
  QPushButton* CancelButton() const { return cancel_; }
  QProgressBar* ProgressBar() const { return bar_; }

  void reject() override;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void Poll();
  void ShowProgress();

  ProgressTask& task_;
  QProgressBar* bar_;
  QPushButton* cancel_;
  QTimer timer_;
  bool started_ = false;
  bool cancelPressed_ = false;
};
