#pragma once
// The simulator page: six panels that each edit one group of the simulator record in
// place, the "Word Attributes" button and "Load Simulator". The panels come from their
// own units and are placed with SetPanel; until then their places show empty frames.
#include <QWidget>
#include <array>
#include <functional>

#include "app/LoadAll.h"

class QFrame;
class QPushButton;
class SimPanelBase;
class SetupSession;

class TSimSetupMMIForm : public QWidget {
  Q_OBJECT

 public:
  // The places of the six panels, in the order they are created.
  enum Slot : int {
    kMajorFrame = 0,
    kMinorFrame,
    kSimData,
    kFrameSync,
    kDynamicWords,
    kUniqueWords,
  };
  static constexpr int kSlotCount = 6;

  // Opens the word values dialog for the first wordCount entries of the record's word
  // table; the dialog copies them back into the record unless cancelled. True when the
  // operator accepted.
  using WordAttributesEditor = std::function<bool(int wordCount)>;

  // Works on the session's simulator record; edits mark the session edited.
  TSimSetupMMIForm(SetupSession& session, QWidget* parent);

  // Puts a panel (reparented to the host) into its place, in place of what was there, and
  // redraws every panel after each of its edits.
  void SetPanel(int slot, SimPanelBase* panel);
  SimPanelBase* Panel(int slot) const;
  // What stands in the place: the panel, or the empty frame.
  QWidget* SlotWidget(int slot) const;
  void SetWordAttributesEditor(WordAttributesEditor editor) { wordEditor_ = std::move(editor); }

  // Every panel shows the record again (major frame, minor frame, simulator data, frame
  // sync, unique words, dynamic words), then ApplyPanelVisibility.
  void RefreshPanels();
  // The minor frame panel shows only for the "SFID" and "URC" subframe modes; each panel
  // applies its own rules (the frame sync panel's radix buttons).
  void ApplyPanelVisibility();

  void SimSetupWordValuesSpeedButtonClick();
  // "Load Simulator": validates and loads the record; an invalid record or a load that did
  // not complete is shown in a box.
  void ButtonSimAcceptClick();
  // The same without a box: the invalid record is logged and nothing is sent, or the
  // record is loaded. Returns the stage it ended at and how.
  LoadAllOutcome AcceptSimulator();

  QPushButton* SimSetupWordValuesSpeedButton = nullptr;
  QPushButton* ButtonSimAccept = nullptr;

 private:
  void RefreshEachPanel();
  void PanelEdited();
  void LayoutSlots();

  SetupSession& session_;
  std::array<SimPanelBase*, kSlotCount> panels_{};
  std::array<QFrame*, kSlotCount> placeholders_{};
  WordAttributesEditor wordEditor_;
  bool created_ = false;  // refreshes asked for before construction ended are ignored
};
