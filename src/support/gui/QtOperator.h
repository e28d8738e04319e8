#pragma once
// The GUI's operator: message boxes, the input box, file choosers and progress dialogs as
// Qt dialogs, and the speaker's tones. The dialogs belong to the GUI thread; a call from
// any other thread is logged and answered as the console operator would (no window).
// PlayTones may be called from any thread (the senders sound their signals).
#include <QPointer>
#include <QStringList>
#include <QWidget>
#include <memory>

#include "platform/Speaker.h"
#include "support/ConsoleOperator.h"
#include "support/Operator.h"

class QtOperator : public OperatorInterface {
 public:
  // speaker: where the tones go; null for the computer's speaker.
  explicit QtOperator(std::unique_ptr<Speaker> speaker = nullptr);
  ~QtOperator() override;
  QtOperator(const QtOperator&) = delete;
  QtOperator& operator=(const QtOperator&) = delete;

  // The window the dialogs belong to (the main window); null: none.
  void SetParentWindow(QWidget* parent) { parent_ = parent; }

  MsgAnswer MessageBox(const std::string& text, const std::string& caption, MsgButtons buttons,
                       MsgIcon icon) override;
  std::optional<std::string> InputBox(const std::string& title, const std::string& prompt,
                                      const std::string& initialText) override;
  bool ChooseFile(const FileChooserRequest& request, std::string& path) override;
  void RunProgress(const ProgressDialogRequest& request, ProgressTask& task) override;
  void PlayTones(const std::vector<Tone>& tones) override;

 private:
  // True on the GUI thread; otherwise logs what was asked for and returns false.
  bool OnGuiThread(const char* what) const;

  QPointer<QWidget> parent_;
  std::unique_ptr<Speaker> speaker_;
  ConsoleOperator console_;  // answers calls made off the GUI thread
};

// A chooser filter in the "description|pattern|description|pattern" form as Qt name
// filters: "File Type (*.QM48)|*.QM48" gives "File Type (*.QM48)".
QStringList QtNameFilters(const std::string& filter);
