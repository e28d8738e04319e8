#include "app/gui/AboutBox.h"

#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/ProgramVersion.h"
#include "support/Operator.h"
#include "support/ProgramLog.h"

TAboutBoxDlg::TAboutBoxDlg(QWidget* parent, UrlOpener opener)
    : QDialog(parent),
      opener_(opener ? std::move(opener)
                     : UrlOpener([](const QUrl& url) { return QDesktopServices::openUrl(url); })) {
  setWindowTitle(tr("About"));
  auto* layout = new QVBoxLayout(this);
  auto* title = new QLabel(QString(kProgramTitle));
  QFont big = title->font();
  big.setPointSizeF(big.pointSizeF() * 1.8);
  big.setBold(true);
  title->setFont(big);
  layout->addWidget(title, 0, Qt::AlignHCenter);
  layout->addWidget(new QLabel(tr("Version %1").arg(kProgramVersion)), 0, Qt::AlignHCenter);
  layout->addWidget(new QLabel(tr("Edits, files, loads and queries the setups of the %1 "
                                  "handheld PCM telemetry unit.")
                                   .arg(kProgramTitle)));

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok);
  showLog_ = buttons->addButton(tr("Show Log"), QDialogButtonBox::ActionRole);
  layout->addWidget(buttons);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(showLog_, &QPushButton::clicked, this, &TAboutBoxDlg::ShowLogClick);
}

void TAboutBoxDlg::ShowLogClick() {
  std::string path = LogPath();
  if (path.empty()) {
    Operator().MessageBox("NO PROGRAM LOG IS OPEN", "LOG", MsgButtons::Ok, MsgIcon::Warning);
    return;
  }
  QUrl url = QUrl::fromLocalFile(QFile::decodeName(QByteArray::fromStdString(path)));
  if (!opener_(url))
    Operator().MessageBox("CANNOT OPEN THE PROGRAM LOG IN A VIEWER: " + path, "LOG", MsgButtons::Ok,
                          MsgIcon::Warning);
}
