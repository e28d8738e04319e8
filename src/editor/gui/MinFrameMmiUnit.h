#pragma once
// The minor frame panel: the subframe ID counter of the simulator record (direction,
// first value, minor frames per major frame, sync ID word and its msb) and a picture of
// the sync ID word with the counter's bits in red. Shown only for "SFID" and "URC".
#include <QPixmap>

#include "editor/gui/SimPanelBase.h"

class QLabel;
class QMenu;

class TMinFrameMmiForm : public SimPanelBase {
  Q_OBJECT

 public:
  TMinFrameMmiForm(SetupSession& session, QWidget* parent);

  void RefreshPanel() override { RefreshMinorFramePanel(); }
  void RefreshMinorFramePanel();

  static constexpr int kPictureWidth = 181;
  static constexpr int kPictureHeight = 31;

  QMenu* PopupMenu = nullptr;
  QLabel* LabelCountDir = nullptr;
  QLabel* LabelFirstFrame = nullptr;
  QLabel* LabelNumSubframes = nullptr;
  QLabel* LabelSfidWordNum = nullptr;
  QLabel* LabelStartBit = nullptr;
  QLabel* StaticBitOrderHelpDecom = nullptr;
  QLabel* ImageSfIdBit = nullptr;  // shows the picture

 protected:
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  void DrawSfIdBits();
  void CountDirectionClick(int tag);
  void CountsFromClick(int tag);
  void MinorFrameCountClick();
  void SyncIdWordNumberClick();
  void SyncIdMsbClick(int tag);
  void Finish(bool edited);
};
