#include "editor/gui/FrameMapView.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QHelpEvent>
#include <QImage>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QScrollBar>
#include <QToolTip>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

#include "editor/gui/WaveformView.h"
#include "simulator/Qm48SimulatorUnit.h"

namespace {
// Zoom levels: pixels a cell takes, and cells that share a pixel when zoomed out beyond one
// pixel a cell, so the whole of the largest frame fits a screen.
struct ZoomStep {
  int size;   // pixels per cell (or per group of cells)
  int group;  // cells per pixel
};
constexpr std::array<ZoomStep, 14> kZoomSteps = {{{1, 16},
                                                  {1, 8},
                                                  {1, 4},
                                                  {1, 2},
                                                  {1, 1},
                                                  {2, 1},
                                                  {3, 1},
                                                  {4, 1},
                                                  {6, 1},
                                                  {8, 1},
                                                  {12, 1},
                                                  {16, 1},
                                                  {24, 1},
                                                  {32, 1}}};
constexpr int kDefaultZoom = 9;
// Cells this wide or wider are drawn with a one-pixel grid line between them.
constexpr int kGridFromSize = 6;
const QRgb kOutside = qRgb(40, 40, 48);
const QRgb kGrid = qRgb(70, 70, 80);
// Words a lock warning concerns: hatched and outlined over their role colour.
const QColor kWarningHatch(150, 0, 0);
const QColor kWarningOutline(255, 40, 40);

void PaintWarningMark(QPainter& painter, const QRect& rect) {
  painter.fillRect(rect, QBrush(kWarningHatch, Qt::BDiagPattern));
  painter.setPen(kWarningOutline);
  painter.setBrush(Qt::NoBrush);
  painter.drawRect(rect.adjusted(0, 0, -1, -1));
}

struct LegendEntry {
  FrameCellRole role;
  const char* caption;
};
constexpr std::array<LegendEntry, kFrameCellRoleCount> kLegend = {{
    {FrameCellRole::FrameSync, "Frame sync"},
    {FrameCellRole::SubframeId, "SFID / FCC"},
    {FrameCellRole::Dynamic, "Dynamic word"},
    {FrameCellRole::Unique, "Unique word"},
    {FrameCellRole::Crc, "CRC word"},
    {FrameCellRole::Data, "Data"},
}};
}  // namespace

const QColor kFrameMapPageColour(0, 0, 128);

// Labels keep white text on the page's navy wherever the page is put.
QLabel* FrameMapPageLabel(const QString& text, QWidget* parent) {
  auto* label = new QLabel(text, parent);
  QPalette palette = label->palette();
  palette.setColor(QPalette::WindowText, Qt::white);
  label->setPalette(palette);
  return label;
}

FrameMapArea::FrameMapArea(const FrameMapModel& model, QWidget* parent)
    : QAbstractScrollArea(parent), model_(model), zoom_(kDefaultZoom) {
  viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
  viewport()->setMouseTracking(true);
}

int FrameMapArea::CellSizeAt(int level) {
  return kZoomSteps[static_cast<size_t>(std::clamp(level, 0, ZoomLevels() - 1))].size;
}

int FrameMapArea::CellsPerPixelAt(int level) {
  return kZoomSteps[static_cast<size_t>(std::clamp(level, 0, ZoomLevels() - 1))].group;
}

int FrameMapArea::ZoomLevels() {
  return static_cast<int>(kZoomSteps.size());
}

QColor FrameMapArea::RoleColour(FrameCellRole role) {
  switch (role) {
    case FrameCellRole::FrameSync:
      return QColor(40, 110, 230);
    case FrameCellRole::SubframeId:
      return QColor(245, 160, 20);
    case FrameCellRole::Dynamic:
      return QColor(40, 185, 80);
    case FrameCellRole::Unique:
      return QColor(200, 60, 200);
    case FrameCellRole::Crc:
      return QColor(225, 40, 40);
    case FrameCellRole::Data:
      break;
  }
  return QColor(205, 205, 195);
}

void FrameMapArea::SetZoomLevel(int level) {
  level = std::clamp(level, 0, ZoomLevels() - 1);
  if (level == zoom_) return;
  // Keep the cell at the middle of the view where it was.
  const double oldScale = static_cast<double>(CellsPerPixel()) / CellSize();
  const double midX = (horizontalScrollBar()->value() + viewport()->width() / 2.0) * oldScale;
  const double midY = (verticalScrollBar()->value() + viewport()->height() / 2.0) * oldScale;
  zoom_ = level;
  UpdateScrollBars();
  const double scale = static_cast<double>(CellSize()) / CellsPerPixel();
  horizontalScrollBar()->setValue(static_cast<int>(midX * scale - viewport()->width() / 2.0));
  verticalScrollBar()->setValue(static_cast<int>(midY * scale - viewport()->height() / 2.0));
  viewport()->update();
  emit ZoomChanged();
}

void FrameMapArea::ModelChanged() {
  UpdateScrollBars();
  viewport()->update();
}

