#pragma once
// The "Com Port Configuration" dialog: picks the port, baud rate, parity, data bits and
// stop bits of a port configuration. It edits a working copy; the caller's record changes
// only when the operator accepts. While it is shown, a temporary port is held open with the
// chosen settings, as the unit's own tools expect. Beside the port name a list of the
// serial devices found (by description, plus "Other..." for a typed path) chooses the
// device the name stands for; the list follows adapters plugged in or out meanwhile.
#include <QDialog>
#include <memory>
#include <vector>

#include "platform/SerialDevices.h"
#include "serial/PortConfig.h"
#include "serial/PortDeviceList.h"

class QComboBox;
class QLabel;
class QPushButton;
class QSocketNotifier;
class QTimer;
class SerialDeviceMonitor;
class serialcomclass;

class TSerialConfigDlgForm : public QDialog {
  Q_OBJECT

 public:
  explicit TSerialConfigDlgForm(QWidget* parent = nullptr);
  ~TSerialConfigDlgForm() override;

  // Runs the dialog modally on config. True when the operator pressed "Accept"; only then
  // is config changed (to the working copy).
  bool Execute(PortConfig& config);

  // The working copy as the lists now show it.
  const PortConfig& WorkingCopy() const { return working_; }
  // Devices chosen in the device list, by port index (stored in PortDevices on accept).
  const PortDeviceChoices& Choices() const { return choices_; }
  // The device the chosen port name now leads to: a choice, else the file's, else ttyS<n>.
  std::string ChosenDevice() const;
  // Looks for devices again and redraws the list when they changed (also done on every
  // plug and unplug while the dialog is shown).
  void RescanDevices();
  // The text of the device list's last entry.
  static constexpr const char* kOtherDevice = "Other...";

  // The controls, for tests and for the screenshot.
  QComboBox* PortList() const { return portList_; }
  QComboBox* BaudList() const { return baudList_; }
  QComboBox* ParityList() const { return parityList_; }
  QComboBox* DataBitsList() const { return dataBitsList_; }
  QComboBox* StopBitsList() const { return stopBitsList_; }
  QPushButton* AcceptButton() const { return accept_; }
  QPushButton* CancelButton() const { return cancel_; }
  QLabel* DeviceLabel() const { return device_; }
  QComboBox* DeviceList() const { return deviceList_; }
  // The temporary port held while the dialog is shown; null when it could not be opened.
  serialcomclass* TemporaryPort() const { return tempPort_.get(); }

 private:
  void FillLists();
  void ListChanged();
  void ShowDevice();
  void FillDeviceList();
  void DeviceChosen(int index);
  void WatchDevices();
  void OpenTemporaryPort();
  void CloseTemporaryPort();

  PortConfig working_;
  PortDeviceChoices choices_;
  std::vector<SerialDevice> devices_;
  std::unique_ptr<serialcomclass> tempPort_;
  std::unique_ptr<SerialDeviceMonitor> monitor_;
  QSocketNotifier* monitorNotifier_ = nullptr;
  QTimer* rescanTimer_ = nullptr;
  QComboBox* deviceList_;
  QComboBox* portList_;
  QComboBox* baudList_;
  QComboBox* parityList_;
  QComboBox* dataBitsList_;
  QComboBox* stopBitsList_;
  QLabel* device_;
  QPushButton* accept_;
  QPushButton* cancel_;
  bool filling_ = false;  // the lists are being filled: their change signals are not edits
};

// The main window's "Com Port" entry: runs the dialog on config (parent: the main window).
// True when accepted; the caller then saves the configuration with the chosen devices
// (when `choices` is given) and reopens the port.
bool RunSerialConfigDialog(PortConfig& config, QWidget* parent,
                           PortDeviceChoices* choices = nullptr);
