#include "editor/gui/WaveformView.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPolygon>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>

#include "editor/gui/FrameMapView.h"
#include "simulator/Qm48SimulatorUnit.h"

namespace {
// The canvas, top to bottom: word numbers, bit values, the wave between its two levels, the
// role bands. A bit is two cells wide, wide enough for its value.
constexpr int kCellWidth = 12;
constexpr int kMargin = 8;
constexpr int kLabelTop = 2;
constexpr int kBitTop = 18;
constexpr int kRowHeight = 14;
constexpr int kHighY = 42;
constexpr int kLowY = 82;
constexpr int kBandTop = 92;
constexpr int kBandHeight = 12;
constexpr int kCanvasHeight = kBandTop + kBandHeight + 4;
const QColor kBoundary(150, 150, 170);
const QColor kFrameStart(235, 235, 245);
}  // namespace

WaveformCanvas::WaveformCanvas(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  resize(sizeHint());
}

void WaveformCanvas::SetWaveform(const Waveform& waveform) {
  waveform_ = waveform;
  resize(sizeHint());
  update();
}

int WaveformCanvas::CellWidth() {
  return kCellWidth;
}

int WaveformCanvas::CellLeft(int cell) const {
  return kMargin + cell * kCellWidth;
}

int WaveformCanvas::LevelY(bool high) const {
  return high ? kHighY : kLowY;
}

int WaveformCanvas::BandY() const {
  return kBandTop + kBandHeight / 2;
}

QColor WaveformCanvas::WaveColour() {
  return QColor(255, 215, 50);
}

QColor WaveformCanvas::Background() {
  return QColor(40, 40, 48);
}

QSize WaveformCanvas::sizeHint() const {
  const int cells = std::max<int>(static_cast<int>(waveform_.Cells.size()), 2 * kWaveformMinBits);
  return {2 * kMargin + cells * kCellWidth, kCanvasHeight};
}

void WaveformCanvas::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), Background());
  const int bitWidth = 2 * kCellWidth;
  auto bitLeft = [this](int bit) { return CellLeft(2 * bit); };

  // The bands leave a pixel free on the word boundary line.
  for (const WaveformWord& word : waveform_.Words) {
    painter.fillRect(bitLeft(word.FirstBit) + 1, kBandTop, word.Bits * bitWidth - 1, kBandHeight,
                     FrameMapArea::RoleColour(word.Role));
  }

  // Word starts: dashed, a minor frame's first word solid; a number that would run into
  // the one before it is left out.
  int labelsEnd = 0;
  for (const WaveformWord& word : waveform_.Words) {
    const int x = bitLeft(word.FirstBit);
    const bool frameStart = word.Word == 1;
    painter.setPen(
        QPen(frameStart ? kFrameStart : kBoundary, 1, frameStart ? Qt::SolidLine : Qt::DashLine));
    painter.drawLine(x, kLabelTop, x, kBandTop + kBandHeight);
    const QString label = frameStart ? tr("%1 (minor frame %2)").arg(word.Word).arg(word.Frame)
                                     : QString::number(word.Word);
    const int labelWidth = painter.fontMetrics().horizontalAdvance(label);
    if (x + 3 < labelsEnd) continue;
    painter.setPen(Qt::white);
    painter.drawText(QRect(x + 3, kLabelTop, labelWidth + 2, kRowHeight),
                     Qt::AlignLeft | Qt::AlignVCenter, label);
    labelsEnd = x + 3 + labelWidth + 6;
  }

  painter.setPen(Qt::white);
  for (size_t i = 0; i < waveform_.Bits.size(); ++i) {
    painter.drawText(QRect(bitLeft(static_cast<int>(i)), kBitTop, bitWidth, kRowHeight),
                     Qt::AlignCenter,
                     waveform_.Bits[i] != 0 ? QStringLiteral("1") : QStringLiteral("0"));
  }

  // The wave: each cell a level, the steps between cells vertical.
  QPolygon wave;
  for (size_t i = 0; i < waveform_.Cells.size(); ++i) {
    const int y = LevelY(waveform_.Cells[i] != 0);
    wave << QPoint(CellLeft(static_cast<int>(i)), y)
         << QPoint(CellLeft(static_cast<int>(i) + 1), y);
  }
  painter.setPen(QPen(WaveColour(), 2));
  painter.drawPolyline(wave);
}

