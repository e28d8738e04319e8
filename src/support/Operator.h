#pragma once
// Everything the program says to or asks of the operator goes through OperatorInterface:
// message boxes, Yes/No/Cancel questions, the input box, file choosers, progress dialogs
// and the speaker's tones. The GUI installs a Qt implementation, the CLI a console one,
// tests a scripted one.
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/Speaker.h"  // Tone

enum class MsgIcon { None, Information, Warning, Error, Question };
enum class MsgButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class MsgAnswer { Ok, Cancel, Yes, No };

enum class FileChooserKind { Open, Save };

// What a file chooser shows; built by the profile store's ChooseOpenFile/ChooseSaveFile.
struct FileChooserRequest {
  FileChooserKind kind = FileChooserKind::Open;
  std::string title;             // "Open File" / "Save File"
  std::string initialDirectory;  // where the chooser opens
  std::string defaultExtension;  // without the dot ("QM48")
  std::string filter;            // "File Type (*.QM48)|*.QM48"
  std::string suggestedName;     // base name offered in the name field
};

// A worker a modal progress dialog watches. The dialog starts it, polls it on its timer
// and closes when it has finished; Cancel asks it to stop. Position/Maximum/Finished are
// read on the GUI thread while the worker runs, so implementations publish them atomically.
class ProgressTask {
 public:
  virtual ~ProgressTask() = default;
  virtual void Start() = 0;
  virtual bool Finished() const = 0;
  virtual int Position() const = 0;
  virtual int Maximum() const = 0;
  virtual void Cancel() = 0;
  // Returns once the position is no longer seenPosition, the task has finished, or
  // timeoutMs have passed, whichever comes first: a dialog's look between timer ticks.
  virtual void AwaitChange(int seenPosition, int timeoutMs) const = 0;
};

struct ProgressDialogRequest {
  std::string caption;
  std::string label;
  int timerMs = 500;  // how often the dialog looks at the task
};

class OperatorInterface {
 public:
  virtual ~OperatorInterface() = default;

  virtual MsgAnswer MessageBox(const std::string& text, const std::string& caption,
                               MsgButtons buttons, MsgIcon icon) = 0;
  // The standard input box: the edited text on OK (the initial text when the operator
  // accepted it as offered), nothing on Cancel. OK and Cancel are told apart by the
  // button, never by comparing texts: OK on the offered value is an answer.
  virtual std::optional<std::string> InputBox(const std::string& title, const std::string& prompt,
                                              const std::string& initialText) = 0;
  // True with the chosen full path on OK; false (path unchanged) on Cancel.
  virtual bool ChooseFile(const FileChooserRequest& request, std::string& path) = 0;
  // Runs the modal progress dialog until the task has finished (or was cancelled and
  // then finished).
  virtual void RunProgress(const ProgressDialogRequest& request, ProgressTask& task) = 0;
  // Plays the tones in order; returns when they have been played (or handed to the
  // sound system).
  virtual void PlayTones(const std::vector<Tone>& tones) = 0;
};

// The answer of a box nobody answers (Esc, closed, no operator): Cancel where the box has
// it, else No, else OK.
MsgAnswer UnansweredAnswer(MsgButtons buttons);

// The program's operator. Never null: before anything is installed it is a console
// operator that prints messages on stderr and answers every question with Cancel/No.
OperatorInterface& Operator();
// Installs op (the caller keeps it alive) and returns the previous one; nullptr restores
// the console operator.
OperatorInterface* SetOperator(OperatorInterface* op);
