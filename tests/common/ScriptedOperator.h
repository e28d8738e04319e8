#pragma once
// A test's operator: records everything the program shows or plays and answers from
// queues the test fills. With its queues empty it behaves like an operator who presses
// Cancel (or No) everywhere, input boxes included. Any thread may call it
// (the senders' threads sound signals), so everything is kept under one mutex.
#include <chrono>
#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
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

  // ---- answers, used in the order queued
  void QueueAnswer(MsgAnswer answer) {
    Locked([&] { answers_.push_back(answer); });
  }
  void QueueInput(std::string text) {
    Locked([&] { inputs_.emplace_back(std::move(text)); });
  }
  // Cancel in the input box.
  void QueueInputCancel() {
    Locked([&] { inputs_.emplace_back(std::nullopt); });
  }
  void QueueChosenFile(std::string path) {
    Locked([&] { files_.emplace_back(std::move(path)); });
  }
  void QueueChooserCancel() {
    Locked([&] { files_.emplace_back(std::nullopt); });
  }
  // Every following progress dialog presses Cancel at its n-th look (n < 0: never).
  void CancelProgressAfterPolls(int n) {
    Locked([&] { cancelAfterPolls_ = n; });
  }

  // ---- what was shown (copies, safe while other threads still call in)
  std::vector<MessageBoxCall> MessageBoxes() const { return Copy(messageBoxes_); }
  std::vector<InputBoxCall> InputBoxes() const { return Copy(inputBoxes_); }
  std::vector<FileChooserRequest> FileChoosers() const { return Copy(fileChoosers_); }
  std::vector<ProgressCall> Progresses() const { return Copy(progresses_); }
  std::vector<std::vector<Tone>> ToneSequences() const { return Copy(toneSequences_); }
  // How often exactly this sequence was played (e.g. WarningTones()).
  int CountPlayed(const std::vector<Tone>& tones) const {
    std::lock_guard<std::mutex> lock(mutex_);
    int n = 0;
    for (const auto& played : toneSequences_)
      if (SameTones(played, tones)) ++n;
    return n;
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
    std::lock_guard<std::mutex> lock(mutex_);
    messageBoxes_.push_back({text, caption, buttons, icon});
    if (!answers_.empty()) {
      MsgAnswer answer = answers_.front();
      answers_.pop_front();
      return answer;
    }
    return UnansweredAnswer(buttons);
  }

  std::optional<std::string> InputBox(const std::string& title, const std::string& prompt,
                                      const std::string& initialText) override {
    std::lock_guard<std::mutex> lock(mutex_);
    inputBoxes_.push_back({title, prompt, initialText});
    if (inputs_.empty()) return std::nullopt;
    std::optional<std::string> typed = std::move(inputs_.front());
    inputs_.pop_front();
    return typed;
  }

  bool ChooseFile(const FileChooserRequest& request, std::string& path) override {
    std::lock_guard<std::mutex> lock(mutex_);
    fileChoosers_.push_back(request);
    if (files_.empty()) return false;
    std::optional<std::string> chosen = std::move(files_.front());
    files_.pop_front();
    if (!chosen) return false;
    path = *chosen;
    return true;
  }

  // Starts the task and looks at it every 2 ms until it has finished, like the modal
  // dialog's timer; presses Cancel once when told to. The lock is not held meanwhile,
  // so the task's thread may sound signals.
  void RunProgress(const ProgressDialogRequest& request, ProgressTask& task) override {
    int cancelAt = Locked([&] { return cancelAfterPolls_; });
    ProgressCall call;
    call.request = request;
    task.Start();
    while (!task.Finished()) {
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
      ++call.polls;
      call.lastPosition = task.Position();
      call.lastMaximum = task.Maximum();
      if (!call.cancelPressed && cancelAt >= 0 && call.polls >= cancelAt) {
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
  static bool SameTones(const std::vector<Tone>& a, const std::vector<Tone>& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
      if (a[i].frequencyHz != b[i].frequencyHz || a[i].durationMs != b[i].durationMs) return false;
    return true;
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
