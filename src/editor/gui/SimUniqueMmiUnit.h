#pragma once
// The unique words panel: start frame, frame interval, start word, word interval and value
// of each of the seven unique word slots, typed into the grid; "Hex" shows the values in
// hex.
#include "editor/gui/SimPanelBase.h"

class QCheckBox;
class QTableWidget;

class TSimUniqueMmiForm : public SimPanelBase {
  Q_OBJECT

 public:
  TSimUniqueMmiForm(SetupSession& session, QWidget* parent);
  ~TSimUniqueMmiForm() override;

  void CheckPlacement() override { ReadAndCheckUniqueGrid(); }
  void RefreshPanel() override { RefreshUniqueGrid(); }
  void RefreshUniqueGrid();
  // The typed cells into the record, then the placement checks.
  void ReadAndCheckUniqueGrid();

  QTableWidget* Grid = nullptr;
  QCheckBox* CheckBoxHex = nullptr;

 private:
  bool refreshing_ = false;
  bool checking_ = false;         // a check shows message boxes, whose focus changes call it again
  QObject* gridWatch_ = nullptr;  // see CheckOnGridEvents
};
