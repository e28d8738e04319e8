#pragma once
// The frame sync pattern panel: pattern length, the pattern digits and the radix they are
// written in, with the pattern shown at once in hex, binary and octal. Changes come from
// the right-click menu and the three radix buttons.
#include "editor/gui/SimPanelBase.h"

class QLabel;
class QMenu;
class QRadioButton;

class TFspMmiForm : public SimPanelBase {
  Q_OBJECT

 public:
  TFspMmiForm(SetupSession& session, QWidget* parent);

  void RefreshPanel() override { RefreshFspPanel(); }
  // "Hex" only for lengths that are a multiple of 4, "Octal" for multiples of 3.
  void ApplyVisibility() override;
  void RefreshFspPanel();

  QRadioButton* ButtonRadixHex = nullptr;
  QRadioButton* ButtonRadixBinary = nullptr;
  QRadioButton* ButtonRadixOctal = nullptr;
  QLabel* StaticPatternHex = nullptr;
  QLabel* StaticPatternBinary = nullptr;
  QLabel* StaticPatternOctal = nullptr;
  QLabel* LabelPatternLen = nullptr;
  QLabel* LabelPattern = nullptr;
  QLabel* LabelType = nullptr;
  QMenu* PopupMenu = nullptr;

  void PatternLengthClick();
  void FrameSyncPatternClick();
  void RadixClick(int radix);

 protected:
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  void Finish(bool edited);

  bool updating_ = false;  // the panel writes its own controls
};
