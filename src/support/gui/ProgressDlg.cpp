#include "support/gui/ProgressDlg.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

TProgressDlg::TProgressDlg(const ProgressDialogRequest& request, ProgressTask& task,
                           QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint), task_(task) {
  setWindowTitle(QString::fromStdString(request.caption.empty() ? "Dialog" : request.caption));
  setModal(true);
  setAutoFillBackground(true);
  QPalette red = palette();
  red.setColor(QPalette::Window, Qt::red);
  setPalette(red);

  auto* layout = new QVBoxLayout(this);
  if (!request.label.empty()) layout->addWidget(new QLabel(QString::fromStdString(request.label)));
  bar_ = new QProgressBar;
  bar_->setRange(0, 100);
  bar_->setValue(0);
  layout->addWidget(bar_);
  cancel_ = new QPushButton(tr("Cancel"));
  cancel_->setAutoDefault(false);
  layout->addWidget(cancel_, 0, Qt::AlignHCenter);
  setMinimumWidth(320);
  connect(cancel_, &QPushButton::clicked, this, &TProgressDlg::reject);

  timer_.setInterval(request.timerMs > 0 ? request.timerMs : 500);
  connect(&timer_, &QTimer::timeout, this, &TProgressDlg::Poll);
}

void TProgressDlg::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  // A window shown again (restored) must not start the task twice.
  if (started_) return;
  started_ = true;
  ShowProgress();
  task_.Start();
  timer_.start();
}

void TProgressDlg::reject() {
  // Esc, the Cancel button and closing the window all land here. The dialog stays until
  // the task has stopped, so nothing of it outlives the dialog.
  if (!started_) {
    QDialog::reject();
    return;
  }
  if (cancelPressed_) return;
  cancelPressed_ = true;
  cancel_->setEnabled(false);
  task_.Cancel();
  timer_.setInterval(kCancelPollMs);
}

void TProgressDlg::Poll() {
  if (task_.Finished()) {
    timer_.stop();
    ShowProgress();
    done(cancelPressed_ ? QDialog::Rejected : QDialog::Accepted);
    return;
  }
  ShowProgress();
}

void TProgressDlg::ShowProgress() {
  int maximum = std::max(task_.Maximum(), 1);
  bar_->setRange(0, maximum);
  bar_->setValue(std::clamp(task_.Position(), 0, maximum));
}
