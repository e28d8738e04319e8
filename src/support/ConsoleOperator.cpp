#include "support/ConsoleOperator.h"

#include <atomic>
#include <iostream>

MsgAnswer ConsoleOperator::MessageBox(const std::string& text, const std::string& caption,
                                      MsgButtons buttons, MsgIcon) {
  std::cerr << (caption.empty() ? "" : caption + ": ") << text << "\n";
  return UnansweredAnswer(buttons);
}

std::optional<std::string> ConsoleOperator::InputBox(const std::string&, const std::string&,
                                                     const std::string&) {
  return std::nullopt;  // nobody to answer: Cancel
}

bool ConsoleOperator::ChooseFile(const FileChooserRequest&, std::string&) {
  return false;
}

void ConsoleOperator::RunProgress(const ProgressDialogRequest& request, ProgressTask& task) {
  task.Start();
  const int interval = request.timerMs > 0 ? request.timerMs : 500;
  // The task itself bounds how long it runs; the end wakes the wait at once.
  while (!task.Finished()) task.AwaitChange(task.Position(), interval);
}

void ConsoleOperator::PlayTones(const std::vector<Tone>&) {}

namespace {
ConsoleOperator gConsole;
std::atomic<OperatorInterface*> gOperator{nullptr};
}  // namespace

MsgAnswer UnansweredAnswer(MsgButtons buttons) {
  switch (buttons) {
    case MsgButtons::Ok:
      return MsgAnswer::Ok;
    case MsgButtons::OkCancel:
    case MsgButtons::YesNoCancel:
      return MsgAnswer::Cancel;
    case MsgButtons::YesNo:
      return MsgAnswer::No;
  }
  return MsgAnswer::Cancel;
}

OperatorInterface& Operator() {
  OperatorInterface* op = gOperator.load(std::memory_order_acquire);
  return op ? *op : gConsole;
}

OperatorInterface* SetOperator(OperatorInterface* op) {
  return gOperator.exchange(op, std::memory_order_acq_rel);
}
