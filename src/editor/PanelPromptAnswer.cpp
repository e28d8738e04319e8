#include "editor/PanelPromptAnswer.h"

#include "support/CancelWatch.h"
#include "support/ValuePrompts.h"

namespace {

template <typename T, typename Prompt>
PromptAnswer<T> Ask(const PromptSpec<T>& question, T current, Prompt prompt) {
  T value = current;
  bool readable = false;
  bool cancelled = true;
  {
    CancelWatch watch;
    readable = prompt(question.Text, value, question.Upper, question.Radix, question.Lower);
    cancelled = watch.Cancelled();
  }

  PromptAnswer<T> answer;
  answer.Value = current;
  if (cancelled) return answer;
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
