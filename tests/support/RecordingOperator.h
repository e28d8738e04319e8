#pragma once
// An operator for tests: keeps every message box and every tone sequence it is given.
#include <string>
#include <vector>

#include "platform/Speaker.h"
#include "support/Operator.h"

struct ShownBox {
  std::string text;
  std::string caption;
  MsgIcon icon;
};

class RecordingOperator : public OperatorInterface {
 public:
  RecordingOperator() { previous_ = SetOperator(this); }
  ~RecordingOperator() override { SetOperator(previous_); }

  MsgAnswer MessageBox(const std::string& text, const std::string& caption, MsgButtons,
                       MsgIcon icon) override {
    boxes.push_back({text, caption, icon});
    return MsgAnswer::Ok;
  }
  std::optional<std::string> InputBox(const std::string&, const std::string&,
                                      const std::string&) override {
    return std::nullopt;
  }
  bool ChooseFile(const FileChooserRequest&, std::string&) override { return false; }
  void RunProgress(const ProgressDialogRequest&, ProgressTask& task) override { task.Start(); }
  void PlayTones(const std::vector<Tone>& tones) override { speaker.Play(tones); }

  std::vector<ShownBox> boxes;
  RecordingSpeaker speaker;

 private:
  OperatorInterface* previous_;
};

inline bool operator==(const Tone& a, const Tone& b) {
  return a.frequencyHz == b.frequencyHz && a.durationMs == b.durationMs;
}
