#include "support/gui/QtOperator.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QThread>

#include "platform/AlsaSpeaker.h"
#include "platform/StartDirectory.h"
#include "support/ProgramLog.h"
#include "support/gui/ProgressDlg.h"

namespace {

QMessageBox::StandardButtons ButtonsOf(MsgButtons buttons) {
  switch (buttons) {
    case MsgButtons::Ok:
      return QMessageBox::Ok;
    case MsgButtons::OkCancel:
      return QMessageBox::Ok | QMessageBox::Cancel;
    case MsgButtons::YesNo:
      return QMessageBox::Yes | QMessageBox::No;
    case MsgButtons::YesNoCancel:
      return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
  }
  return QMessageBox::Ok;
}

QMessageBox::StandardButton ButtonOf(MsgAnswer answer) {
  switch (answer) {
    case MsgAnswer::Ok:
      return QMessageBox::Ok;
    case MsgAnswer::Cancel:
      return QMessageBox::Cancel;
    case MsgAnswer::Yes:
      return QMessageBox::Yes;
    case MsgAnswer::No:
      return QMessageBox::No;
  }
  return QMessageBox::Cancel;
}

QMessageBox::Icon IconOf(MsgIcon icon) {
  switch (icon) {
    case MsgIcon::None:
      return QMessageBox::NoIcon;
    case MsgIcon::Information:
      return QMessageBox::Information;
    case MsgIcon::Warning:
      return QMessageBox::Warning;
    case MsgIcon::Error:
      return QMessageBox::Critical;
    case MsgIcon::Question:
      return QMessageBox::Question;
  }
  return QMessageBox::NoIcon;
}

// Paths travel as the file system's bytes, not as display text.
QString PathText(const std::string& path) {
  return QFile::decodeName(QByteArray::fromStdString(path));
}

}  // namespace

QStringList QtNameFilters(const std::string& filter) {
  QStringList parts = QString::fromStdString(filter).split('|');
  QStringList filters;
  for (qsizetype i = 0; i < parts.size(); i += 2) {
    QString description = parts[i].trimmed();
    QString patterns = i + 1 < parts.size() ? parts[i + 1].trimmed() : QString();
    patterns.replace(';', ' ');
    if (patterns.isEmpty()) {
      if (!description.isEmpty()) filters << description;
      continue;
    }
    // Qt reads the patterns from the description's last parentheses.
    if (description.endsWith("(" + patterns + ")"))
      filters << description;
    else
      filters << (description.isEmpty() ? patterns : description + " (" + patterns + ")");
  }
  return filters;
}

QtOperator::QtOperator(std::unique_ptr<Speaker> speaker)
    : speaker_(speaker ? std::move(speaker)
                       : std::make_unique<AlsaSpeaker>(
                             "default", [](const std::string& text) { LogText(text, 0); })) {}

QtOperator::~QtOperator() = default;

bool QtOperator::OnGuiThread(const char* what) const {
  QCoreApplication* app = QCoreApplication::instance();
  if (app && QThread::currentThread() == app->thread()) return true;
  LogText(std::string("OPERATOR ") + what + " ASKED OFF THE GUI THREAD, ANSWERED WITHOUT A WINDOW",
          0);
  return false;
}

MsgAnswer QtOperator::MessageBox(const std::string& text, const std::string& caption,
                                 MsgButtons buttons, MsgIcon icon) {
  if (!OnGuiThread("MESSAGE BOX")) return console_.MessageBox(text, caption, buttons, icon);
  QMessageBox box(IconOf(icon), QString::fromStdString(caption), QString::fromStdString(text),
                  ButtonsOf(buttons), parent_);
  box.setTextFormat(Qt::PlainText);  // texts carry file names, never markup
  box.setEscapeButton(ButtonOf(UnansweredAnswer(buttons)));
  box.exec();
  switch (box.standardButton(box.clickedButton())) {
    case QMessageBox::Ok:
      return MsgAnswer::Ok;
    case QMessageBox::Cancel:
      return MsgAnswer::Cancel;
    case QMessageBox::Yes:
      return MsgAnswer::Yes;
    case QMessageBox::No:
      return MsgAnswer::No;
    default:
      return UnansweredAnswer(buttons);
  }
}

std::optional<std::string> QtOperator::InputBox(const std::string& title, const std::string& prompt,
                                                const std::string& initialText) {
  if (!OnGuiThread("INPUT BOX")) return console_.InputBox(title, prompt, initialText);
  QInputDialog dialog(parent_);
  dialog.setInputMode(QInputDialog::TextInput);
  dialog.setWindowTitle(QString::fromStdString(title));
  dialog.setLabelText(QString::fromStdString(prompt));
  QString initial = QString::fromStdString(initialText);
  dialog.setTextValue(initial);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  // An unchanged text comes back byte for byte, whatever its encoding.
  if (dialog.textValue() == initial) return initialText;
  return dialog.textValue().toStdString();
}

bool QtOperator::ChooseFile(const FileChooserRequest& request, std::string& path) {
  if (!OnGuiThread("FILE CHOOSER")) return console_.ChooseFile(request, path);
  const bool open = request.kind == FileChooserKind::Open;
  QString directory = PathText(request.initialDirectory);
  if (directory.isEmpty() || !QDir(directory).exists()) directory = PathText(StartDirectory());

  QFileDialog dialog(parent_, QString::fromStdString(request.title), directory);
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setAcceptMode(open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
  dialog.setFileMode(open ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
  QStringList filters = QtNameFilters(request.filter);
  if (!filters.isEmpty()) dialog.setNameFilters(filters);
  if (!request.defaultExtension.empty())
    dialog.setDefaultSuffix(QString::fromStdString(request.defaultExtension));
  if (!request.suggestedName.empty()) dialog.selectFile(PathText(request.suggestedName));

  if (dialog.exec() != QDialog::Accepted) return false;
  QStringList chosen = dialog.selectedFiles();
  if (chosen.isEmpty() || chosen.first().isEmpty()) return false;
  path = QFile::encodeName(chosen.first()).toStdString();
  return true;
}

void QtOperator::RunProgress(const ProgressDialogRequest& request, ProgressTask& task) {
  if (!OnGuiThread("PROGRESS DIALOG")) {
    console_.RunProgress(request, task);
    return;
  }
  TProgressDlg dialog(request, task, parent_);
  dialog.exec();
}

void QtOperator::PlayTones(const std::vector<Tone>& tones) {
  speaker_->Play(tones);
}
