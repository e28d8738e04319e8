#pragma once
// A test's operator: records everything the program shows or plays and answers from
// queues the test fills. With its queues empty it behaves like an operator who presses
// Cancel (or No) everywhere, input boxes included. Any thread may call it
// (the senders' threads sound signals), so everything is kept under one mutex.
#include <algorithm>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "support/Operator.h"

class ScriptedOperator : public OperatorInterface {
 public:
  struct MessageBoxCall {
    std::string text;
    std::string caption;
    MsgButtons buttons = MsgButtons::Ok;
    MsgIcon icon = MsgIcon::None;
  };
  struct InputBoxCall {
    std::string title;
    std::string prompt;
    std::string initialText;
  };
  struct ProgressCall {
    ProgressDialogRequest request;
    int polls = 0;  // how often the dialog looked at the task
    bool cancelPressed = false;
    int lastPosition = 0;  // as seen at the last look
    int lastMaximum = 0;
  };

  // ---- answers, used in the order queued (nullopt: Cancel in the input box or chooser)
  void QueueAnswer(MsgAnswer answer) { Push(answers_, answer); }
  void QueueInput(std::string text) { Push(inputs_, std::optional(std::move(text))); }
  void QueueInputCancel() { Push(inputs_, std::optional<std::string>()); }
  void QueueChosenFile(std::string path) { Push(files_, std::optional(std::move(path))); }
  void QueueChooserCancel() { Push(files_, std::optional<std::string>()); }
  // Every following progress dialog presses Cancel at its n-th look (n < 0: never).
  void CancelProgressAfterPolls(int n) {
    Locked([&] { cancelAfterPolls_ = n; });
  }
  // Every following progress dialog presses Cancel at the first look that finds when()
  // true (it is asked on the dialog's thread; empty: back to CancelProgressAfterPolls).
  void CancelProgressWhen(std::function<bool()> when) {
    Locked([&] { cancelWhen_ = std::move(when); });
  }

  // ---- what was shown (copies, safe while other threads still call in)
  std::vector<MessageBoxCall> MessageBoxes() const { return Copy(messageBoxes_); }
  std::vector<InputBoxCall> InputBoxes() const { return Copy(inputBoxes_); }
  std::vector<FileChooserRequest> FileChoosers() const { return Copy(fileChoosers_); }
  std::vector<ProgressCall> Progresses() const { return Copy(progresses_); }
  std::vector<std::vector<Tone>> ToneSequences() const { return Copy(toneSequences_); }
  // How often exactly this sequence was played (e.g. WarningTones()).
  int CountPlayed(const std::vector<Tone>& tones) const {
    auto same = [&](const std::vector<Tone>& played) {
      return std::equal(played.begin(), played.end(), tones.begin(), tones.end(),
                        [](const Tone& a, const Tone& b) {
                          return a.frequencyHz == b.frequencyHz && a.durationMs == b.durationMs;
                        });
    };
    const auto played = ToneSequences();
    return static_cast<int>(std::count_if(played.begin(), played.end(), same));
  }
  void ClearRecords() {
    Locked([&] {
      messageBoxes_.clear();
      inputBoxes_.clear();
      fileChoosers_.clear();
      progresses_.clear();
      toneSequences_.clear();
    });
  }

  // ---- OperatorInterface
  MsgAnswer MessageBox(const std::string& text, const std::string& caption, MsgButtons buttons,
                       MsgIcon icon) override {
    return Locked([&] {
      messageBoxes_.push_back({text, caption, buttons, icon});
      return Pop(answers_).value_or(UnansweredAnswer(buttons));
    });
  }
  std::optional<std::string> InputBox(const std::string& title, const std::string& prompt,
                                      const std::string& initialText) override {
    return Locked([&] {
      inputBoxes_.push_back({title, prompt, initialText});
      return Pop(inputs_).value_or(std::nullopt);
    });
  }
  bool ChooseFile(const FileChooserRequest& request, std::string& path) override {
    const std::optional<std::string> chosen = Locked([&] {
      fileChoosers_.push_back(request);
      return Pop(files_).value_or(std::nullopt);
    });
    if (chosen) path = *chosen;
    return chosen.has_value();
  }

  // Starts the task and waits for its end, looking at it each time its position moves (the
  // looks a dialog's timer would see), without pausing. A scripted Cancel is pressed once the
  // task is under way, after that many looks 2 ms apart: the operator's own pace, which lets
  // the first command reach the unit. The lock is not held meanwhile: the task may sound
  // signals.
  // The dialog looks at the task when its position moves, when it ends, and at each tick
  // of a 2 ms timer in between (the real dialog's timer ticks every 500 ms).
  void RunProgress(const ProgressDialogRequest& request, ProgressTask& task) override {
    const auto [cancelAt, cancelWhen] =
        Locked([&] { return std::make_pair(cancelAfterPolls_, cancelWhen_); });
    ProgressCall call;
    call.request = request;
    task.Start();
    while (!task.Finished()) {
      task.AwaitChange(call.lastPosition, kLookMs);
      ++call.polls;
      call.lastPosition = task.Position();
      call.lastMaximum = task.Maximum();
      const bool cancelNow =
          cancelWhen ? cancelWhen()
                     : cancelAt >= 0 && call.polls >= cancelAt && call.lastPosition != 0;
      if (cancelNow && !call.cancelPressed && !task.Finished()) {
        call.cancelPressed = true;
        task.Cancel();
      }
    }
    call.lastPosition = task.Position();
    call.lastMaximum = task.Maximum();
    Locked([&] { progresses_.push_back(call); });
  }

  void PlayTones(const std::vector<Tone>& tones) override {
    Locked([&] { toneSequences_.push_back(tones); });
  }

 private:
  template <typename T, typename V>
  void Push(std::deque<T>& queue, V&& value) {
    Locked([&] { queue.push_back(std::forward<V>(value)); });
  }
  // The front of a queue, taken off (the caller holds the lock).
  template <typename T>
  static std::optional<T> Pop(std::deque<T>& queue) {
    if (queue.empty()) return std::nullopt;
    T front = std::move(queue.front());
    queue.pop_front();
    return front;
  }
  template <typename F>
  auto Locked(F&& f) -> decltype(f()) {
    std::lock_guard<std::mutex> lock(mutex_);
    return f();
  }
  template <typename T>
  T Copy(const T& records) const {
    std::lock_guard<std::mutex> lock(mutex_);
    return records;
  }

  mutable std::mutex mutex_;
  std::deque<MsgAnswer> answers_;
  std::deque<std::optional<std::string>> inputs_;
  std::deque<std::optional<std::string>> files_;
  int cancelAfterPolls_ = -1;
  std::function<bool()> cancelWhen_;
  static constexpr int kLookMs = 2;
  std::vector<MessageBoxCall> messageBoxes_;
  std::vector<InputBoxCall> inputBoxes_;
  std::vector<FileChooserRequest> fileChoosers_;
  std::vector<ProgressCall> progresses_;
  std::vector<std::vector<Tone>> toneSequences_;
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
