#pragma once
// Runs an action on the first modal dialog of the wanted type once it is up. A dialog that
// never comes is given up on and whatever modal window stands instead is rejected, so a
// failing test ends instead of hanging.
#include <QApplication>
#include <QDialog>
#include <QTimer>
#include <functional>
#include <memory>

struct ModalDriverResult {
  bool ran = false;
};

template <typename W>
std::shared_ptr<ModalDriverResult> OnModal(std::function<void(W*)> action, int giveUpMs = 10000) {
  constexpr int kPollMs = 5;
  auto result = std::make_shared<ModalDriverResult>();
  auto* timer = new QTimer;
  timer->setInterval(kPollMs);
  auto polls = std::make_shared<int>(0);
  QObject::connect(timer, &QTimer::timeout, [=] {
    auto* widget = qobject_cast<W*>(QApplication::activeModalWidget());
    if (!widget && ++*polls * kPollMs < giveUpMs) return;
    timer->stop();
    timer->deleteLater();
    if (widget) {
      result->ran = true;
      action(widget);
    } else if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
      dialog->reject();
    }
  });
  timer->start();
  return result;
}
