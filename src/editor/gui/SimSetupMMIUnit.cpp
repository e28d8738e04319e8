#include "editor/gui/SimSetupMMIUnit.h"

#include <QFont>
#include <QFrame>
#include <QLabel>
#include <QPalette>
#include <QPushButton>
#include <algorithm>

#include "app/ApplicationLink.h"
#include "app/LoadReportText.h"
#include "editor/SetupSession.h"
#include "editor/gui/FspMmiUnit.h"
#include "editor/gui/MajFrameMmiUnit.h"
#include "editor/gui/MinFrameMmiUnit.h"
#include "editor/gui/SimDataMmiUnit.h"
#include "editor/gui/SimDynamicMmiUnit.h"
#include "editor/gui/SimPanelBase.h"
#include "editor/gui/SimUniqueMmiUnit.h"
#include "editor/gui/SimValuesDlgUnit.h"
#include "simulator/Qm48SimulatorUnit.h"
#include "simulator/SimValidation.h"
#include "support/Operator.h"
#include "support/ProgramLog.h"
#include "support/gui/NavyLook.h"

namespace {

constexpr int kMargin = 10;
constexpr int kGap = 10;
// The two bold captions in red and green, deep enough to read on a light button face
// (above 5:1 on the lightest face the style draws).
const QColor kCaptionRed(0xc0, 0, 0);
const QColor kCaptionGreen(0, 0x64, 0);

const std::array<const char*, TSimSetupMMIForm::kSlotCount> kSlotTitles = {
    "Major Frame",        "Minor Frame",   "Simulator Data",
    "Frame Sync Pattern", "Dynamic Words", "Unique Words"};

// A panel's size as placed: the size it was given, else the size it asks for.
QSize PlacedSize(const QWidget* w) {
  if (w->testAttribute(Qt::WA_Resized)) return w->size();
  return w->sizeHint().expandedTo(w->minimumSize()).expandedTo(QSize(1, 1));
}

QPushButton* BoldButton(const QString& caption, const QColor& colour, QWidget* parent) {
  auto* button = new QPushButton(caption, parent);
  QFont bold = button->font();
  bold.setBold(true);
  button->setFont(bold);
  QPalette palette = button->palette();
  palette.setColor(QPalette::ButtonText, colour);
  button->setPalette(palette);
  return button;
}

}  // namespace

TSimSetupMMIForm::TSimSetupMMIForm(SetupSession& session, QWidget* parent)
    : QWidget(parent), session_(session) {
  setToolTip(tr("Simulator Setup"));
  PaintNavy(this);

  SimSetupWordValuesSpeedButton = BoldButton(tr("Word Attributes"), kCaptionRed, this);
  SimSetupWordValuesSpeedButton->setToolTip(tr("Set individual word attributes for the simulator"));
  SimSetupWordValuesSpeedButton->setGeometry(kMargin, 8, 121, 25);
  ButtonSimAccept = BoldButton(tr("Load Simulator"), kCaptionGreen, this);
  ButtonSimAccept->setToolTip(tr("Load simulator setup info"));
  ButtonSimAccept->adjustSize();

  for (int slot = 0; slot < kSlotCount; ++slot) {
    auto* frame = new QFrame(this);
    frame->setFrameShape(QFrame::Box);
    PaintNavy(frame);
    frame->resize(300, slot == kFrameSync ? 150 : 120);
    auto* title = new QLabel(tr(kSlotTitles[static_cast<size_t>(slot)]), frame);
    title->move(8, 6);
    placeholders_[static_cast<size_t>(slot)] = frame;
  }
  LayoutSlots();

  // The six panels, in the order they are created, and the word values dialog.
  SetPanel(kMajorFrame, new TMajFrameMmiForm(session_, this));
  SetPanel(kMinorFrame, new TMinFrameMmiForm(session_, this));
  SetPanel(kSimData, new TSimDataMmiForm(session_, this));
  SetPanel(kFrameSync, new TFspMmiForm(session_, this));
  SetPanel(kDynamicWords, new TSimDynamicMmiForm(session_, this));
  SetPanel(kUniqueWords, new TSimUniqueMmiForm(session_, this));
  SetWordAttributesEditor([this](int) {
    const WordValuesAnswer answer = EditWordValues(session_.Sim(), this);
    if (answer.edited) session_.MarkEdited();
    return answer.applied;
  });

  connect(SimSetupWordValuesSpeedButton, &QPushButton::clicked, this,
          &TSimSetupMMIForm::SimSetupWordValuesSpeedButtonClick);
  connect(ButtonSimAccept, &QPushButton::clicked, this, &TSimSetupMMIForm::ButtonSimAcceptClick);

  created_ = true;
  RefreshPanels();
}

void TSimSetupMMIForm::SetPanel(int slot, SimPanelBase* panel) {
  if (slot < 0 || slot >= kSlotCount || panel == nullptr) return;
  const auto index = static_cast<size_t>(slot);
  if (panels_[index] == panel) return;
  if (panels_[index] != nullptr) panels_[index]->deleteLater();
  panels_[index] = panel;
  placeholders_[index]->hide();
  panel->setParent(this);
  PaintNavy(panel);
  connect(panel, &SimPanelBase::Edited, this, &TSimSetupMMIForm::PanelEdited);
  LayoutSlots();
  panel->show();
  RefreshPanels();
}

