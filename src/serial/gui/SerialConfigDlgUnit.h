#pragma once
// The "Com Port Configuration" dialog: picks the port, baud rate, parity, data bits and
// stop bits of a port configuration. It edits a working copy; the caller's record changes
// only when the operator accepts. While it is shown, a temporary port is held open with the
// chosen settings, as the unit's own tools expect.
#include <QDialog>
#include <memory>

#include "serial/PortConfig.h"

class QComboBox;
class QLabel;
class QPushButton;
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

  // The controls, for tests and for the screenshot.
  QComboBox* PortList() const { return portList_; }
  QComboBox* BaudList() const { return baudList_; }
  QComboBox* ParityList() const { return parityList_; }
  QComboBox* DataBitsList() const { return dataBitsList_; }
  QComboBox* StopBitsList() const { return stopBitsList_; }
  QPushButton* AcceptButton() const { return accept_; }
  QPushButton* CancelButton() const { return cancel_; }
  QLabel* DeviceLabel() const { return device_; }
  // The temporary port held while the dialog is shown; null when it could not be opened.
  serialcomclass* TemporaryPort() const { return tempPort_.get(); }

 private:
  void FillLists();
  void ListChanged();
  void ShowDevice();
  void OpenTemporaryPort();
  void CloseTemporaryPort();

  PortConfig working_;
  std::unique_ptr<serialcomclass> tempPort_;
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
// True when accepted; the caller then saves the configuration and reopens the port.
bool RunSerialConfigDialog(PortConfig& config, QWidget* parent);