WaveformView::WaveformView(const progsimulatorclass& sim, QWidget* parent)
    : QWidget(parent), sim_(sim) {
  QPalette palette = this->palette();
  palette.setColor(QPalette::Window, kFrameMapPageColour);
  setPalette(palette);
  setAutoFillBackground(true);
  canvas_ = new WaveformCanvas;
  scroller_ = new QScrollArea(this);
  scroller_->setWidget(canvas_);
  scroller_->setWidgetResizable(false);
  scroller_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  scroller_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  QPalette dark = scroller_->palette();
  dark.setColor(QPalette::Window, WaveformCanvas::Background());
  scroller_->setPalette(dark);
  scroller_->setFixedHeight(kCanvasHeight + scroller_->horizontalScrollBar()->sizeHint().height() +
                            2 * scroller_->frameWidth());

  frameBox_ = new QSpinBox(this);
  frameBox_->setRange(0, 0);
  frameBox_->setToolTip(tr("Minor frame of the major frame (0 is the first)"));
  bitsBox_ = new QSpinBox(this);
  bitsBox_->setRange(kWaveformMinBits, kWaveformMaxBits);
  bitsBox_->setValue(kWaveformDefaultBits);
  bitsBox_->setToolTip(tr("Bits drawn from the start of the minor frame"));
  codeBox_ = new QComboBox(this);
  for (const char* name : kOutputCodeNames) codeBox_->addItem(QString::fromLatin1(name));
  codeBox_->setToolTip(
      tr("Output code drawn; codes that carry state start from a low line at the minor frame"));

  auto* controls = new QHBoxLayout;
  controls->addWidget(FrameMapPageLabel(tr("Waveform of minor frame"), this));
  controls->addWidget(frameBox_);
  controls->addSpacing(12);
  controls->addWidget(FrameMapPageLabel(tr("Bits"), this));
  controls->addWidget(bitsBox_);
  controls->addSpacing(12);
  controls->addWidget(FrameMapPageLabel(tr("Code"), this));
  controls->addWidget(codeBox_);
  controls->addStretch(1);

  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(0, 0, 0, 0);
  column->addLayout(controls);
  column->addWidget(scroller_);
  setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);

  connect(frameBox_, &QSpinBox::valueChanged, this, &WaveformView::Redraw);
  connect(bitsBox_, &QSpinBox::valueChanged, this, &WaveformView::Redraw);
  connect(codeBox_, &QComboBox::currentIndexChanged, this, &WaveformView::Redraw);
  Refresh();
}

void WaveformView::Refresh() {
  model_.Build(sim_.Setup, sim_.UserWaves, {sim_.DoCrc16, sim_.DoCttit, sim_.CrcWdNum});
  const LineCode previous = setupCode_;
  setupCode_ = model_.SetupCode();
  {
    const QSignalBlocker frameBlock(frameBox_);
    const QSignalBlocker codeBlock(codeBox_);
    frameBox_->setRange(0, std::max(0, model_.Frames() - 1));
    if (codeBox_->currentIndex() == static_cast<int>(previous))
      codeBox_->setCurrentIndex(static_cast<int>(setupCode_));
  }
  Redraw();
}

void WaveformView::ShowFrame(int frame) {
  frameBox_->setValue(frame);
}

void WaveformView::Redraw() {
  canvas_->SetWaveform(model_.Window(frameBox_->value(), bitsBox_->value(),
                                     static_cast<LineCode>(codeBox_->currentIndex())));
}
