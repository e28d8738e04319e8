// A new user's first contact with a port that will not open: the window starts
// disconnected, the log says why and what to do, "Com Port" tells the operator, and once
// the configuration names a working device the same menu connects.
#include <QtTest>
#include <fstream>
#include <memory>
#include <string>

#include "SetupTestKit.h"
#include "app/gui/Qm48MainUnit.h"
#include "common/ScriptedOperator.h"
#include "gui/ModalDriver.h"
#include "serial/gui/SerialConfigDlgUnit.h"
#include "support/ProgramLog.h"
#include "support/TempDir.h"
#include "unit/VirtualUnit.h"

namespace {

constexpr char kMissingDevice[] = "/dev/ttyUSB93";
constexpr char kMissingHint[] =
    "no such device: plug in the adapter, or name its device for this port in the section "
    "PortDevices of Qm48Com.Cfg (e.g. COM1=/dev/ttyUSB0)";

}  // namespace

class PortOpenFailureTest : public QObject {
  Q_OBJECT

 private slots:
  void MissingDeviceIsExplainedAndAFixedConfigurationConnects() {
    ScriptedOperator op;
    ScopedOperator scope(op);
    TempDir dir;
    PointCom1At(dir, kMissingDevice);
    dir.Enter();
    auto window = std::make_unique<TQm48MainForm>();
    window->show();
    QVERIFY(QTest::qWaitFor([&] { return window->StartupQueryDone(); }, 30000));
    QVERIFY(window->windowTitle().endsWith("  Disconnected"));
    QVERIFY(op.MessageBoxes().empty());  // start-up itself asks nothing
    const std::string log = ReadAll(LogPath());
    QVERIFY2(log.find(std::string(kMissingDevice) + "  No such file or directory (2); " +
                      kMissingHint) != std::string::npos,
             log.c_str());

    // "Com Port", dialog cancelled: the operator is told why the port stays closed.
    auto cancel = OnModal<TSerialConfigDlgForm>([](TSerialConfigDlgForm* d) { d->reject(); });
    window->ConfigComPort1Click();
    QVERIFY(cancel->ran);
    const auto boxes = op.MessageBoxes();
    QCOMPARE(boxes.size(), size_t{1});
    QCOMPARE(boxes[0].caption, std::string("INFO"));
    QCOMPARE(boxes[0].text, std::string("cannot open the port ") + kMissingDevice +
                                ": No such file or directory (2); " + kMissingHint);
    QVERIFY(window->windowTitle().endsWith("  Disconnected"));

    // The user names the right device: the same menu connects, with nothing to tell.
    VirtualUnit unit;
    std::string error;
    QVERIFY2(unit.Start(&error), error.c_str());
    PointCom1At(dir, unit.DevicePath());
    op.ClearRecords();
    cancel = OnModal<TSerialConfigDlgForm>([](TSerialConfigDlgForm* d) { d->reject(); });
    window->ConfigComPort1Click();
    QVERIFY(cancel->ran);
    QVERIFY(op.MessageBoxes().empty());
    QVERIFY(window->Link().Connected());
    QVERIFY(window->windowTitle().endsWith("  Connected"));
    window.reset();
  }
};

QTEST_MAIN(PortOpenFailureTest)
#include "PortOpenFailure_test.moc"
