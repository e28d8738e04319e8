#pragma once
// The frame map page: the major frame drawn as minor frames (rows) by words (cells), each
// cell coloured by what the load makes of it, with a legend and zoom buttons. Only the cells
// in view are painted, so the largest frame scrolls as fast as the smallest.
#include <QAbstractScrollArea>
#include <QColor>
#include <QWidget>
#include <functional>

#include "editor/FrameMapModel.h"

class QLabel;
class QPushButton;
class WaveformView;
class progsimulatorclass;

// The page's navy, and a label in white on it, shared by the map and the waveform strip.
extern const QColor kFrameMapPageColour;
QLabel* FrameMapPageLabel(const QString& text, QWidget* parent);

// The scrolling drawing of the cells.
class FrameMapArea : public QAbstractScrollArea {
  Q_OBJECT

 public:
  // frame: 0-based minor frame; word: 1-based word number.
  using ClickHandler = std::function<void(int frame, int word)>;

  explicit FrameMapArea(const FrameMapModel& model, QWidget* parent = nullptr);
  void SetClickHandler(ClickHandler handler) { onClick_ = std::move(handler); }

  // Cell side in pixels at each zoom level, and how many cells share a pixel each way at
  // the levels below one pixel a cell; level 0 is fully zoomed out.
  static int CellSizeAt(int level);
  static int CellsPerPixelAt(int level);
  static int ZoomLevels();
  int ZoomLevel() const { return zoom_; }
  int CellSize() const { return CellSizeAt(zoom_); }
  int CellsPerPixel() const { return CellsPerPixelAt(zoom_); }
  void SetZoomLevel(int level);

  // Scroll ranges after the model changed.
  void ModelChanged();
  // The cell under a viewport point (the first of those sharing its pixel): false outside
  // the frame.
  bool CellAtPoint(QPoint point, int& frame, int& wordIndex) const;
  // The tooltip for a viewport point; empty outside the frame.
  QString ToolTipAt(QPoint point) const;

  static QColor RoleColour(FrameCellRole role);

 signals:
  void ZoomChanged();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  bool viewportEvent(QEvent* event) override;

 private:
  void UpdateScrollBars();

  const FrameMapModel& model_;
  ClickHandler onClick_;
  int zoom_ = 0;
};

class FrameMapView : public QWidget {
  Q_OBJECT

 public:
  // Reads the simulator's record at every Refresh; sim must outlive the view.
  explicit FrameMapView(const progsimulatorclass& sim, QWidget* parent = nullptr);

  // Rebuilds the map and the waveform strip under it from the record and redraws them.
  void Refresh();
  // Called with the word clicked (frame 0-based, word 1-based), after the waveform strip
  // has turned to the clicked minor frame.
  void SetClickHandler(FrameMapArea::ClickHandler handler);

  void ZoomIn();
  void ZoomOut();

  FrameMapArea* Area() const { return area_; }
  WaveformView* WaveformStrip() const { return waveform_; }
  const FrameMapModel& Model() const { return model_; }
  QPushButton* ZoomInButton() const { return zoomIn_; }
  QPushButton* ZoomOutButton() const { return zoomOut_; }
  QLabel* Summary() const { return summary_; }

 private:
  void ShowSummary();

  const progsimulatorclass& sim_;
  FrameMapModel model_;
  FrameMapArea* area_;
  WaveformView* waveform_;
  QLabel* summary_;
  QPushButton* zoomIn_;
  QPushButton* zoomOut_;
};
