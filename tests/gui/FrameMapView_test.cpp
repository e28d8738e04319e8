// The frame map page: tooltips, clicks, zoom, the colours painted, the redraw after a record
// change, and the "Frame Map" tab of the setup window opening the word values dialog.
#include <QAction>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTabBar>
#include <QToolTip>
#include <QtTest>
#include <cstring>
#include <memory>

#include "ModalDriver.h"
#include "SetupTestKit.h"
#include "common/ScriptedOperator.h"
#include "editor/gui/FrameMapView.h"
#include "editor/gui/Qm48SetupMMIUnit.h"
#include "editor/gui/SimValuesDlgUnit.h"
#include "simulator/Qm48SimulatorUnit.h"

namespace {

constexpr int kZoom16 = 11;  // 16-pixel cells

// The middle of the cell (frame, 0-based word index) in viewport coordinates.
QPoint CellCentre(const FrameMapArea* area, int frame, int wordIndex) {
  const int size = area->CellSize();
  return {wordIndex * size + size / 2 - area->horizontalScrollBar()->value(),
          frame * size + size / 2 - area->verticalScrollBar()->value()};
}

// Zooms to 16-pixel cells and scrolls back to the frame's first word and minor frame.
void ZoomTo16(FrameMapArea* area) {
  area->SetZoomLevel(kZoom16);
  area->horizontalScrollBar()->setValue(0);
  area->verticalScrollBar()->setValue(0);
}

}  // namespace

class FrameMapViewTest : public QObject {
  Q_OBJECT

 private slots:
  void toolTipNamesWordLengthValueAndRole() {
    auto sim = std::make_unique<progsimulatorclass>();
    FrameMapView view(*sim);
    view.resize(900, 500);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    ZoomTo16(view.Area());
    QCOMPARE(view.Area()->CellSize(), 16);

    const QString tip = view.Area()->ToolTipAt(CellCentre(view.Area(), 0, 3));
    QVERIFY2(tip.contains("Word 4, minor frame 0"), qPrintable(tip));
    QVERIFY2(tip.contains("Length: 16 bits"), qPrintable(tip));
    QVERIFY2(tip.contains("Value: 0x"), qPrintable(tip));
    QVERIFY2(tip.contains("Role: dynamic word (SINE)"), qPrintable(tip));
    QVERIFY(view.Area()->ToolTipAt(CellCentre(view.Area(), 0, 9)).contains("unique word"));
    QVERIFY(view.Area()->ToolTipAt(CellCentre(view.Area(), 1, 9)).contains("Role: data"));

    // The help event the toolkit sends shows the same text.
    const QPoint at = CellCentre(view.Area(), 2, 2);
    QHelpEvent help(QEvent::ToolTip, at, view.Area()->viewport()->mapToGlobal(at));
    QApplication::sendEvent(view.Area()->viewport(), &help);
    QVERIFY2(QToolTip::text().contains("Word 3, minor frame 2"), qPrintable(QToolTip::text()));
    QVERIFY(QToolTip::text().contains("Role: subframe ID"));
    QToolTip::hideText();

    // Past the last word there is no cell and no tooltip.
    view.Area()->SetZoomLevel(FrameMapArea::ZoomLevels() - 1);
    view.Area()->horizontalScrollBar()->setValue(view.Area()->horizontalScrollBar()->maximum());
    sim->Setup.WordsPerMinorFrame = 3;
    view.Refresh();
    QVERIFY(view.Area()->ToolTipAt(QPoint(800, 5)).isEmpty());
  }

  void clickCallsBackWithTheWordUnderTheMouse() {
    auto sim = std::make_unique<progsimulatorclass>();
    sim->Setup.WordsPerMinorFrame = kMaxWordsPerMinorFrame;
    FrameMapView view(*sim);
    view.resize(900, 500);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    ZoomTo16(view.Area());
    int clickedFrame = -1;
    int clickedWord = -1;
    view.SetClickHandler([&](int frame, int word) {
      clickedFrame = frame;
      clickedWord = word;
    });

    QTest::mouseClick(view.Area()->viewport(), Qt::LeftButton, {}, CellCentre(view.Area(), 1, 8));
    QCOMPARE(clickedFrame, 1);
    QCOMPARE(clickedWord, 9);

    // Scrolled far to the right and down, the click still lands on the word drawn there.
    view.Area()->horizontalScrollBar()->setValue(16000 * 16 + 5);
    view.Area()->verticalScrollBar()->setValue(40 * 16);
    QTest::mouseClick(view.Area()->viewport(), Qt::LeftButton, {},
                      CellCentre(view.Area(), 50, 16010));
    QCOMPARE(clickedFrame, 50);
    QCOMPARE(clickedWord, 16011);
  }

