#pragma once
// The operator of a program without windows (qm48ctl, and the program before its GUI
// is up): messages go to stderr, questions are answered Cancel/No, choosers are
// cancelled, progress dialogs run their task to the end, and the speaker is silent.
#include "support/Operator.h"

class ConsoleOperator : public OperatorInterface {
 public:
  MsgAnswer MessageBox(const std::string& text, const std::string& caption, MsgButtons buttons,
                       MsgIcon icon) override;
  std::optional<std::string> InputBox(const std::string& title, const std::string& prompt,
                                      const std::string& initialText) override;
  bool ChooseFile(const FileChooserRequest& request, std::string& path) override;
  void RunProgress(const ProgressDialogRequest& request, ProgressTask& task) override;
  void PlayTones(const std::vector<Tone>& tones) override;
};
