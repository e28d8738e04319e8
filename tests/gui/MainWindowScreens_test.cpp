// The main window on each of its tabs, connected to the virtual unit: each tab brings its
// own page to the front and the window draws. With QM48_SCREENSHOT_DIR set (scripts/
// screenshots, under Xvfb) the pictures are saved there as main-<tab>.png, and those of the
// query and frame map tabs in a larger window as main-<tab>-large.png.
#include <QtTest>
#include <fstream>
#include <memory>

#include "SetupTestKit.h"
#include "app/gui/Qm48MainUnit.h"
#include "common/ScriptedOperator.h"
#include "editor/gui/FrameMapView.h"
#include "editor/gui/Qm48SetupMMIUnit.h"
#include "editor/gui/SimSetupMMIUnit.h"
#include "query/gui/QuerySetupMMIUnit.h"
#include "support/TempDir.h"
#include "transmitter/gui/TxSetupMMIUnit.h"
#include "unit/VirtualUnit.h"

class MainWindowScreens : public QObject {
  Q_OBJECT

 private slots:
  void EachTabShowsItsPage() {
    ScriptedOperator op;
    ScopedOperator scope(op);
    VirtualUnit unit;
    std::string error;
    QVERIFY2(unit.Start(&error), error.c_str());
    TempDir dir;
    PointCom1At(dir, unit.DevicePath());
    dir.Enter();

    const QString saveDir = qEnvironmentVariable("QM48_SCREENSHOT_DIR");
    {
      TQm48MainForm window;
      window.show();
      QTRY_VERIFY_WITH_TIMEOUT(window.StartupQueryDone(), 30000);
      QVERIFY(window.windowTitle().endsWith("  Connected"));
      QVERIFY(op.MessageBoxes().empty());
      TQm48SetupMMIForm* setup = window.SetupForm();
      const char* names[] = {"simulator", "transmitter", "query", "frame-map"};
      QWidget* pages[] = {setup->SimPage(), setup->TxPage(), setup->QueryPage(),
                          setup->FrameMapPage()};
      for (int tab = 0; tab < 4; ++tab) {
        setup->SelectTab(tab);
        QCoreApplication::processEvents();  // the page's pending layout; grab() paints itself
        QCOMPARE(setup->CurrentTab(), tab);
        QCOMPARE(setup->FrontPage(), pages[tab]);
        const QImage image = window.grab().toImage();
        QVERIFY(!image.isNull() && image.width() > 100 && image.height() > 100);
        if (!saveDir.isEmpty()) {
          const QString path = saveDir + "/main-" + names[tab] + ".png";
          QVERIFY2(image.save(path), qPrintable(path));
        }
      }
      // The same window grown: the frame map and the query grid take the room.
      window.resize(1200, 900);
      QTRY_COMPARE(window.size(), QSize(1200, 900));
      for (int tab : {2, 3}) {
        setup->SelectTab(tab);
        QTRY_COMPARE(setup->FrontPage()->width(), setup->width());
        const QImage image = window.grab().toImage();
        QCOMPARE(image.size(), QSize(1200, 900) * image.devicePixelRatio());
        if (!saveDir.isEmpty()) {
          const QString path = saveDir + "/main-" + names[tab] + "-large.png";
          QVERIFY2(image.save(path), qPrintable(path));
        }
      }
      window.close();
    }
  }
};

QTEST_MAIN(MainWindowScreens)
#include "MainWindowScreens_test.moc"
