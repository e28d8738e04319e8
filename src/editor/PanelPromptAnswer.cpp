#include "editor/PanelPromptAnswer.h"

#include "support/Operator.h"
#include "support/ValuePrompts.h"

namespace {

// Stands in for the operator during one prompt: passes everything through and notes
// whether the input box came back with its initial text.
class InputWatch final : public OperatorInterface {
 public:
  explicit InputWatch(OperatorInterface& inner) : inner_(inner) {}

  MsgAnswer MessageBox(const std::string& text, const std::string& caption, MsgButtons buttons,
                       MsgIcon icon) override {
    return inner_.MessageBox(text, caption, buttons, icon);
  }
  std::string InputBox(const std::string& title, const std::string& prompt,
                       const std::string& initialText) override {
    std::string typed = inner_.InputBox(title, prompt, initialText);
    kept_ = typed == initialText;
    return typed;
  }
  bool ChooseFile(const FileChooserRequest& request, std::string& path) override {
    return inner_.ChooseFile(request, path);
  }
  void RunProgress(const ProgressDialogRequest& request, ProgressTask& task) override {
    inner_.RunProgress(request, task);
  }
  void PlayTones(const std::vector<Tone>& tones) override { inner_.PlayTones(tones); }

  bool Kept() const { return kept_; }

 private:
  OperatorInterface& inner_;
  bool kept_ = true;
};

template <typename T, typename Prompt>
PromptAnswer<T> Ask(const PromptSpec<T>& question, T current, Prompt prompt) {
  InputWatch watch(Operator());
  OperatorInterface* previous = SetOperator(&watch);
  T value = current;
  const bool readable =
      prompt(question.Text, value, question.Upper, question.Radix, question.Lower);
  SetOperator(previous);

  PromptAnswer<T> answer;
  answer.Value = current;
  if (watch.Kept()) return answer;
  if (!readable) {
    answer.Result = PromptResult::Unreadable;
    return answer;
  }
  answer.Result = PromptResult::Entered;
  answer.Value = value;
  return answer;
}

}  // namespace

IntAnswer AskInt(const PromptSpec<int32_t>& question, int32_t current) {
  return Ask(question, current, PromptIntInRange);
}

UIntAnswer AskUInt(const PromptSpec<uint32_t>& question, uint32_t current) {
  return Ask(question, current, PromptUIntInRange);
}