void FrameMapArea::UpdateScrollBars() {
  const int size = CellSize();
  const int group = CellsPerPixel();
  const QSize view = viewport()->size();
  // At most 16,383 x 32 pixels across: well inside an int.
  const int width = (model_.Words() + group - 1) / group * size;
  const int height = (model_.Frames() + group - 1) / group * size;
  horizontalScrollBar()->setRange(0, std::max(0, width - view.width()));
  horizontalScrollBar()->setPageStep(view.width());
  horizontalScrollBar()->setSingleStep(size);
  verticalScrollBar()->setRange(0, std::max(0, height - view.height()));
  verticalScrollBar()->setPageStep(view.height());
  verticalScrollBar()->setSingleStep(size);
}

bool FrameMapArea::CellAtPoint(QPoint point, int& frame, int& wordIndex) const {
  if (point.x() < 0 || point.y() < 0) return false;
  const int size = CellSize();
  const int group = CellsPerPixel();
  const int word = (horizontalScrollBar()->value() + point.x()) / size * group;
  const int row = (verticalScrollBar()->value() + point.y()) / size * group;
  if (word >= model_.Words() || row >= model_.Frames()) return false;
  frame = row;
  wordIndex = word;
  return true;
}

QString FrameMapArea::ToolTipAt(QPoint point) const {
  int frame = 0;
  int word = 0;
  if (!CellAtPoint(point, frame, word)) return {};
  return QString::fromStdString(model_.ToolTipText(frame, word));
}

void FrameMapArea::paintEvent(QPaintEvent*) {
  const QSize view = viewport()->size();
  if (view.isEmpty()) return;
  // A unit is one cell, or the group of cells that share a pixel when zoomed far out. The
  // units in view are summarised once per column and once per row; one pixel line is built
  // per row of units and copied down its height, straight into an image.
  QImage image(view, QImage::Format_RGB32);
  std::array<QRgb, kFrameCellRoleCount> colours{};
  for (int r = 0; r < kFrameCellRoleCount; ++r)
    colours[static_cast<size_t>(r)] = RoleColour(static_cast<FrameCellRole>(r)).rgb();

  const int size = CellSize();
  const int group = CellsPerPixel();
  const int gap = size >= kGridFromSize ? 1 : 0;
  const int x0 = horizontalScrollBar()->value();
  const int y0 = verticalScrollBar()->value();
  const int width = view.width();
  const int columnUnits = model_.Words() == 0 ? 0 : (model_.Words() - 1) / group + 1;
  const int rowUnits = model_.Frames() == 0 ? 0 : (model_.Frames() - 1) / group + 1;
  const int firstColumn = x0 / size;
  const int lastColumn = std::min(columnUnits, (x0 + width - 1) / size + 1);

  std::vector<FrameMapModel::WordSpan> columns;
  for (int u = firstColumn; u < lastColumn; ++u)
    columns.push_back(model_.SummariseWords(u * group, group));

  std::vector<QRgb> line(static_cast<size_t>(width), kOutside);
  std::vector<QRgb> gridLine(static_cast<size_t>(width), kOutside);
  for (int x = 0; x < width; ++x)
    if ((x0 + x) / size < columnUnits) gridLine[static_cast<size_t>(x)] = kGrid;

  int y = 0;
  for (int row = y0 / size; y < view.height(); ++row) {
    if (row >= rowUnits) {
      for (; y < view.height(); ++y) {
        auto* scan = reinterpret_cast<QRgb*>(image.scanLine(y));
        std::fill(scan, scan + width, kOutside);
      }
      break;
    }
    const uint8_t frameMask = model_.FrameUniqueMask(row * group, group);
    int x = 0;
    for (int u = firstColumn; u < lastColumn && x < width; ++u) {
      const int cellRight = (u + 1) * size - x0;
      const int right = std::min(width, cellRight);
      const FrameCellRole role =
          FrameMapModel::SpanRole(columns[static_cast<size_t>(u - firstColumn)], frameMask);
      const QRgb colour = colours[static_cast<size_t>(role)];
      const int colourEnd = cellRight <= width ? right - gap : right;
      for (; x < colourEnd; ++x) line[static_cast<size_t>(x)] = colour;
      for (; x < right; ++x) line[static_cast<size_t>(x)] = kGrid;
    }
    const int top = row * size - y0;
    const int bottom = std::min(view.height(), top + size);
    const int colourBottom = top + size - gap;
    for (; y < bottom; ++y) {
      const std::vector<QRgb>& source = y < colourBottom ? line : gridLine;
      std::memcpy(image.scanLine(y), source.data(), static_cast<size_t>(width) * sizeof(QRgb));
    }
  }
  QPainter painter(viewport());
  painter.drawImage(0, 0, image);
  const int frameBottom = std::min(view.height(), rowUnits * size - y0);
  for (int u = firstColumn; u < lastColumn && frameBottom > 0; ++u) {
    if (!columns[static_cast<size_t>(u - firstColumn)].Warned) continue;
    const int left = u * size - x0;
    PaintWarningMark(painter, QRect(left, 0, std::max(1, size - gap), frameBottom));
  }
}

void FrameMapArea::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  UpdateScrollBars();
}

