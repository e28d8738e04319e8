// The close sequence: the question about unsaved edits, then the shut-down steps.
#include <QCloseEvent>
#include <QTimer>

#include "app/ProgramObjects.h"
#include "app/Qm48GlobUnit.h"
#include "app/TerminationHandler.h"
#include "app/gui/Qm48MainUnit.h"
#include "editor/gui/Qm48SetupMMIUnit.h"
#include "platform/Clock.h"
#include "query/Qm48QueryUnit.h"
#include "simulator/Qm48SimulatorUnit.h"
#include "support/Operator.h"
#include "support/ProgramLog.h"
#include "transmitter/Qm48TransmitterUnit.h"

namespace {
const char kSaveFirstText[] = "Setup Edited Without Saving.  Save First?";
const char kSaveFirstCaption[] = "SAVE";
// Long enough for a sender thread to see gShuttingDown between two of its looks.
constexpr int kShutdownWaitMs = 50;
}  // namespace

bool TQm48MainForm::SaveFirstIfEdited() {
  if (!session_.edited) return true;
  switch (Operator().MessageBox(kSaveFirstText, kSaveFirstCaption, MsgButtons::YesNoCancel,
                                MsgIcon::Question)) {
    case MsgAnswer::Yes:
      return SaveCurrent();  // a failed or cancelled save stops what was asked for
    case MsgAnswer::No:
    case MsgAnswer::Ok:
      return true;
    case MsgAnswer::Cancel:
      return false;
  }
  return false;
}

void TQm48MainForm::closeEvent(QCloseEvent* event) {
  if (shutDown_ || !startedUp_) {
    event->accept();
    return;
  }
  if (!SaveFirstIfEdited()) {
    event->ignore();
    UpdateStatusLine();
    return;
  }
  event->accept();
  RunShutdownSteps();
}

void TQm48MainForm::RunShutdownSteps() {
  shutDown_ = true;
  timer1_->stop();
  gShuttingDown = true;
  SleepMs(kShutdownWaitMs);
  link_.ReplyEvent().Set();
  // Stopped now rather than at process end: no notification may reach the objects below
  // once they are gone.
  link_.Close();
  if (!SavePortConfig(portConfig_)) LogError("The port configuration could not be saved", 0, false);
  WriteLastSetup();
  SaveWindowPlace();

  if (setupForm_) {
    takeCentralWidget();
    delete setupForm_;
    setupForm_ = nullptr;
  }
  session_.Release();
  RemoveTerminationHandler();
  LogEnd();
}
