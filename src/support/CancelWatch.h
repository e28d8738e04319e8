#pragma once
// Stands in for the operator during one prompt: passes everything on to the installed
// operator and notes whether the last input box was cancelled. The plain value prompts
// keep the old value on Cancel; callers that must not touch anything then ask this.
#include <optional>
#include <string>
#include <vector>

#include "support/ConsoleOperator.h"
#include "support/Operator.h"

class CancelWatch final : public OperatorInterface {
 public:
  CancelWatch() : inner_(SetOperator(this)) {}
  ~CancelWatch() override { SetOperator(inner_); }
  CancelWatch(const CancelWatch&) = delete;
  CancelWatch& operator=(const CancelWatch&) = delete;

  // True when no input box was shown, or the last one was cancelled.
  bool Cancelled() const { return cancelled_; }

  MsgAnswer MessageBox(const std::string& text, const std::string& caption, MsgButtons buttons,
                       MsgIcon icon) override {
    return Inner().MessageBox(text, caption, buttons, icon);
  }
  std::optional<std::string> InputBox(const std::string& title, const std::string& prompt,
                                      const std::string& initialText) override {
    std::optional<std::string> answer = Inner().InputBox(title, prompt, initialText);
    cancelled_ = !answer.has_value();
    return answer;
  }
  bool ChooseFile(const FileChooserRequest& request, std::string& path) override {
    return Inner().ChooseFile(request, path);
  }
  void RunProgress(const ProgressDialogRequest& request, ProgressTask& task) override {
    Inner().RunProgress(request, task);
  }
  void PlayTones(const std::vector<Tone>& tones) override { Inner().PlayTones(tones); }

 private:
  OperatorInterface& Inner() { return inner_ != nullptr ? *inner_ : console_; }
  ConsoleOperator console_;  // what answers when nothing else was installed
  OperatorInterface* inner_;
  bool cancelled_ = true;
};
