#include "editor/gui/SimDataMmiUnit.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QFrame>
#include <QLabel>
#include <QMenu>

#include "app/ApplicationLink.h"
#include "editor/SimDataEdits.h"
#include "editor/gui/PanelRows.h"
#include "link/SendOutcome.h"
#include "query/Qm48QueryUnit.h"
#include "simulator/Qm48SimulatorUnit.h"
#include "support/ProgramLog.h"
#include "transmitter/Qm48TransmitterUnit.h"
#include "transmitter/TxSend.h"

TSimDataMmiForm::TSimDataMmiForm(SetupSession& session, QWidget* parent)
    : SimPanelBase(session, parent) {
  QFrame* inner = AddInnerFrame(this, tr("Right click to set simulator data."));
  LabelBitrate = AddRow(inner, tr("Bit Rate (bps)"));
  LabelOutputCode = AddRow(inner, tr("Output Code"));
  LabelCrcMethod = AddRow(inner, tr("CRC Method"));
  LabelCrcWord = AddRow(inner, tr("CRC Word"));

  PopupMenu = new QMenu(this);
  connect(PopupMenu->addAction(tr("Bit Rate")), &QAction::triggered, this,
          &TSimDataMmiForm::BitRateClick);
  std::vector<QString> codes;
  for (const char* name : kOutputCodeNames) codes.push_back(QString::fromLatin1(name));
  AddIndexedSubmenu(PopupMenu, tr("Output Code"), codes, [this](int tag) { OutputCodeClick(tag); });
  PopupMenu->addSeparator();
  MenuCrc16 = PopupMenu->addAction(tr("Perform CRC-16 "));
  MenuCrc16->setCheckable(true);
  connect(MenuCrc16, &QAction::triggered, this, &TSimDataMmiForm::Crc16Click);
  MenuCcitt = PopupMenu->addAction(tr("Perform CCITT"));
  MenuCcitt->setCheckable(true);
  connect(MenuCcitt, &QAction::triggered, this, &TSimDataMmiForm::CcittClick);
  connect(PopupMenu->addAction(tr("CRC / CCITT Word Number")), &QAction::triggered, this,
          &TSimDataMmiForm::CrcWordNumberClick);

  RefreshSimDataPanel();
}

void TSimDataMmiForm::RefreshSimDataPanel() {
  const SimSetupData& s = sim_.Setup;
  LabelBitrate->setText(QString::fromStdString(BitRateText(s.SimBitRate)));
  if (s.SimOutputCode >= 0 && static_cast<size_t>(s.SimOutputCode) < kOutputCodeNames.size())
    LabelOutputCode->setText(
        QString::fromLatin1(kOutputCodeNames[static_cast<size_t>(s.SimOutputCode)]));
  else
    LabelOutputCode->setText(QString::number(s.SimOutputCode));
  LabelCrcMethod->setText(QString::fromStdString(CrcMethodText(sim_)));
  LabelCrcWord->setText(QString::fromStdString(CrcWordText(sim_)));
  MenuCrc16->setChecked(sim_.DoCrc16);
  MenuCcitt->setChecked(sim_.DoCttit);
}

void TSimDataMmiForm::contextMenuEvent(QContextMenuEvent* event) {
  PopupMenu->popup(event->globalPos());
}

void TSimDataMmiForm::BitRateClick() {
  const bool edited = ApplySimBitRate(sim_.Setup, AskUInt(kBitRatePrompt, sim_.Setup.SimBitRate));
  if (edited) RetuneTransmitterForRate();
  Finish(edited);
}

void TSimDataMmiForm::OutputCodeClick(int tag) {
  const bool edited = SetOutputCode(sim_.Setup, tag);
  // The same code chosen again still retunes; nothing is sent when nothing changed.
  if (edited) RetuneTransmitterForRate();
  Finish(edited);
}

void TSimDataMmiForm::Crc16Click() {
  ToggleCrc16(sim_);
  Finish(true);
}

void TSimDataMmiForm::CcittClick() {
  ToggleCcitt(sim_);
  Finish(true);
}

void TSimDataMmiForm::CrcWordNumberClick() {
  Finish(
      ApplyCrcWordNumber(sim_, AskInt(CrcWordNumberPrompt(sim_.Setup), CrcWordNumberShown(sim_))));
}

void TSimDataMmiForm::RetuneTransmitterForRate() {
  if (!RetuneTransmitter(session_.Tx(), session_.Query(), sim_.Setup)) return;
  const SendOutcome outcome =
      LimitAndSendTransmitter(AppLink(), session_.Tx(), session_.Query().TxLimits());
  if (!outcome.Ok())
    LogError("Transmitter not loaded after the bit rate change: " + SendOutcomeText(outcome), 0,
             false);
}

void TSimDataMmiForm::Finish(bool edited) {
  if (edited) {
    session_.MarkEdited();
    emit Edited();
  }
  RefreshSimDataPanel();
}
