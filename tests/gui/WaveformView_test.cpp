// The waveform strip under the frame map: the levels it paints for a code picked in the
// combo box, the role bands, scrolling, following the record and the map's clicks, and the
// strip on the setup window's "Frame Map" tab.
#include <QComboBox>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QtTest>
#include <cstring>
#include <memory>

#include "SetupTestKit.h"
#include "common/ScriptedOperator.h"
#include "editor/gui/FrameMapView.h"
#include "editor/gui/Qm48SetupMMIUnit.h"
#include "editor/gui/WaveformView.h"
#include "simulator/Qm48SimulatorUnit.h"

namespace {

// The cell levels as painted: the wave colour at the high or the low level in the middle of
// each cell, and never at both. An empty result if a cell shows neither or both.
BitSequence DrawnCells(WaveformCanvas* canvas, int cells) {
  const QImage image = canvas->grab().toImage();
  const QRgb wave = WaveformCanvas::WaveColour().rgb();
  BitSequence drawn;
  for (int i = 0; i < cells; ++i) {
    const int x = canvas->CellCentreX(i);
    const bool high = image.pixel(x, canvas->LevelY(true)) == wave;
    const bool low = image.pixel(x, canvas->LevelY(false)) == wave;
    if (high == low) return {};
    drawn.push_back(high ? 1 : 0);
  }
  return drawn;
}

BitSequence FromText(const char* text) {
  BitSequence out;
  for (const char* c = text; *c != '\0'; ++c)
    if (*c == '0' || *c == '1') out.push_back(static_cast<uint8_t>(*c - '0'));
  return out;
}

int CodeIndex(const char* name) {
  for (size_t i = 0; i < kOutputCodeNames.size(); ++i)
    if (QLatin1String(kOutputCodeNames[i]) == QLatin1String(name)) return static_cast<int>(i);
  return -1;
}

}  // namespace

class WaveformViewTest : public QObject {
  Q_OBJECT

 private slots:
  void codeComboChangesTheDrawnLevels() {
    auto sim = std::make_unique<progsimulatorclass>();
    WaveformView view(*sim);
    view.resize(900, 200);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    QCOMPARE(view.CodeBox()->count(), 19);
    QCOMPARE(view.CodeBox()->currentText(), QString("NRZL"));
    QCOMPARE(view.BitsBox()->value(), 64);
    QCOMPARE(view.FrameBox()->maximum(), 63);

    // The record's sync pattern FE6B2840 leads the frame, most significant bit first.
    view.BitsBox()->setValue(8);
    QCOMPARE(DrawnCells(view.Canvas(), 16), FromText("11 11 11 11  11 11 11 00"));
    view.CodeBox()->setCurrentIndex(CodeIndex("BIOL"));
    QCOMPARE(DrawnCells(view.Canvas(), 16), FromText("10 10 10 10  10 10 10 01"));
    view.CodeBox()->setCurrentIndex(CodeIndex("INV_NRZL"));
    QCOMPARE(DrawnCells(view.Canvas(), 16), FromText("00 00 00 00  00 00 00 11"));

    // Whatever the code, what is painted is what the strip says it shows.
    view.BitsBox()->setValue(64);
    for (const char* name : {"NRZM", "DMM", "MDMS", "RZ", "RNRZ15"}) {
      view.CodeBox()->setCurrentIndex(CodeIndex(name));
      QCOMPARE(view.Canvas()->Shown().Cells.size(), size_t(128));
      QCOMPARE(DrawnCells(view.Canvas(), 128), view.Canvas()->Shown().Cells);
    }
  }

  void bandsTakeTheFrameMapColoursAndTheStripScrolls() {
    auto sim = std::make_unique<progsimulatorclass>();
    WaveformView view(*sim);
    view.resize(900, 200);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    WaveformCanvas* canvas = view.Canvas();
    const QImage image = canvas->grab().toImage();
    auto bandAt = [&](int bit) {
      return QColor(image.pixel(canvas->CellLeft(2 * bit) + 2, canvas->BandY()));
    };
    // Words 1-2 sync, word 3 the subframe ID, word 4 a dynamic word: 16 bits each.
    QCOMPARE(bandAt(0), FrameMapArea::RoleColour(FrameCellRole::FrameSync));
    QCOMPARE(bandAt(31), FrameMapArea::RoleColour(FrameCellRole::FrameSync));
    QCOMPARE(bandAt(32), FrameMapArea::RoleColour(FrameCellRole::SubframeId));
    QCOMPARE(bandAt(48), FrameMapArea::RoleColour(FrameCellRole::Dynamic));

    // 64 bits are wider than the view: the strip scrolls; 8 bits fit.
    QScrollBar* bar = view.Scroller()->horizontalScrollBar();
    QVERIFY(canvas->width() > view.Scroller()->viewport()->width());
    QCOMPARE(bar->maximum(), canvas->width() - view.Scroller()->viewport()->width());
    view.BitsBox()->setValue(8);
    QCOMPARE(bar->maximum(), 0);
    view.BitsBox()->setValue(512);
    QCOMPARE(bar->maximum(), canvas->width() - view.Scroller()->viewport()->width());
    QCOMPARE(DrawnCells(canvas, 1024), canvas->Shown().Cells);
  }

