#include "app/gui/Qm48MainUnit.h"

#include <QMenuBar>
#include <QShortcut>
#include <QTimer>

#include "app/ProgramObjects.h"
#include "app/Qm48GlobUnit.h"
#include "app/StatusCaption.h"
#include "app/gui/AboutBox.h"
#include "editor/gui/Qm48SetupMMIUnit.h"
#include "serial/PortErrorHint.h"
#include "serial/gui/Qm48DebugUnit.h"
#include "support/ProgramLog.h"
#include "support/gui/NavyLook.h"

namespace {
constexpr int kStatusPeriodMs = 1000;
}

TQm48MainForm::TQm48MainForm(QWidget* parent) : QMainWindow(parent) {
  sinceConstruction_.start();
  setObjectName("Qm48MainForm");
  QPalette blue = palette();
  blue.setColor(QPalette::Window, QColor(0x1f, 0x3f, 0x9f));
  setPalette(blue);
  setAutoFillBackground(true);
  BuildMenus();

  // Ctrl+D reaches the window whichever control has the focus.
  auto* ctrlD = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_D), this);
  ctrlD->setContext(Qt::WindowShortcut);
  connect(ctrlD, &QShortcut::activated, this, &TQm48MainForm::ToggleDebugMenu);

  timer1_ = new QTimer(this);
  timer1_->setInterval(kStatusPeriodMs);
  connect(timer1_, &QTimer::timeout, this, [this] {
    reconnect_.Poll(link_, portConfig_);
    UpdateStatusLine();
  });
  UpdateStatusLine();
}

TQm48MainForm::~TQm48MainForm() {
  if (startedUp_ && !shutDown_) RunShutdownSteps();
  // The terminal watches the link, which goes before the child windows would.
  delete findChild<TQm48DebugForm*>();
}

void TQm48MainForm::BuildMenus() {
  QMenuBar* bar = menuBar();
  bar->setAutoFillBackground(true);
  StyleLightOnDarkMenuBar(bar);
  QMenu* file1 = bar->addMenu("File");
  menuSave_ = file1->addAction("Save", this, &TQm48MainForm::MenuSaveClick);
  menuSaveAs_ = file1->addAction("Save As", this, &TQm48MainForm::MenuSaveAsClick);
  menuRecall_ = file1->addAction("Recall", this, &TQm48MainForm::MenuRecallClick);
  file1->addSeparator();
  menuExportTmats_ =
      file1->addAction("Export TMATS...", this, &TQm48MainForm::MenuExportTmatsClick);
  menuImportTmats_ =
      file1->addAction("Import TMATS...", this, &TQm48MainForm::MenuImportTmatsClick);
  QMenu* config1 = bar->addMenu("Config ");
  config1->addSeparator();
  configComPort_ = config1->addAction("Com Port", this, &TQm48MainForm::ConfigComPort1Click);
  menuDebug_ = bar->addAction("Debug", this, &TQm48MainForm::MenuDebugClick);
  menuDebug_->setVisible(false);
  menuLoadAll_ = bar->addAction("Load All", this, &TQm48MainForm::MenuLoadAllClick);
  about_ = bar->addAction("About", this, &TQm48MainForm::About1Click);
}

void TQm48MainForm::UpdateStatusLine() {
  setWindowTitle(
      QString::fromStdString(StatusCaption(session_.edited, gCurrentFileName, link_.Connected())));
}

void TQm48MainForm::ToggleDebugMenu() {
  gDebugMenuShown = !gDebugMenuShown;
  menuDebug_->setVisible(gDebugMenuShown);
}

void TQm48MainForm::MenuDebugClick() {
  auto* terminal = findChild<TQm48DebugForm*>();
  if (!terminal) {
    // Connect in the debug window: a port that will not open is explained, as after the
    // port dialog.
    terminal = new TQm48DebugForm(
        link_,
        [this] {
          if (link_.Open(portConfig_)) return true;
          const std::string path = PortDevicePath(portConfig_.PortNum);
          LogInfo(PortOpenFailureText(path, ProbePortDevice(path)), 0, true);
          return false;
        },
        this);
  }
  if (terminal->isVisible()) {
    terminal->hide();
  } else {
    terminal->show();
    terminal->raise();
    terminal->activateWindow();
  }
  debugTerminalShown_ = terminal->isVisible();
}

void TQm48MainForm::About1Click() {
  TAboutBoxDlg box(this);
  box.exec();
}

void TQm48MainForm::MenuLoadAllClick() {
  if (!setupForm_) return;
  LoadAllOutcome outcome = setupForm_->LoadAll();
  LogText(std::string("Load All ended at stage ") + LoadStageName(outcome.stage) + ": " +
              (outcome.Ok() ? "done" : "not done"),
          0);
  TQm48SetupMMIForm::ShowLoadAllFailure(outcome);
  WriteLastSetup();
  UpdateStatusLine();
}

void TQm48MainForm::RefreshSetupWindow() {
  if (setupForm_) setupForm_->RefreshFromSetup();
}
