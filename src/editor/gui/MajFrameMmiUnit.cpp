#include "editor/gui/MajFrameMmiUnit.h"

#include <QContextMenuEvent>
#include <QFrame>
#include <QLabel>
#include <QMenu>

#include "editor/MajorFrameEdits.h"
#include "editor/gui/PanelRows.h"
#include "simulator/Qm48SimulatorUnit.h"

namespace {

// A name from a table; an index a damaged file left outside it shows as its number.
template <size_t N>
QString NameOf(const std::array<const char*, N>& names, int32_t index) {
  if (index >= 0 && static_cast<size_t>(index) < N)
    return QString::fromLatin1(names[static_cast<size_t>(index)]);
  return QString::number(index);
}

}  // namespace

TMajFrameMmiForm::TMajFrameMmiForm(SetupSession& session, QWidget* parent)
    : SimPanelBase(session, parent) {
  QFrame* inner = AddInnerFrame(this, tr("Right click to set major frame info."));
  LabelCwl = AddRow(inner, tr("Common Word Length"));
  LabelWpf = AddRow(inner, tr("Words Per Minor Frame"));
  LabelBitOrder = AddRow(inner, tr("Bit Order"));
  LabelFspLoc = AddRow(inner, tr("Frame Sync Location"));
  LabelSfMode = AddRow(inner, tr("Subframe Mode"));

  PopupMenu = new QMenu(this);
  std::vector<QString> lengths;
  std::vector<int> tags;
  for (int n = kMinCommonWordLength; n <= kMaxCommonWordLength; ++n) {
    lengths.push_back(QString::number(n));
    tags.push_back(n);
  }
  AddTaggedSubmenu(PopupMenu, tr("Common Word Length"), lengths, tags,
                   [this](int n) { CommonWordLengthClick(n); });
  connect(PopupMenu->addAction(tr("Words Per Minor Frame")), &QAction::triggered, this,
          &TMajFrameMmiForm::WordsPerMinorFrameClick);
  AddIndexedSubmenu(PopupMenu, tr("Bit Order"), {"MSB FIRST", "LSB FIRST"},
                    [this](int tag) { BitOrderClick(tag); });
  AddIndexedSubmenu(PopupMenu, tr("FSP Location"), {"TRAILS", "LEADS"},
                    [this](int tag) { FspLocationClick(tag); });
  // "URC" is shown when a file holds it, but not offered.
  AddIndexedSubmenu(PopupMenu, tr("Subframe Mode"), {"NONE", "SFID", "FCC"},
                    [this](int tag) { SubframeModeClick(tag); });

  RefreshMajorFramePanel();
}

void TMajFrameMmiForm::RefreshMajorFramePanel() {
  const SimSetupData& s = sim_.Setup;
  LabelCwl->setText(QString::number(s.CommonWordLength));
  LabelWpf->setText(QString::number(s.WordsPerMinorFrame));
  LabelBitOrder->setText(NameOf(kBitOrderNames, s.BitOrder));
  LabelFspLoc->setText(NameOf(kPatternLeadsNames, s.PatternLeads));
  LabelSfMode->setText(NameOf(kSubframeModeNames, s.SubframeMode));
}

void TMajFrameMmiForm::contextMenuEvent(QContextMenuEvent* event) {
  PopupMenu->popup(event->globalPos());
}

void TMajFrameMmiForm::CommonWordLengthClick(int length) {
  Finish(SetCommonWordLength(sim_.Setup, length));
}

void TMajFrameMmiForm::WordsPerMinorFrameClick() {
  Finish(ApplyWordsPerMinorFrame(sim_,
                                 AskInt(kWordsPerMinorFramePrompt, sim_.Setup.WordsPerMinorFrame)));
}

void TMajFrameMmiForm::BitOrderClick(int tag) {
  Finish(SetBitOrder(sim_.Setup, tag));
}

void TMajFrameMmiForm::FspLocationClick(int tag) {
  Finish(SetPatternLeads(sim_.Setup, tag));
}

void TMajFrameMmiForm::SubframeModeClick(int tag) {
  Finish(SetSubframeMode(sim_.Setup, tag));
}

void TMajFrameMmiForm::Finish(bool edited) {
  if (edited) {
    session_.MarkEdited();
    emit Edited();
  }
  RefreshMajorFramePanel();
}
