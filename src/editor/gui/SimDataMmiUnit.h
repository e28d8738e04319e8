#pragma once
// The simulator data panel: bit rate, PCM output code and the CRC word of the simulator.
// A new bit rate or output code also retunes the transmitter (deviation and filter) and
// loads it when they changed.
#include "editor/gui/SimPanelBase.h"

class QAction;
class QLabel;
class QMenu;

class TSimDataMmiForm : public SimPanelBase {
  Q_OBJECT

 public:
  TSimDataMmiForm(SetupSession& session, QWidget* parent);

  void RefreshPanel() override { RefreshSimDataPanel(); }
  void RefreshSimDataPanel();

  QMenu* PopupMenu = nullptr;
  QAction* MenuCrc16 = nullptr;
  QAction* MenuCcitt = nullptr;
  QLabel* LabelBitrate = nullptr;
  QLabel* LabelOutputCode = nullptr;
  QLabel* LabelCrcMethod = nullptr;
  QLabel* LabelCrcWord = nullptr;

 protected:
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  void BitRateClick();
  void OutputCodeClick(int tag);
  void Crc16Click();
  void CcittClick();
  void CrcWordNumberClick();
  // The program's transmitter takes the deviation and filter of the new rate or code and
  // is loaded when they changed; a load that does not complete is logged.
  void RetuneTransmitterForRate();
  void Finish(bool edited);
};
