// "Config " → "Com Port": the port configuration dialog, with the port closed meanwhile.
#include "app/gui/Qm48MainUnit.h"
#include "serial/PortErrorHint.h"
#include "serial/gui/SerialConfigDlgUnit.h"
#include "support/ProgramLog.h"

void TQm48MainForm::ConfigComPort1Click() {
  link_.Close();
  PortDeviceChoices devices;  // stored under their port names with the rest
  if (RunSerialConfigDialog(portConfig_, this, &devices) && !SavePortConfig(portConfig_, devices))
    LogError("The port configuration could not be saved to " + PortConfigFilePath(), 0, true);
  // Reopened whatever the operator chose: Cancel returns to the old settings.
  // The operator just chose this port: say why it failed and what to do about it.
  if (!link_.Open(portConfig_)) {
    const std::string path = PortDevicePath(portConfig_.PortNum);
    LogInfo(PortOpenFailureText(path, ProbePortDevice(path)), 0, true);
    LogText("The port to the unit could not be opened: running disconnected", 0);
  }
  UpdateStatusLine();
}
