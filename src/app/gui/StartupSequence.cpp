// The start-up sequence: runs once, when the main window is first shown.
#include <QGuiApplication>
#include <QMenuBar>
#include <QScreen>
#include <QShowEvent>
#include <QTimer>

#include "app/LastSetupMatch.h"
#include "app/PcInfoReport.h"
#include "app/ProgramObjects.h"
#include "app/ProgramVersion.h"
#include "app/Qm48GlobUnit.h"
#include "app/SetupFiles.h"
#include "app/TerminationHandler.h"
#include "app/gui/Qm48MainUnit.h"
#include "editor/gui/Qm48SetupMMIUnit.h"
#include "platform/StartDirectory.h"
#include "query/Qm48QueryUnit.h"
#include "query/gui/QuerySetupMMIUnit.h"
#include "simulator/Qm48SimulatorUnit.h"
#include "support/ProfileStore.h"
#include "support/ProgramLog.h"
#include "transmitter/Qm48TransmitterUnit.h"

namespace {
const char kDebugSwitchFile[] = "Qm48Debug.Txt";
}

void TQm48MainForm::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (startedUp_ || shutDown_) return;
  RunStartupSequence();
}

void TQm48MainForm::RunStartupSequence() {
  startedUp_ = true;
  // The single-instance lock was taken before the window was built (main).
  LogStart(kProgramVersion, "Qm48", "", "Qm48");
  gShuttingDown = false;
  InstallTerminationHandler(LogPath());
  for (const std::string& line : PcInfoReport(StartDirectory())) LogText(line, 0);

  gDebugLogging = PathExists(StartDirectory() + "/" + kDebugSwitchFile);
  gDebugMenuShown = false;
  menuDebug_->setVisible(false);

  gCurrentFileName.clear();
  link_.ReplyEvent().Reset();
  DefaultPortConfig(portConfig_);

  // Fresh program objects, the first format with no names, not edited.
  session_.Renew();

  setupForm_ = new TQm48SetupMMIForm(session_, this);
  setCentralWidget(setupForm_);
  setupForm_->show();
  // The first size, the one the pages are laid out for, is the least; the window may grow.
  resize(setupForm_->sizeHint() + QSize(0, menuBar()->sizeHint().height()));
  setMinimumSize(size());
  if (QScreen* screen = QGuiApplication::primaryScreen())
    move(screen->availableGeometry().center() - rect().center());

  link_.Close();
  if (!LoadPortConfig(portConfig_)) LogText("No port configuration read: defaults in force", 0);

  lastSetupPath_ = LastSetupPath();
  RecallLastSetup(SessionSetup(session_), lastSetupPath_, gCurrentFileName);
  RestoreWindowPlace();
  RefreshSetupWindow();

  UpdateStatusLine();
  timer1_->start();

  if (!link_.Open(portConfig_))
    LogText("The port to the unit could not be opened: running disconnected", 0);
  UpdateStatusLine();

  startupMs_ = sinceConstruction_.elapsed();
  LogText("Start-up took " + std::to_string(startupMs_) + " ms", 0);
  // The query shows its own dialog: the window is painted first.
  QTimer::singleShot(0, this, &TQm48MainForm::StartupQuery);
}

void TQm48MainForm::StartupQuery() {
  if (shutDown_ || !setupForm_) return;
  setupForm_->QueryPage()->ButtonQueryAcceptClick();
  RefreshSetupWindow();
  UpdateStatusLine();
  startupQueryDone_ = true;
}
