#pragma once
// The waveform strip of the frame map page: the line levels of the first bits of a minor
// frame in an output code, the bit values above them, dashed lines where words start with
// their numbers, and under each word a band in its frame map colour. The operator picks the
// minor frame, how many bits and the code (the record's own at first); the strip scrolls
// sideways when the bits do not fit.
#include <QWidget>

#include "editor/WaveformModel.h"

class QComboBox;
class QScrollArea;
class QSpinBox;
class progsimulatorclass;

// The drawing; as wide as the bits it shows.
class WaveformCanvas : public QWidget {
  Q_OBJECT

 public:
  explicit WaveformCanvas(QWidget* parent = nullptr);

  void SetWaveform(const Waveform& waveform);
  const Waveform& Shown() const { return waveform_; }

  // Where things are drawn, in the canvas's coordinates.
  static int CellWidth();
  int CellLeft(int cell) const;
  int CellCentreX(int cell) const { return CellLeft(cell) + CellWidth() / 2; }
  int LevelY(bool high) const;
  int BandY() const;  // a row inside the role bands
  static QColor WaveColour();
  static QColor Background();

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override { return sizeHint(); }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  Waveform waveform_;
};

class WaveformView : public QWidget {
  Q_OBJECT

 public:
  // Reads the simulator's record at every Refresh; sim must outlive the view.
  explicit WaveformView(const progsimulatorclass& sim, QWidget* parent = nullptr);

  // Rebuilds from the record and redraws. The code shown follows the record's own code
  // unless the operator has picked another one.
  void Refresh();
  // Shows the window starting with minor frame `frame` (0-based).
  void ShowFrame(int frame);

  const WaveformModel& Model() const { return model_; }
  WaveformCanvas* Canvas() const { return canvas_; }
  QScrollArea* Scroller() const { return scroller_; }
  QSpinBox* FrameBox() const { return frameBox_; }
  QSpinBox* BitsBox() const { return bitsBox_; }
  QComboBox* CodeBox() const { return codeBox_; }

 private:
  void Redraw();

  const progsimulatorclass& sim_;
  WaveformModel model_;
  LineCode setupCode_ = LineCode::NrzL;  // the record's code at the last Refresh
  WaveformCanvas* canvas_;
  QScrollArea* scroller_;
  QSpinBox* frameBox_;
  QSpinBox* bitsBox_;
  QComboBox* codeBox_;
};