SimPanelBase* TSimSetupMMIForm::Panel(int slot) const {
  return slot >= 0 && slot < kSlotCount ? panels_[static_cast<size_t>(slot)] : nullptr;
}

QWidget* TSimSetupMMIForm::SlotWidget(int slot) const {
  if (slot < 0 || slot >= kSlotCount) return nullptr;
  const auto index = static_cast<size_t>(slot);
  if (panels_[index] != nullptr) return panels_[index];
  return placeholders_[index];
}

// Two columns under the "Word Attributes" button: major frame, minor frame and simulator
// data on the left, frame sync, dynamic and unique words on the right, each column as
// wide as its top panel.
void TSimSetupMMIForm::LayoutSlots() {
  auto place = [this](int slot, int x, int y, int width) {
    QWidget* w = SlotWidget(slot);
    const QSize size = PlacedSize(w);
    w->setGeometry(x, y, width > 0 ? width : size.width(), size.height());
    return w->geometry();
  };
  const int top = SimSetupWordValuesSpeedButton->geometry().bottom() + 1 + 20;
  const QRect major = place(kMajorFrame, SimSetupWordValuesSpeedButton->x(), top, 0);
  const QRect minor = place(kMinorFrame, major.x(), major.bottom() + 1 + kGap, major.width());
  const QRect data = place(kSimData, major.x(), minor.bottom() + 1 + kGap, major.width());
  const QRect sync = place(kFrameSync, major.right() + 1 + kGap, major.y(), 0);
  const QRect dynamic = place(kDynamicWords, sync.x(), sync.bottom() + 1 + kGap, sync.width());
  const QRect unique = place(kUniqueWords, sync.x(), dynamic.bottom() + 1 + kGap, sync.width());

  const int width = sync.right() + 1 + kMargin;
  ButtonSimAccept->move(width - kMargin - ButtonSimAccept->width(), 8);
  // The unique words panel ends the page; a taller left column is not cut off.
  const int height = std::max(unique.bottom(), data.bottom()) + 1 + kMargin;
  setMinimumSize(width, height);
  resize(width, height);
}

void TSimSetupMMIForm::RefreshEachPanel() {
  static constexpr std::array<int, kSlotCount> kOrder = {kMajorFrame, kMinorFrame,  kSimData,
                                                         kFrameSync,  kUniqueWords, kDynamicWords};
  for (int slot : kOrder)
    if (SimPanelBase* panel = panels_[static_cast<size_t>(slot)]) panel->RefreshPanel();
}

void TSimSetupMMIForm::RefreshPanels() {
  if (!created_) return;
  RefreshEachPanel();
  ApplyPanelVisibility();
}

void TSimSetupMMIForm::ApplyPanelVisibility() {
  const int32_t mode = session_.Sim().Setup.SubframeMode;
  // SFID and URC count minor frames; NONE and FCC have none to set up.
  const bool minorFrames = mode == 1 || mode == 3;
  SlotWidget(kMinorFrame)->setVisible(minorFrames);
  for (SimPanelBase* panel : panels_)
    if (panel != nullptr) panel->ApplyVisibility();
}

// After any edit the placed dynamic and unique words are checked again: a longer pattern,
// another SFID word or a shorter frame must not leave one on top of a sync or SFID word.
void TSimSetupMMIForm::PanelEdited() {
  session_.MarkEdited();
  RefreshPanels();
  for (SimPanelBase* panel : panels_)
    if (panel != nullptr) panel->CheckPlacement();
}

void TSimSetupMMIForm::SimSetupWordValuesSpeedButtonClick() {
  ApplyPanelVisibility();
  if (!wordEditor_) {
    LogInfo("WORD VALUES DIALOG IS NOT AVAILABLE", 0, false);
    return;
  }
  const int words =
      std::clamp<int32_t>(session_.Sim().Setup.WordsPerMinorFrame, 0, kMaxWordsPerMinorFrame);
  if (wordEditor_(words)) RefreshPanels();
}

LoadAllOutcome TSimSetupMMIForm::AcceptSimulator() {
  LoadAllOutcome outcome;
  ApplyPanelVisibility();
  outcome.stage = LoadStage::Validation;
  if (!ValidateSimulatorSetup(session_.Sim(), outcome.validationMessage)) {
    LogInfo(InvalidSimSetupReport(outcome.validationMessage).text, 255, false);
    // A corrupt record was reset to the defaults: show what it holds now.
    RefreshPanels();
    return outcome;
  }
  outcome.stage = LoadStage::Simulator;
  outcome.send = LoadSimulator(AppLink(), session_.Sim(), session_.LoadFormat());
  RefreshEachPanel();
  return outcome;
}

void TSimSetupMMIForm::ButtonSimAcceptClick() {
  const LoadReport report = LoadFailureReport(AcceptSimulator());
  if (!report.text.empty())
    Operator().MessageBox(report.text, report.caption, MsgButtons::Ok, MsgIcon::Warning);
}