  void followsTheRecordUntilAnotherCodeIsPicked() {
    auto sim = std::make_unique<progsimulatorclass>();
    sim->Setup.SimOutputCode = CodeIndex("DMS");
    WaveformView view(*sim);
    QCOMPARE(view.CodeBox()->currentText(), QString("DMS"));

    sim->Setup.SimOutputCode = CodeIndex("BIOM");
    sim->Setup.NumSubframes = 16;
    view.Refresh();
    QCOMPARE(view.CodeBox()->currentText(), QString("BIOM"));
    QCOMPARE(view.FrameBox()->maximum(), 15);
    QCOMPARE(view.Canvas()->Shown().Code, LineCode::BiPhaseM);

    view.CodeBox()->setCurrentIndex(CodeIndex("NRZS"));
    sim->Setup.SimOutputCode = CodeIndex("RZ");
    view.Refresh();
    QCOMPARE(view.CodeBox()->currentText(), QString("NRZS"));
  }

  void frameMapClickTurnsTheStripToThatMinorFrame() {
    auto sim = std::make_unique<progsimulatorclass>();
    FrameMapView map(*sim);
    map.resize(900, 600);
    map.show();
    QVERIFY(QTest::qWaitForWindowExposed(&map));
    int clicked = -1;
    map.SetClickHandler([&](int frame, int) { clicked = frame; });
    FrameMapArea* area = map.Area();
    const int size = area->CellSize();
    QTest::mouseClick(area->viewport(), Qt::LeftButton, {},
                      QPoint(2 * size + size / 2, 5 * size + size / 2));
    QCOMPARE(clicked, 5);
    QCOMPARE(map.WaveformStrip()->FrameBox()->value(), 5);
    QCOMPARE(map.WaveformStrip()->Canvas()->Shown().Frame, 5);
  }

  void frameMapTabShowsTheStripAndARecordChangeRedrawsIt() {
    ProgramObjectsScope objects;
    ScriptedOperator op;
    ScopedOperator scoped(op);
    TQm48SetupMMIForm form(objects.Session(), nullptr);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    form.SelectTab(3);
    WaveformView* strip = form.FrameMapPage()->WaveformStrip();
    QVERIFY(strip->isVisible());
    QVERIFY(strip->Canvas()->isVisible());
    QVERIFY(strip->Canvas()->height() > 0);
    strip->BitsBox()->setValue(8);
    QCOMPARE(DrawnCells(strip->Canvas(), 16), FromText("11 11 11 11  11 11 11 00"));

    // A record change made elsewhere: a new pattern in a new code.
    std::strcpy(SimProg->Setup.FrameSyncPattern, "2F6B2840");
    SimProg->Setup.SimOutputCode = CodeIndex("BIOL");
    form.RefreshFromSetup();
    QCOMPARE(strip->CodeBox()->currentText(), QString("BIOL"));
    QCOMPARE(DrawnCells(strip->Canvas(), 16), FromText("01 01 10 01  10 10 10 10"));
  }

  // Run with QM48_SCREENSHOT_DIR set to write the picture of the waveform strip.
  void Screenshot() {
    const QByteArray dir = qgetenv("QM48_SCREENSHOT_DIR");
    if (dir.isEmpty()) QSKIP("QM48_SCREENSHOT_DIR not set");
    // Eight 8-bit words: the 32-bit sync pattern in words 1-4, the subframe ID in word 5,
    // a sine in word 6 and the CRC in word 8; scrolled to the end of minor frame 3 and the
    // start of the next.
    auto sim = std::make_unique<progsimulatorclass>();
    sim->Setup.CommonWordLength = 8;
    sim->Setup.WordsPerMinorFrame = 8;
    for (int i = 0; i < 8; ++i) sim->Setup.Words[size_t(i)].SimWordLen = 8;
    sim->Setup.NumSubframes = 8;
    sim->Setup.SfIdWordNum = 5;
    sim->Setup.DynamicWords[0].SimDynamicWordNumber = 6;
    for (size_t k = 1; k < sim->Setup.DynamicWords.size(); ++k)
      sim->Setup.DynamicWords[k].SimDynamicWordNumber = 0;
    sim->Setup.SimOutputCode = CodeIndex("BIOL");
    sim->DoCrc16 = true;
    sim->CrcWdNum = 7;
    WaveformView view(*sim);
    view.resize(1200, 180);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    view.ShowFrame(3);
    view.BitsBox()->setValue(72);
    view.Scroller()->horizontalScrollBar()->setValue(
        view.Scroller()->horizontalScrollBar()->maximum());
    QTest::qWait(50);
    QVERIFY(view.grab().save(QString::fromUtf8(dir) + "/waveform.png"));
  }
};

QTEST_MAIN(WaveformViewTest)
#include "WaveformView_test.moc"
