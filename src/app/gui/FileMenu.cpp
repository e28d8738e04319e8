// The "File" menu: Save, Save As and Recall of whole setup files, and the last-setup file.
#include "app/ProgramObjects.h"
#include "app/Qm48GlobUnit.h"
#include "app/SetupFiles.h"
#include "app/StatusCaption.h"
#include "app/TmatsFiles.h"
#include "app/gui/Qm48MainUnit.h"
#include "platform/StartDirectory.h"
#include "query/Qm48QueryUnit.h"
#include "simulator/Qm48SimulatorUnit.h"
#include "support/Operator.h"
#include "support/ProfileStore.h"
#include "support/ProgramLog.h"
#include "support/Signals.h"
#include "transmitter/Qm48TransmitterUnit.h"

namespace {
const char kSaveCaption[] = "SAVE";

void TellSaveFailed(const std::string& text) {
  SignalError();
  LogText(text, 0);
  Operator().MessageBox(text, kSaveCaption, MsgButtons::Ok, MsgIcon::Error);
}
}  // namespace

void TQm48MainForm::MenuSaveClick() {
  SaveCurrent();
}

void TQm48MainForm::MenuSaveAsClick() {
  SaveAsChosen();
}

bool TQm48MainForm::SaveCurrent() {
  if (!session_.HasProgramObjects()) return false;
  bool saved = false;
  switch (SaveSetup(SessionSetup(session_), gCurrentFileName)) {
    case SaveOutcome::Saved:
      LogText("Setup saved to " + gCurrentFileName, 0);
      saved = true;
      break;
    case SaveOutcome::NeedsName:
      return SaveAsChosen();
    case SaveOutcome::NoFileName:
      break;
    case SaveOutcome::ReadOnly:
      TellSaveFailed(kReadOnlySetupFileText);
      break;
    case SaveOutcome::WriteFailed:
      TellSaveFailed("The setup could not be written to " + gCurrentFileName + " or to " +
                     kLastSetupFileName +
                     ".  Check that the folder may be written and the disk is not full.  "
                     "The setup is NOT saved.");
      break;
  }
  UpdateStatusLine();
  return saved;
}

bool TQm48MainForm::SaveAsChosen() {
  GoToStartDirectory();
  std::string path;
  const bool chosen =
      ChooseSaveFile(StartDirectory(), kSetupFileExtension, FileTitle(gCurrentFileName), path);
  GoToStartDirectory();
  if (!chosen) return false;
  // The name as chosen: on this file system case matters. A save that fails keeps the
  // previous file as the current one, since the chosen file does not hold the setup.
  const std::string previous = gCurrentFileName;
  gCurrentFileName = path;
  const bool saved = SaveCurrent();
  if (!saved) gCurrentFileName = previous;
  GoToStartDirectory();
  UpdateStatusLine();
  return saved;
}

void TQm48MainForm::MenuRecallClick() {
  if (!session_.HasProgramObjects()) return;
  if (!SaveFirstIfEdited()) return;
  GoToStartDirectory();
  std::string name;
  const bool chosen =
      ChooseOpenFile(StartDirectory(), kSetupFileExtension, FileTitle(gCurrentFileName), name);
  GoToStartDirectory();
  if (!chosen) return;
  if (RecallSetup(SessionSetup(session_), name, gCurrentFileName)) {
    LogText("Setup recalled from " + name, 0);
  } else {
    SignalError();
    LogText(std::string(kInvalidSetupFileText) + ": " + name, 0);
    Operator().MessageBox(kInvalidSetupFileText, kInvalidSetupFileCaption, MsgButtons::Ok,
                          MsgIcon::Error);
  }
  RefreshSetupWindow();
  UpdateStatusLine();
}

void TQm48MainForm::MenuExportTmatsClick() {
  if (!session_.HasProgramObjects()) return;
  const std::array<uint32_t, 4> filters = session_.Query().Results.PremodFilterFreqKhz;
  ExportTmatsChosen(session_.Sim(), session_.Tx(), filters, gCurrentFileName);
  RefreshSetupWindow();  // validation may have reset a corrupt setup
}

// A setup made from TMATS replaces the one shown, like a recall, and has no file yet.
void TQm48MainForm::MenuImportTmatsClick() {
  if (!session_.HasProgramObjects()) return;
  if (!SaveFirstIfEdited()) return;
  if (ImportTmatsChosen(session_.Sim(), session_.Tx())) {
    gCurrentFileName.clear();
    session_.MarkEdited();
  }
  RefreshSetupWindow();
  UpdateStatusLine();
}

void TQm48MainForm::WriteLastSetup() {
  if (!session_.HasProgramObjects() || lastSetupPath_.empty()) return;
  if (!SaveWholeFile(SessionSetup(session_), lastSetupPath_, &gCurrentFileName))
    LogError("The last setup could not be written to " + lastSetupPath_, 0, false);
}
