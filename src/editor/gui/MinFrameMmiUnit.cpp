#include "editor/gui/MinFrameMmiUnit.h"

#include <QContextMenuEvent>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QMenu>
#include <QPainter>

#include "editor/MinorFrameEdits.h"
#include "editor/gui/PanelRows.h"
#include "simulator/Qm48SimulatorUnit.h"

namespace {

QString DirectionName(int32_t direction) {
  if (direction >= 0 && static_cast<size_t>(direction) < kSubframeDirectionNames.size())
    return QString::fromLatin1(kSubframeDirectionNames[static_cast<size_t>(direction)]);
  return QString::number(direction);
}

// Padded with spaces or cut to two characters.
QString TwoChars(const QString& text) {
  return text.leftJustified(2, ' ', true);
}

}  // namespace

TMinFrameMmiForm::TMinFrameMmiForm(SetupSession& session, QWidget* parent)
    : SimPanelBase(session, parent) {
  QFrame* inner = AddInnerFrame(this, tr("Right click to set minor frame info"));
  LabelCountDir = AddRow(inner, tr("Minor Frame Count Direction"));
  LabelFirstFrame = AddRow(inner, tr("First Minor Frame Number"));
  LabelNumSubframes = AddRow(inner, tr("Num Minor Frames"));
  LabelSfidWordNum = AddRow(inner, tr("Sync ID Word Number"), tr("SFID or URC ID word number"));
  LabelStartBit = AddRow(inner, tr("Sync ID Msb"), tr("SFID or URC ID msb"));

  auto* grid = static_cast<QGridLayout*>(inner->layout());
  StaticBitOrderHelpDecom =
      new QLabel(tr("Msb  ............................................ Lsb"), inner);
  StaticBitOrderHelpDecom->setToolTip(tr("Red ticks show the bits used in SFID"));
  ImageSfIdBit = new QLabel(inner);
  ImageSfIdBit->setFixedSize(kPictureWidth, kPictureHeight);
  const int row = grid->rowCount();
  grid->addWidget(StaticBitOrderHelpDecom, row, 0, 1, 2, Qt::AlignHCenter);
  grid->addWidget(ImageSfIdBit, row + 1, 0, 1, 2, Qt::AlignHCenter);

  PopupMenu = new QMenu(this);
  AddIndexedSubmenu(PopupMenu, tr("Minor Frame Count Direction"), {"UP", "DOWN"},
                    [this](int tag) { CountDirectionClick(tag); });
  AddIndexedSubmenu(PopupMenu, tr("Minor Frame Counts From"), {"0", "1"},
                    [this](int tag) { CountsFromClick(tag); });
  connect(PopupMenu->addAction(tr("Minor Frame Count")), &QAction::triggered, this,
          &TMinFrameMmiForm::MinorFrameCountClick);
  connect(PopupMenu->addAction(tr("Sync ID Word Number")), &QAction::triggered, this,
          &TMinFrameMmiForm::SyncIdWordNumberClick);
  std::vector<QString> bits;
  for (int bit = 0; bit < kSfIdMsbChoices; ++bit) bits.push_back(QString::number(bit));
  AddIndexedSubmenu(PopupMenu, tr("Sync ID Msb"), bits, [this](int tag) { SyncIdMsbClick(tag); });

  RefreshMinorFramePanel();
}

void TMinFrameMmiForm::RefreshMinorFramePanel() {
  const SimSetupData& s = sim_.Setup;
  LabelCountDir->setText(DirectionName(s.SubframeDirection));
  LabelFirstFrame->setText(QString::number(s.FirstSubFrameNum));
  LabelNumSubframes->setText(QString::number(s.NumSubframes));
  LabelSfidWordNum->setText(QString::number(s.SfIdWordNum));
  LabelStartBit->setText(QString::number(s.SfIdStartBit));
  DrawSfIdBits();
}

// One tick per bit of the sync ID word, the least significant on the right; the
// counter's bits red, the others grey.
void TMinFrameMmiForm::DrawSfIdBits() {
  const SfIdBitMarks marks = SfIdBits(sim_.Setup);
  const int width = kPictureWidth;
  const int height = kPictureHeight;
  const int mid = height / 2;
  QPixmap picture(width, height);
  picture.fill(Qt::black);
  QPainter painter(&picture);
  painter.setPen(Qt::white);
  painter.drawLine(0, mid, width - 1, mid);

  const int step = width / marks.WordLength;
  int x = width - step / 2 - 5;
  for (int bit = 0; bit < marks.WordLength; ++bit) {
    painter.setPen(marks.Used(bit) ? QColor(255, 0, 0) : QColor(128, 128, 128));
    painter.drawLine(x, mid - mid / 2, x, mid);
    x -= step;
  }

  QFont small = painter.font();
  small.setPixelSize(10);
  painter.setFont(small);
  painter.setPen(Qt::white);
  const int baseline = height - 12 + small.pixelSize();
  painter.drawText(5, baseline, TwoChars(QString::number(marks.WordLength - 1)));
  painter.drawText(width - step - 3, baseline, TwoChars(QStringLiteral("0")));
  painter.end();
  ImageSfIdBit->setPixmap(picture);
}

void TMinFrameMmiForm::contextMenuEvent(QContextMenuEvent* event) {
  PopupMenu->popup(event->globalPos());
}

void TMinFrameMmiForm::CountDirectionClick(int tag) {
  Finish(SetSubframeDirection(sim_.Setup, tag));
}

void TMinFrameMmiForm::CountsFromClick(int tag) {
  Finish(SetFirstSubFrameNum(sim_.Setup, tag));
}

void TMinFrameMmiForm::MinorFrameCountClick() {
  Finish(ApplyMinorFrameCount(sim_.Setup, AskInt(kMinorFrameCountPrompt, sim_.Setup.NumSubframes)));
}

void TMinFrameMmiForm::SyncIdWordNumberClick() {
  Finish(ApplySfIdWordNum(sim_.Setup, AskInt(kSfIdWordNumPrompt, sim_.Setup.SfIdWordNum)));
}

void TMinFrameMmiForm::SyncIdMsbClick(int tag) {
  Finish(SetSfIdStartBit(sim_.Setup, tag));
}

void TMinFrameMmiForm::Finish(bool edited) {
  if (edited) {
    session_.MarkEdited();
    emit Edited();
  }
  RefreshMinorFramePanel();
}