  void zoomChangesTheCellSize() {
    auto sim = std::make_unique<progsimulatorclass>();
    FrameMapView view(*sim);
    view.resize(900, 500);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    const int before = view.Area()->CellSize();
    view.ZoomInButton()->click();
    QVERIFY(view.Area()->CellSize() > before);
    view.ZoomOutButton()->click();
    view.ZoomOutButton()->click();
    QVERIFY(view.Area()->CellSize() < before);

    // Ctrl+wheel zooms; a plain wheel scrolls and leaves the cells alone.
    const int size = view.Area()->CellSize();
    const QPointF at(50, 50);
    QWheelEvent up(at, view.Area()->viewport()->mapToGlobal(at), {}, {0, 120}, Qt::NoButton,
                   Qt::ControlModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(view.Area()->viewport(), &up);
    QVERIFY(view.Area()->CellSize() > size);
    const int zoomed = view.Area()->CellSize();
    QWheelEvent plain(at, view.Area()->viewport()->mapToGlobal(at), {}, {0, -120}, Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(view.Area()->viewport(), &plain);
    QCOMPARE(view.Area()->CellSize(), zoomed);

    // Fully zoomed out the buttons say so and the level stays at 0.
    for (int i = 0; i < FrameMapArea::ZoomLevels(); ++i) view.ZoomOut();
    QCOMPARE(view.Area()->ZoomLevel(), 0);
    QCOMPARE(view.Area()->CellSize(), 1);
    QCOMPARE(view.Area()->CellsPerPixel(), 16);
    QVERIFY(!view.ZoomOutButton()->isEnabled());
    QVERIFY(view.ZoomInButton()->isEnabled());
  }

  void paintsRolesAndRedrawsAfterARecordChange() {
    auto sim = std::make_unique<progsimulatorclass>();
    FrameMapView view(*sim);
    view.resize(900, 500);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    ZoomTo16(view.Area());
    auto colourAt = [&](int frame, int wordIndex) {
      const QImage image = view.Area()->viewport()->grab().toImage();
      return QColor(image.pixel(CellCentre(view.Area(), frame, wordIndex)));
    };
    QCOMPARE(colourAt(0, 0), FrameMapArea::RoleColour(FrameCellRole::FrameSync));
    QCOMPARE(colourAt(3, 2), FrameMapArea::RoleColour(FrameCellRole::SubframeId));
    QCOMPARE(colourAt(3, 5), FrameMapArea::RoleColour(FrameCellRole::Dynamic));
    QCOMPARE(colourAt(0, 10), FrameMapArea::RoleColour(FrameCellRole::Unique));
    QCOMPARE(colourAt(1, 10), FrameMapArea::RoleColour(FrameCellRole::Data));
    QCOMPARE(colourAt(2, 20), FrameMapArea::RoleColour(FrameCellRole::Data));

    sim->DoCrc16 = true;
    sim->CrcWdNum = 20;
    view.Refresh();
    QCOMPARE(colourAt(2, 20), FrameMapArea::RoleColour(FrameCellRole::Crc));
    QVERIFY(view.Area()->ToolTipAt(CellCentre(view.Area(), 2, 20)).contains("CRC word"));

    // Fully zoomed out 16 x 16 cells share a pixel, which shows the strongest role among
    // them; past the 256 words of the frame there is nothing to draw.
    view.Area()->SetZoomLevel(0);
    view.Area()->horizontalScrollBar()->setValue(0);
    view.Area()->verticalScrollBar()->setValue(0);
    const QImage image = view.Area()->viewport()->grab().toImage();
    QCOMPARE(QColor(image.pixel(0, 0)), FrameMapArea::RoleColour(FrameCellRole::FrameSync));
    QCOMPARE(QColor(image.pixel(1, 0)), FrameMapArea::RoleColour(FrameCellRole::Crc));
    QCOMPARE(QColor(image.pixel(2, 1)), FrameMapArea::RoleColour(FrameCellRole::Data));
    QVERIFY(QColor(image.pixel(20, 1)) != FrameMapArea::RoleColour(FrameCellRole::Data));
    QVERIFY(view.Area()->ToolTipAt(QPoint(1, 1)).contains("Word 17, minor frame 16"));
  }

  // The sync pattern copied into words 10 and 11 (unique words in minor frame 0 only): their
  // columns are outlined and hatched, their tooltips and the summary's say why.
  void marksTheWordsOfALockWarning() {
    auto sim = std::make_unique<progsimulatorclass>();
    sim->Setup.Words[9].SimValue = 0xFE6B;
    sim->Setup.Words[10].SimValue = 0x2840;
    FrameMapView view(*sim);
    view.resize(900, 500);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    ZoomTo16(view.Area());
    const QImage image = view.Area()->viewport()->grab().toImage();
    const QColor outline(255, 40, 40);
    for (int frame : {0, 5}) {
      QCOMPARE(QColor(image.pixel(9 * 16, frame * 16 + 5)), outline);   // word 10's left edge
      QCOMPARE(QColor(image.pixel(10 * 16, frame * 16 + 5)), outline);  // word 11's
      QVERIFY(QColor(image.pixel(8 * 16, frame * 16 + 5)) != outline);  // word 9's is not
      QCOMPARE(QColor(image.pixel(CellCentre(view.Area(), frame, 8))),
               FrameMapArea::RoleColour(frame == 0 ? FrameCellRole::Unique : FrameCellRole::Data));
    }
    const QString tip = view.Area()->ToolTipAt(CellCentre(view.Area(), 2, 9));
    QVERIFY2(tip.contains("\nWarning: the frame sync pattern also shows in the fixed words at "
                          "bit 144 (words 10-11)"),
             qPrintable(tip));
    QVERIFY(view.Summary()->text().endsWith(", 1 lock warning (see the tooltip)"));
    QVERIFY(view.Summary()->toolTip().startsWith("the frame sync pattern also shows"));

    sim->Setup.Words[9].SimValue = 0;
    view.Refresh();
    const QImage after = view.Area()->viewport()->grab().toImage();
    QVERIFY(QColor(after.pixel(9 * 16, 5)) != outline);
    QCOMPARE(view.Summary()->text(), QString("256 words x 64 minor frames"));
  }

  void frameMapTabOpensTheWordValuesDialog() {
    ProgramObjectsScope objects;
    ScriptedOperator op;
    ScopedOperator scoped(op);
    TQm48SetupMMIForm form(objects.Session(), nullptr);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QCOMPARE(form.TabControl->tabText(3), QString("Frame Map"));

    // An edit made while another tab is in front shows once the tab is selected.
    SimProg->Setup.Words[30].SimWordLen = 12;
    form.SelectTab(3);
    QCOMPARE(form.FrontPage(), static_cast<QWidget*>(form.FrameMapPage()));
    FrameMapArea* area = form.FrameMapPage()->Area();
    ZoomTo16(area);
    QVERIFY(area->ToolTipAt(CellCentre(area, 0, 30)).contains("Length: 12 bits"));

    // A click opens the word values dialog; what it applies is drawn at once.
    auto driver = OnModal<TSimValuesDlg>([](TSimValuesDlg* dlg) {
      dlg->GridPress(41, Qt::LeftButton, Qt::NoModifier, {});
      dlg->LengthAction(8)->trigger();
      dlg->ApplyButton()->click();
    });
    QTest::mouseClick(area->viewport(), Qt::LeftButton, {}, CellCentre(area, 0, 40));
    QVERIFY(driver->ran);
    QVERIFY(!driver->gaveUp);
    QCOMPARE(SimProg->Setup.Words[40].SimWordLen, uint16_t{8});
    QVERIFY(gSetupEdited);
    QVERIFY2(area->ToolTipAt(CellCentre(area, 0, 40)).contains("Length: 8 bits"),
             qPrintable(area->ToolTipAt(CellCentre(area, 0, 40))));
  }

  // Run with QM48_SCREENSHOT_DIR set to write the picture of the frame map.
  void Screenshot() {
    const QByteArray dir = qgetenv("QM48_SCREENSHOT_DIR");
    if (dir.isEmpty()) QSKIP("QM48_SCREENSHOT_DIR not set");
    auto sim = std::make_unique<progsimulatorclass>();
    sim->Setup.SubframeMode = 1;
    sim->Setup.WordsPerMinorFrame = 64;
    sim->Setup.NumSubframes = 32;
    sim->DoCrc16 = true;
    sim->CrcWdNum = 63;
    for (int i = 0; i < 7; ++i) {
      sim->Setup.UniqueWords[static_cast<size_t>(i)].SimUniqueWordStartFrame = i;
      sim->Setup.UniqueWords[static_cast<size_t>(i)].SimUniqueWordStartFrameInterval = 8;
      sim->Setup.UniqueWords[static_cast<size_t>(i)].SimUniqueWordStartWord = 20 + 4 * i;
    }
    sim->Setup.DynamicWords[0].SimDynamicWordInterval = 16;
    FrameMapView view(*sim);
    view.resize(1100, 620);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    ZoomTo16(view.Area());
    QCoreApplication::processEvents();  // grab() paints; only pending layout is wanted
    QVERIFY(view.grab().save(QString::fromUtf8(dir) + "/frame-map.png"));

    // A frame with lock warnings: a 12-bit pattern, found again in word 40, and an output
    // code the unit has no setting for.
    std::strcpy(sim->Setup.FrameSyncPattern, "EB9");
    sim->Setup.FrameSyncLength = 12;
    sim->Setup.Words[39].SimValue = 0xEB90;
    sim->Setup.SimOutputCode = 16;
    view.Refresh();
    QCoreApplication::processEvents();  // grab() paints; only pending layout is wanted
    QVERIFY(view.grab().save(QString::fromUtf8(dir) + "/frame-map-warnings.png"));
  }
};

QTEST_MAIN(FrameMapViewTest)
#include "FrameMapView_test.moc"
