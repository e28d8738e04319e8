#pragma once
// Drives the modal dialogs a test opens: the action runs on the first modal dialog of the
// wanted type once it is up. A dialog that never comes is given up on after a while and
// whatever modal window stands instead is rejected, so a failing test ends instead of
// hanging.
#include <QApplication>
#include <QDialog>
#include <QTimer>
#include <functional>
#include <memory>

struct ModalDriverResult {
  bool ran = false;
  bool gaveUp = false;
};

template <typename W>
std::shared_ptr<ModalDriverResult> OnModal(std::function<void(W*)> action, int giveUpMs = 10000) {
  constexpr int kPollMs = 5;
  auto result = std::make_shared<ModalDriverResult>();
  auto* timer = new QTimer;
  timer->setInterval(kPollMs);
  auto polls = std::make_shared<int>(0);
  QObject::connect(timer, &QTimer::timeout, [=] {
    if (auto* widget = qobject_cast<W*>(QApplication::activeModalWidget())) {
      timer->stop();
      timer->deleteLater();
      result->ran = true;
      action(widget);
      return;
    }
    if (++*polls * kPollMs < giveUpMs) return;
    timer->stop();
    timer->deleteLater();
    result->gaveUp = true;
    if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) dialog->reject();
  });
  timer->start();
  return result;
}
