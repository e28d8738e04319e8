#pragma once
// The about box: the program's name and version, and a button that opens this run's log
// in the desktop's viewer.
#include <QDialog>
#include <QUrl>
#include <functional>

class QPushButton;

class TAboutBoxDlg : public QDialog {
  Q_OBJECT

 public:
  // Hands a URL to the desktop; true when it took it.
  using UrlOpener = std::function<bool(const QUrl&)>;

  // opener: null for the desktop's own (QDesktopServices).
  explicit TAboutBoxDlg(QWidget* parent = nullptr, UrlOpener opener = nullptr);

  QPushButton* ShowLogButton() const { return showLog_; }

  // Opens the program log in the desktop's viewer; tells the operator when there is no
  // log or the desktop cannot open it.
  void ShowLogClick();

 private:
  UrlOpener opener_;
  QPushButton* showLog_;
};
