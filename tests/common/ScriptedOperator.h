#pragma once
// A test's operator: records everything the program shows or plays and answers from queues
// the test fills; with them empty it presses Cancel (or No) everywhere, input boxes included.
// Any thread may call it (the senders' threads sound signals): all is kept under one mutex.
#include <algorithm>
#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "support/Operator.h"

class ScriptedOperator : public OperatorInterface {
 public:
  struct MessageBoxCall {
    std::string text, caption;
    MsgButtons buttons = MsgButtons::Ok;
    MsgIcon icon = MsgIcon::None;
  };
  struct InputBoxCall {
    std::string title, prompt, initialText;
  };
  struct ProgressCall {
    ProgressDialogRequest request;
    bool cancelPressed = false;
    int lastPosition = 0;  // as the dialog's last look saw it
  };

  // Answers, used in the order queued (nullopt: Cancel in the input box or chooser).
  void QueueAnswer(MsgAnswer answer) { Push(answers_, answer); }
  void QueueInput(std::string text) { Push(inputs_, std::move(text)); }
  void QueueInputCancel() { Push(inputs_, std::nullopt); }
  void QueueChosenFile(std::string path) { Push(files_, std::move(path)); }
  void QueueChooserCancel() { Push(files_, std::nullopt); }
  // Every following progress dialog presses Cancel at its n-th look (n < 0: never).
  void CancelProgressAfterPolls(int n) { Set(cancelAfterPolls_, n); }

  // What was shown: copies, safe while other threads still call in.
  std::vector<MessageBoxCall> MessageBoxes() const { return Copy(records_.boxes); }
  std::vector<InputBoxCall> InputBoxes() const { return Copy(records_.inputBoxes); }
  std::vector<FileChooserRequest> FileChoosers() const { return Copy(records_.choosers); }
  std::vector<ProgressCall> Progresses() const { return Copy(records_.progresses); }
  std::vector<std::vector<Tone>> ToneSequences() const { return Copy(records_.tones); }
  // How often exactly this sequence was played (e.g. WarningTones()).
  int CountPlayed(const std::vector<Tone>& tones) const {
    const auto played = ToneSequences();
    return static_cast<int>(std::count_if(played.begin(), played.end(), [&](const auto& p) {
      return std::equal(p.begin(), p.end(), tones.begin(), tones.end(), [](Tone a, Tone b) {
        return a.frequencyHz == b.frequencyHz && a.durationMs == b.durationMs;
      });
    }));
  }
  void ClearRecords() { Set(records_, decltype(records_){}); }

  MsgAnswer MessageBox(const std::string& text, const std::string& caption, MsgButtons buttons,
                       MsgIcon icon) override {
    return Take(records_.boxes, {text, caption, buttons, icon}, answers_)
        .value_or(UnansweredAnswer(buttons));
  }
  std::optional<std::string> InputBox(const std::string& title, const std::string& prompt,
                                      const std::string& initialText) override {
    return Take(records_.inputBoxes, {title, prompt, initialText}, inputs_).value_or(std::nullopt);
  }
  bool ChooseFile(const FileChooserRequest& request, std::string& path) override {
    const std::optional<std::string> chosen =
        Take(records_.choosers, request, files_).value_or(std::nullopt);
    if (chosen) path = *chosen;
    return chosen.has_value();
  }
  // Looks whenever the position moves or the task ends, else every 2 ms; a scripted Cancel
  // waits until it is under way. Unlocked meanwhile: the task may sound signals.
  void RunProgress(const ProgressDialogRequest& request, ProgressTask& task) override {
    const int cancelAt = Locked([&] { return cancelAfterPolls_; });
    ProgressCall call{request};
    task.Start();
    for (int polls = 1; !task.Finished(); ++polls) {
      task.AwaitChange(call.lastPosition, kLookMs);
      call.lastPosition = task.Position();
      const bool cancelNow = cancelAt >= 0 && polls >= cancelAt && call.lastPosition != 0;
      if (cancelNow && !call.cancelPressed && !task.Finished()) {
        call.cancelPressed = true;
        task.Cancel();
      }
    }
    call.lastPosition = task.Position();
    Push(records_.progresses, call);
  }
  void PlayTones(const std::vector<Tone>& tones) override { Push(records_.tones, tones); }

 private:
  template <typename T, typename V>
  void Push(T& list, V&& value) {
    Locked([&] { list.emplace_back(std::forward<V>(value)); });
  }
  template <typename T, typename V>
  void Set(T& field, V&& value) {
    Locked([&] { field = std::forward<V>(value); });
  }
  template <typename T>
  T Copy(const T& records) const {
    return Locked([&] { return records; });
  }
  // Records a call and takes the front of its answers' queue off, under one lock.
  template <typename R, typename T>
  std::optional<T> Take(std::vector<R>& records, R record, std::deque<T>& queue) {
    return Locked([&]() -> std::optional<T> {
      records.push_back(std::move(record));
      if (queue.empty()) return std::nullopt;
      T front = std::move(queue.front());
      queue.pop_front();
      return front;
    });
  }
  template <typename F>
  auto Locked(F&& f) const -> decltype(f()) {
    std::lock_guard<std::mutex> lock(mutex_);
    return f();
  }

  mutable std::mutex mutex_;
  std::deque<MsgAnswer> answers_;
  std::deque<std::optional<std::string>> inputs_, files_;
  static constexpr int kLookMs = 2;  // the scripted dialog's timer tick
  int cancelAfterPolls_ = -1;
  struct {
    std::vector<MessageBoxCall> boxes;
    std::vector<InputBoxCall> inputBoxes;
    std::vector<FileChooserRequest> choosers;
    std::vector<ProgressCall> progresses;
    std::vector<std::vector<Tone>> tones;
  } records_;
};

// Installs an operator for one scope and puts the previous one back.
class ScopedOperator {
 public:
  explicit ScopedOperator(OperatorInterface& op) : previous_(SetOperator(&op)) {}
  ~ScopedOperator() { SetOperator(previous_); }
  ScopedOperator(const ScopedOperator&) = delete;
  ScopedOperator& operator=(const ScopedOperator&) = delete;

 private:
  OperatorInterface* previous_;
};
