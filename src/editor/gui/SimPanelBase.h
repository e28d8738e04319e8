#pragma once
// What every panel of the simulator page is to its host: it shows and edits the one
// simulator record of its session in place and keeps no copy of it. After an edit it
// marks the session edited and emits Edited(); the host then redraws every panel from the
// record.
#include <QWidget>

#include "editor/SetupSession.h"

class SimPanelBase : public QWidget {
  Q_OBJECT

 public:
  SimPanelBase(SetupSession& session, QWidget* parent)
      : QWidget(parent), session_(session), sim_(session.Sim()) {}

  // Shows the record again.
  virtual void RefreshPanel() = 0;
  // The host's visibility rules that reach inside a panel (the frame sync panel's radix
  // buttons); most panels have none.
  virtual void ApplyVisibility() {}
  // Checks the words this panel places against the rest of the record, after an edit
  // elsewhere (a longer pattern, another SFID word, a shorter frame); most panels place
  // none.
  virtual void CheckPlacement() {}

 signals:
  // The record was changed through this panel: redraw everything.
  void Edited();

 protected:
  SetupSession& session_;
  progsimulatorclass& sim_;
};
