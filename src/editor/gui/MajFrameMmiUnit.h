#pragma once
// The major frame panel: common word length, words per minor frame, bit order, frame
// sync location and subframe mode of the simulator record. It only shows values; every
// change comes from its right-click menu.
#include "editor/gui/SimPanelBase.h"

class QLabel;
class QMenu;

class TMajFrameMmiForm : public SimPanelBase {
  Q_OBJECT

 public:
  TMajFrameMmiForm(SetupSession& session, QWidget* parent);

  void RefreshPanel() override { RefreshMajorFramePanel(); }
  void RefreshMajorFramePanel();

  // The right-click menu, built once.
  QMenu* PopupMenu = nullptr;
  QLabel* LabelCwl = nullptr;
  QLabel* LabelWpf = nullptr;
  QLabel* LabelBitOrder = nullptr;
  QLabel* LabelFspLoc = nullptr;
  QLabel* LabelSfMode = nullptr;

 protected:
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  void CommonWordLengthClick(int length);
  void WordsPerMinorFrameClick();
  void BitOrderClick(int tag);
  void FspLocationClick(int tag);
  void SubframeModeClick(int tag);
  // Every handler ends here: mark the setup edited and have every panel redrawn.
  void Finish(bool edited);
};
