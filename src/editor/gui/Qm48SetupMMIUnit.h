#pragma once
// The setup window: a header strip with the format number and name, and the Simulator,
// Transmitter and Query tabs, each bringing its page to the front. It owns the three
// pages, keeps the header in step with the session's format selection, and offers the
// "Load All" the main window's menu calls.
#include <QWidget>

#include "app/LoadAll.h"

class QLabel;
class QLineEdit;
class QSpinBox;
class QStackedWidget;
class QTabBar;
class FrameMapView;
class SetupSession;
class TSimSetupMMIForm;
class TTxSetupMMIForm;
class TQuerySetupMMIForm;

class TQm48SetupMMIForm : public QWidget {
  Q_OBJECT

 public:
  // Works on the session's program objects and format selection, and hands the session to
  // its pages; edits mark it edited.
  TQm48SetupMMIForm(SetupSession& session, QWidget* parent);

  // Shows the current format number and name, then refreshes the query page, the
  // transmitter page and the simulator page. Nothing while closing.
  void RefreshFromSetup();

  // The accept actions of the query page, the transmitter page and the simulator page,
  // in that order; the first that fails stops the rest (an unanswered query or an
  // invalid simulator setup sends nothing after it). Shows no box itself: the caller
  // reports a failure, for instance with ShowLoadAllFailure. Nothing while closing.
  LoadAllOutcome LoadAll();
  // The boxes the pages' own buttons show for the same failure: "SIMULATOR SETUP INVALID"
  // for an invalid simulator setup, else the stage and how its send ended. Nothing for Ok.
  static void ShowLoadAllFailure(const LoadAllOutcome& outcome);

  TSimSetupMMIForm* SimPage() const { return simPage_; }
  TTxSetupMMIForm* TxPage() const { return txPage_; }
  TQuerySetupMMIForm* QueryPage() const { return queryPage_; }
  FrameMapView* FrameMapPage() const { return frameMapPage_; }

  // Selects a tab by index (0 Simulator, 1 Transmitter, 2 Query, 3 Frame Map), as a click
  // would.
  void SelectTab(int index);
  int CurrentTab() const;
  // The page brought to the front by the tab selected last (the simulator page at first).
  QWidget* FrontPage() const;

  QSpinBox* SpinEditFormatNumber = nullptr;
  QLineEdit* EditFormatName = nullptr;
  QTabBar* TabControl = nullptr;

 protected:
  void showEvent(QShowEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void TabControlChange(int index);
  void FormActivate();
  void SpinEditFormatNumberChange();
  void EditFormatNameChange();
  void StoreFormatIdentity();
  // A click on a word of the frame map opens the word values dialog.
  void FrameMapWordClick();
  // The page and its accept button for a tab caption; false for an unknown caption.
  bool PageForTab(int index, QWidget*& page, QWidget*& acceptButton) const;

  SetupSession& session_;
  TSimSetupMMIForm* simPage_ = nullptr;
  TTxSetupMMIForm* txPage_ = nullptr;
  TQuerySetupMMIForm* queryPage_ = nullptr;
  FrameMapView* frameMapPage_ = nullptr;
  QStackedWidget* pages_ = nullptr;
  bool initialising_ = true;  // until first shown: the change handlers are dead
  bool storing_ = true;       // while the header is written to the session
};
