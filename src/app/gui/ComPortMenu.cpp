// "Config " → "Com Port": the port configuration dialog, with the port closed meanwhile.
#include "app/gui/Qm48MainUnit.h"
#include "serial/ApplicationPort.h"
#include "serial/gui/SerialConfigDlgUnit.h"
#include "support/ProgramLog.h"

void TQm48MainForm::ConfigComPort1Click() {
  CloseApplicationPort();
  if (RunSerialConfigDialog(portConfig_, this) && !SavePortConfig(portConfig_))
    LogError("The port configuration could not be saved to " + PortConfigFilePath(), 0, true);
  // Reopened whatever the operator chose: Cancel returns to the old settings.
  if (!OpenApplicationPort(portConfig_))
    LogText("The port to the unit could not be opened: running disconnected", 0);
  UpdateStatusLine();
}
