#include "editor/gui/FspMmiUnit.h"

#include <QContextMenuEvent>
#include <QFont>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QMenu>
#include <QRadioButton>
#include <QVBoxLayout>

#include "editor/FrameSyncEdits.h"
#include "editor/gui/PanelRows.h"
#include "simulator/Qm48SimulatorUnit.h"
#include "simulator/SyncPatternText.h"

namespace {

QRadioButton* RadixRow(QGridLayout* grid, int row, const QString& caption, const QString& hint,
                       QLabel*& text) {
  auto* button = new QRadioButton(caption);
  button->setToolTip(hint);
  text = new QLabel;
  text->setTextInteractionFlags(Qt::TextSelectableByMouse);
  text->setFont(QFont("Monospace"));
  grid->addWidget(button, row, 0);
  grid->addWidget(text, row, 1);
  return button;
}

}  // namespace

TFspMmiForm::TFspMmiForm(SetupSession& session, QWidget* parent) : SimPanelBase(session, parent) {
  QFrame* inner = AddInnerFrame(this, tr("Right click to set pattern"));
  LabelType = new QLabel(tr("FSP"), inner);
  QFont bold = LabelType->font();
  bold.setBold(true);
  LabelType->setFont(bold);
  LabelType->setAlignment(Qt::AlignRight);
  auto* rows = static_cast<QGridLayout*>(inner->layout());
  rows->addWidget(LabelType, 0, 0, 1, 2);
  LabelPatternLen = AddRow(inner, tr("Pattern Length"));
  LabelPattern = AddRow(inner, tr("Pattern"));

  auto* radices = new QWidget(inner);
  auto* grid = new QGridLayout(radices);
  grid->setContentsMargins(0, 4, 0, 0);
  grid->setColumnStretch(1, 1);
  ButtonRadixHex =
      RadixRow(grid, 0, tr("Hex"), tr("display/edit pattern in base 16"), StaticPatternHex);
  ButtonRadixBinary =
      RadixRow(grid, 1, tr("Binary"), tr("display/edit pattern in base 2"), StaticPatternBinary);
  ButtonRadixOctal =
      RadixRow(grid, 2, tr("Octal"), tr("display/edit pattern in base 8"), StaticPatternOctal);
  rows->addWidget(radices, rows->rowCount(), 0, 1, 2);
  connect(ButtonRadixHex, &QRadioButton::clicked, this, [this] { RadixClick(kPatternHex); });
  connect(ButtonRadixBinary, &QRadioButton::clicked, this, [this] { RadixClick(kPatternBinary); });
  connect(ButtonRadixOctal, &QRadioButton::clicked, this, [this] { RadixClick(kPatternOctal); });

  PopupMenu = new QMenu(this);
  connect(PopupMenu->addAction(tr("Pattern Length")), &QAction::triggered, this,
          &TFspMmiForm::PatternLengthClick);
  connect(PopupMenu->addAction(tr("Frame Sync Pattern")), &QAction::triggered, this,
          &TFspMmiForm::FrameSyncPatternClick);
  ColourPanel(this);
  RefreshFspPanel();
}

void TFspMmiForm::RefreshFspPanel() {
  const SimSetupData& s = sim_.Setup;
  updating_ = true;
  LabelPatternLen->setText(QString::number(s.FrameSyncLength));
  LabelPattern->setText(QString::fromLatin1(s.FrameSyncPattern));
  ButtonRadixHex->setChecked(s.FsPatternRadix == kPatternHex);
  ButtonRadixBinary->setChecked(s.FsPatternRadix == kPatternBinary);
  ButtonRadixOctal->setChecked(s.FsPatternRadix == kPatternOctal);
  // Outside 3..64 bits the renderings keep what they showed.
  FspRenderings shown;
  if (ShowPatternInAllRadices(s.FrameSyncPattern, s.FsPatternRadix, s.FrameSyncLength, shown)) {
    StaticPatternHex->setText(QString::fromStdString(shown.Hex));
    StaticPatternBinary->setText(QString::fromStdString(shown.Binary));
    StaticPatternOctal->setText(QString::fromStdString(shown.Octal));
  }
  updating_ = false;
}

void TFspMmiForm::ApplyVisibility() {
  if (!isEnabled()) return;
  const int32_t length = sim_.Setup.FrameSyncLength;
  ButtonRadixHex->setEnabled(length % 4 == 0);
  ButtonRadixOctal->setEnabled(length % 3 == 0);
  ButtonRadixBinary->setEnabled(true);
}

void TFspMmiForm::contextMenuEvent(QContextMenuEvent* event) {
  PopupMenu->popup(event->globalPos());
}

void TFspMmiForm::RadixClick(int radix) {
  if (updating_) return;
  // A refused switch still may have moved the pattern to binary.
  Finish(SwitchPatternRadix(sim_.Setup, radix) != FspSwitch::Unchanged);
}

void TFspMmiForm::PatternLengthClick() {
  Finish(EditPatternLength(sim_.Setup));
}

void TFspMmiForm::FrameSyncPatternClick() {
  Finish(EditPatternDigits(sim_.Setup));
}

void TFspMmiForm::Finish(bool edited) {
  if (edited) {
    session_.MarkEdited();
    emit Edited();
  }
  // Also after a refusal: the radio buttons show the record again.
  RefreshFspPanel();
}
