// The main window grows: its first size is its least, the frame map with its waveform strip
// and the query grid take the room a larger window gives (the word values dialog widens), the
// simulator page's panels stay where they are, and the window's place and size come back at the
// next start (maximised too). The offscreen screen is made larger than the window for this.
#include <QAbstractScrollArea>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTableWidget>
#include <QtTest>
#include <fstream>
#include <memory>

#include "SetupTestKit.h"
#include "app/ProgramObjects.h"
#include "app/Qm48GlobUnit.h"
#include "app/SetupFiles.h"
#include "app/WindowPlace.h"
#include "app/gui/Qm48MainUnit.h"
#include "common/ScriptedOperator.h"
#include "editor/gui/FrameMapView.h"
#include "editor/gui/Qm48SetupMMIUnit.h"
#include "editor/gui/SimSetupMMIUnit.h"
#include "editor/gui/SimValuesDlgUnit.h"
#include "editor/gui/WaveformView.h"
#include "editor/gui/WordGridView.h"
#include "query/gui/QuerySetupMMIUnit.h"
#include "simulator/Qm48SimulatorUnit.h"
#include "support/TempDir.h"
#include "transmitter/Qm48TransmitterUnit.h"
#include "unit/VirtualUnit.h"

namespace {

constexpr int kFrameMapTab = 3;
constexpr int kQueryTab = 2;
constexpr int kSimulatorTab = 0;

// A directory with the port configuration for the virtual unit, made current.
class WindowDir {
 public:
  WindowDir() {
    std::string error;
    started = unit.Start(&error);
    PointCom1At(dir, unit.DevicePath());
    dir.Enter();
  }
  VirtualUnit unit;
  TempDir dir;
  bool started = false;
};

std::unique_ptr<TQm48MainForm> Started() {
  auto window = std::make_unique<TQm48MainForm>();
  window->show();
  if (!QTest::qWaitForWindowExposed(window.get())) return nullptr;
  if (!QTest::qWaitFor([&] { return window->StartupQueryDone(); }, 30000)) return nullptr;
  return window;
}

}  // namespace

class WindowGrowsTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    op_ = std::make_unique<ScriptedOperator>();
    scope_ = std::make_unique<ScopedOperator>(*op_);
  }
  void cleanup() {
    scope_.reset();
    op_.reset();
  }

  void PagesUseTheRoomAndPanelsStay() {
    WindowDir place;
    QVERIFY(place.started);
    std::unique_ptr<TQm48MainForm> window = Started();
    QVERIFY(window);
    const QSize least = window->minimumSize();
    QCOMPARE(window->size(), least);
    QVERIFY(window->maximumWidth() > least.width() && window->maximumHeight() > least.height());
    QVERIFY(window->windowFlags() & Qt::WindowMaximizeButtonHint);

    TQm48SetupMMIForm* setup = window->SetupForm();
    FrameMapView* map = setup->FrameMapPage();
    QTableWidget* grid = setup->QueryPage()->GridRaw;
    setup->SelectTab(kFrameMapTab);
    const QSize mapBefore = map->Area()->viewport()->size();
    const int stripBefore = map->WaveformStrip()->width();
    setup->SelectTab(kQueryTab);
    const QSize gridBefore = grid->size();
    setup->SelectTab(kSimulatorTab);
    std::vector<QRect> panelsBefore;
    for (int slot = 0; slot < TSimSetupMMIForm::kSlotCount; ++slot)
      panelsBefore.push_back(setup->SimPage()->SlotWidget(slot)->geometry());

    const QSize grown = least + QSize(320, 240);
    window->resize(grown);
    QTRY_COMPARE(window->size(), grown);
    for (int slot = 0; slot < TSimSetupMMIForm::kSlotCount; ++slot)
      QCOMPARE(setup->SimPage()->SlotWidget(slot)->geometry(), panelsBefore[size_t(slot)]);

    setup->SelectTab(kFrameMapTab);
    QTRY_COMPARE(map->Area()->viewport()->width(), mapBefore.width() + 320);
    QCOMPARE(map->Area()->viewport()->height(), mapBefore.height() + 240);
    QCOMPARE(map->WaveformStrip()->width(), stripBefore + 320);

    setup->SelectTab(kQueryTab);
    QTRY_VERIFY(grid->width() > gridBefore.width() && grid->height() > gridBefore.height());
    // Every row still shows whole, with no scroll bar to reach it.
    const int frame = 2 * grid->frameWidth();
    QCOMPARE(grid->height(), grid->rowCount() * grid->rowHeight(0) + frame);
    QCOMPARE(grid->width(), grid->columnWidth(0) + grid->columnWidth(1) + frame);
    QVERIFY(grid->parentWidget()->geometry().bottom() < setup->QueryPage()->height());

    // Back to the least size, and no smaller.
    window->resize(QSize(200, 150));
    QTRY_COMPARE(window->size(), least);
    QTRY_COMPARE(grid->size(), gridBefore);
    window->close();
  }

  // Wider shows more words; the three rows need no more height.
  void WordValuesDialogWidens() {
    progsimulatorclass sim;
    sim.Setup.WordsPerMinorFrame = 4000;
    TSimValuesDlg dlg;
    dlg.SetUp(sim.Setup);
    dlg.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dlg));
    const QSize least = dlg.size();
    QCOMPARE(dlg.minimumSize(), least);
    const int viewBefore = dlg.Grid()->viewport()->width();
    dlg.resize(least + QSize(400, 300));
    QTRY_COMPARE(dlg.width(), least.width() + 400);
    QCOMPARE(dlg.height(), least.height());
    QTRY_COMPARE(dlg.Grid()->viewport()->width(), viewBefore + 400);
    dlg.resize(100, 100);
    QTRY_COMPARE(dlg.size(), least);
  }

  void PlaceIsRememberedBetweenRuns() {
    WindowDir place;
    QVERIFY(place.started);
    // A last-setup file of an older version: the setup, nothing of the window.
    {
      progsimulatorclass sim;
      progtxclass tx;
      sim.Setup.WordsPerMinorFrame = 100;
      std::string none;
      QVERIFY(SaveWholeFile(ProgramSetup(sim, tx), place.dir.File(kLastSetupFileName), &none));
    }
    QRect moved;
    {
      std::unique_ptr<TQm48MainForm> window = Started();
      QVERIFY(window);
      QCOMPARE(SimProg->Setup.WordsPerMinorFrame, 100);
      QCOMPARE(window->size(), window->minimumSize());
      moved = QRect(QPoint(70, 50), window->minimumSize() + QSize(150, 90));
      window->setGeometry(moved);
      QTRY_COMPARE(window->geometry(), moved);
      window->close();
      QVERIFY(window->ShutDown());
    }
    WindowPlace kept;
    QVERIFY(ReadWindowPlace(place.dir.File(kLastSetupFileName), kept));
    QCOMPARE(QRect(kept.left, kept.top, kept.width, kept.height), moved);
    QVERIFY(!kept.maximised);
    {
      std::unique_ptr<TQm48MainForm> window = Started();
      QVERIFY(window);
      QCOMPARE(SimProg->Setup.WordsPerMinorFrame, 100);
      QTRY_COMPARE(window->geometry(), moved);
      window->showMaximized();
      QTRY_VERIFY(window->isMaximized());
      window->close();
    }
    QVERIFY(ReadWindowPlace(place.dir.File(kLastSetupFileName), kept));
    QVERIFY(kept.maximised);
    QCOMPARE(QRect(kept.left, kept.top, kept.width, kept.height), moved);
    {
      std::unique_ptr<TQm48MainForm> window = Started();
      QVERIFY(window);
      QTRY_VERIFY(window->isMaximized());
      QCOMPARE(window->normalGeometry(), moved);
      window->close();
    }
  }

 private:
  std::unique_ptr<ScriptedOperator> op_;
  std::unique_ptr<ScopedOperator> scope_;
};

// The offscreen platform's one screen is 800 by 600, smaller than the window's least size:
// a larger one is configured so that a remembered size has room to come back.
int main(int argc, char** argv) {
  const QString config = QDir::temp().filePath(
      QStringLiteral("qm48-screen-%1.json").arg(QCoreApplication::applicationPid()));
  const bool offscreen = qEnvironmentVariable("QT_QPA_PLATFORM") == QLatin1String("offscreen");
  if (offscreen) {
    QFile file(config);
    if (!file.open(QIODevice::WriteOnly)) return 2;
    file.write(R"({"screens": [{"name": "Large", "x": 0, "y": 0, "width": 1920,
                   "height": 1200, "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})");
    file.close();
    qputenv("QT_QPA_PLATFORM", ("offscreen:configfile=" + config).toLocal8Bit());
  }
  int result = 0;
  {
    QApplication app(argc, argv);
    WindowGrowsTest test;
    QTEST_SET_MAIN_SOURCE_PATH
    result = QTest::qExec(&test, argc, argv);
  }
  if (offscreen) QFile::remove(config);
  return result;
}

#include "WindowGrows_test.moc"
