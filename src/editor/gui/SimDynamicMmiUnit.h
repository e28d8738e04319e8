#pragma once
// The dynamic words panel: the word number, interval and wave of each of the five wave
// word slots. Numbers are typed into the grid; the wave comes from the right-click menu.
#include "editor/gui/SimPanelBase.h"

class QMenu;
class QTableWidget;
class QAction;

class TSimDynamicMmiForm : public SimPanelBase {
  Q_OBJECT

 public:
  TSimDynamicMmiForm(SetupSession& session, QWidget* parent);
  ~TSimDynamicMmiForm() override;

  void CheckPlacement() override { ReadAndCheckDynamicGrid(); }
  void RefreshPanel() override { RefreshDynamicGrid(); }
  void RefreshDynamicGrid();
  // The typed numbers into the record, then the placement checks.
  void ReadAndCheckDynamicGrid();
  // The wave menu's entry with tag wave, for the selected row.
  void WaveClick(int wave);

  QTableWidget* Grid = nullptr;
  QMenu* PopupMenu = nullptr;
  QAction* WaveFormEntry = nullptr;

 protected:
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  void Finish(bool edited);

  bool refreshing_ = false;
  bool checking_ = false;         // a check shows message boxes, whose focus changes call it again
  QObject* gridWatch_ = nullptr;  // see CheckOnGridEvents
};
