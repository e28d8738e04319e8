#pragma once
// The transmitter page: centre frequency, deviation, premodulation filter and attenuation
// of the session's transmitter record, with the choices the unit reported, and "Load Transmitter".
#include <QWidget>

#include "link/SendOutcome.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollBar;
class SetupSession;

class TTxSetupMMIForm : public QWidget {
  Q_OBJECT

 public:
  // Works on the session's transmitter record and query results; edits mark the session
  // edited.
  TTxSetupMMIForm(SetupSession& session, QWidget* parent);
  ~TTxSetupMMIForm() override;

  // Rebuilds the filter and attenuation lists from the query results; with takeUnitState
  // the unit's current deviation, filter and attenuation go into the record (when its
  // Query reply was complete).
  void ShowFromQuery(bool takeUnitState = true);
  // Shows the record (the frequency limited to the unit's range and snapped first).
  void ShowRecord();
  // Copies the controls into the record.
  void ReadControls();
  // "Load Transmitter": loads the record limited to the unit and tells the operator in a
  // box when the load did not complete.
  void ButtonTxAcceptClick();
  // The same without a box; returns how the send ended.
  SendOutcome AcceptTransmitter();

  QLineEdit* EditFreqMhz = nullptr;
  QScrollBar* ScrollBarDeviation = nullptr;
  QLabel* LabelDeviation = nullptr;
  QComboBox* ComboPremodFilter = nullptr;
  QComboBox* ComboAttenuation = nullptr;
  QPushButton* ButtonTxAccept = nullptr;

 protected:
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void ControlChanged();
  void FreqEditFinished();
  bool FreqKeyPress(QKeyEvent* key);

  SetupSession& session_;
  bool refreshing_ = true;    // the page writes its own controls: change events ignored
  bool initialising_ = true;  // until first shown
};