void FrameMapArea::wheelEvent(QWheelEvent* event) {
  if (!(event->modifiers() & Qt::ControlModifier)) {
    QAbstractScrollArea::wheelEvent(event);
    return;
  }
  const int steps = event->angleDelta().y();
  if (steps > 0)
    SetZoomLevel(zoom_ + 1);
  else if (steps < 0)
    SetZoomLevel(zoom_ - 1);
  event->accept();
}

void FrameMapArea::mousePressEvent(QMouseEvent* event) {
  int frame = 0;
  int word = 0;
  if (event->button() == Qt::LeftButton && onClick_ &&
      CellAtPoint(event->position().toPoint(), frame, word)) {
    onClick_(frame, word + 1);
    return;
  }
  QAbstractScrollArea::mousePressEvent(event);
}

bool FrameMapArea::viewportEvent(QEvent* event) {
  if (event->type() == QEvent::ToolTip) {
    auto* help = static_cast<QHelpEvent*>(event);
    const QString text = ToolTipAt(help->pos());
    if (text.isEmpty())
      QToolTip::hideText();
    else
      QToolTip::showText(help->globalPos(), text, viewport());
    return true;
  }
  return QAbstractScrollArea::viewportEvent(event);
}

FrameMapView::FrameMapView(const progsimulatorclass& sim, QWidget* parent)
    : QWidget(parent), sim_(sim) {
  QPalette palette = this->palette();
  palette.setColor(QPalette::Window, kFrameMapPageColour);
  setPalette(palette);
  setAutoFillBackground(true);
  area_ = new FrameMapArea(model_, this);
  waveform_ = new WaveformView(sim_, this);
  summary_ = FrameMapPageLabel(QString(), this);
  zoomOut_ = new QPushButton(tr("Zoom Out"), this);
  zoomIn_ = new QPushButton(tr("Zoom In"), this);
  zoomOut_->setToolTip(tr("Smaller cells (Ctrl+wheel)"));
  zoomIn_->setToolTip(tr("Larger cells (Ctrl+wheel)"));

  auto* legend = new QHBoxLayout;
  legend->addWidget(summary_);
  legend->addSpacing(12);
  for (const LegendEntry& entry : kLegend) {
    auto* swatch = new QLabel(this);
    swatch->setFixedSize(14, 14);
    swatch->setAutoFillBackground(true);
    QPalette palette = swatch->palette();
    palette.setColor(QPalette::Window, FrameMapArea::RoleColour(entry.role));
    swatch->setPalette(palette);
    legend->addWidget(swatch);
    legend->addWidget(FrameMapPageLabel(tr(entry.caption), this));
    legend->addSpacing(8);
  }
  auto* warned = new QLabel(this);
  QPixmap hatch(14, 14);
  hatch.fill(FrameMapArea::RoleColour(FrameCellRole::Data));
  QPainter hatchPainter(&hatch);
  PaintWarningMark(hatchPainter, hatch.rect());
  hatchPainter.end();
  warned->setPixmap(hatch);
  legend->addWidget(warned);
  legend->addWidget(FrameMapPageLabel(tr("Lock warning"), this));
  legend->addStretch(1);
  legend->addWidget(zoomOut_);
  legend->addWidget(zoomIn_);

  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(6, 6, 6, 6);
  column->addLayout(legend);
  column->addWidget(area_, 1);
  column->addWidget(waveform_);

  connect(zoomIn_, &QPushButton::clicked, this, &FrameMapView::ZoomIn);
  connect(zoomOut_, &QPushButton::clicked, this, &FrameMapView::ZoomOut);
  connect(area_, &FrameMapArea::ZoomChanged, this, [this] {
    zoomIn_->setEnabled(area_->ZoomLevel() < FrameMapArea::ZoomLevels() - 1);
    zoomOut_->setEnabled(area_->ZoomLevel() > 0);
  });
  Refresh();
}

void FrameMapView::Refresh() {
  model_.Build(sim_);
  ShowSummary();
  area_->ModelChanged();
  waveform_->Refresh();
}

void FrameMapView::SetClickHandler(FrameMapArea::ClickHandler handler) {
  area_->SetClickHandler([this, handler = std::move(handler)](int frame, int word) {
    waveform_->ShowFrame(frame);
    if (handler) handler(frame, word);
  });
}

void FrameMapView::ZoomIn() {
  area_->SetZoomLevel(area_->ZoomLevel() + 1);
}

void FrameMapView::ZoomOut() {
  area_->SetZoomLevel(area_->ZoomLevel() - 1);
}

void FrameMapView::ShowSummary() {
  QString text = tr("%1 words x %2 minor frames").arg(model_.Words()).arg(model_.Frames());
  QString warnings;
  for (const LockWarning& warning : model_.Warnings())
    warnings += (warnings.isEmpty() ? "" : "\n") + QString::fromStdString(warning.Text);
  const auto count = static_cast<int>(model_.Warnings().size());
  if (count == 1) text += tr(", 1 lock warning (see the tooltip)");
  if (count > 1) text += tr(", %1 lock warnings (see the tooltip)").arg(count);
  summary_->setText(text);
  summary_->setToolTip(warnings);
}
