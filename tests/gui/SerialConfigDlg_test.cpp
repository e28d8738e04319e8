// The port configuration dialog: the lists show the record, an accepted change alters just
// the fields the lists stand for, Cancel alters nothing, and a temporary port is held on
// the chosen device while the dialog is up.
#include "serial/gui/SerialConfigDlgUnit.h"

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QtTest>
#include <cstring>
#include <fstream>

#include "gui/ModalDriver.h"
#include "serial/serialcomclass.h"
#include "support/TempDir.h"

namespace {

PortConfig SampleConfig() {
  PortConfig c;
  c.PortNum = 2;
  c.BaudRate = 11;  // "38400"
  c.UserDefBaudRate = 777;
  c.FlowControl = 4;
  c.DataBits = 1;
  c.Parity = 2;
  c.StopBits = 2;
  SetPortName(c, "COM3");
  c.MaxRxBufSize = 4096;
  c.MaxTxBufSize = 64;
  return c;
}

bool Same(const PortConfig& a, const PortConfig& b) {
  return a.PortNum == b.PortNum && std::strcmp(a.PortName, b.PortName) == 0 &&
         a.BaudRate == b.BaudRate && a.UserDefBaudRate == b.UserDefBaudRate &&
         a.FlowControl == b.FlowControl && a.DataBits == b.DataBits && a.Parity == b.Parity &&
         a.StopBits == b.StopBits && a.MonitorModem == b.MonitorModem &&
         a.MaxRxBufSize == b.MaxRxBufSize && a.MaxTxBufSize == b.MaxTxBufSize;
}

QStringList Entries(const QComboBox* list) {
  QStringList out;
  for (int i = 0; i < list->count(); ++i) out << list->itemText(i);
  return out;
}

}  // namespace

class SerialConfigDlgTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { dir_ = std::make_unique<TempDir>(), dir_->Enter(); }
  void cleanup() { dir_.reset(); }

  void ListsShowTheRecordAndCancelChangesNothing() {
    PortConfig config = SampleConfig();
    const PortConfig before = config;
    bool checked = false;
    auto driver = OnModal<TSerialConfigDlgForm>([&](TSerialConfigDlgForm* dlg) {
      QCOMPARE(dlg->windowTitle(), QString("Com Port Configuration"));
      QCOMPARE(dlg->PortList()->count(), 16);
      QCOMPARE(dlg->PortList()->itemText(15), QString("COM16"));
      QCOMPARE(dlg->PortList()->currentText(), QString("COM3"));
      QCOMPARE(dlg->BaudList()->count(), 21);
      QCOMPARE(dlg->BaudList()->currentText(), QString("38400"));
      QCOMPARE(dlg->BaudList()->itemText(20), QString("USERDEF"));
      QCOMPARE(Entries(dlg->ParityList()), QStringList({"NONE", "ODD", "EVEN", "MARK", "SPACE"}));
      QCOMPARE(dlg->ParityList()->currentText(), QString("EVEN"));
      QCOMPARE(Entries(dlg->DataBitsList()), QStringList({"FIVE", "SIX", "SEVEN", "EIGHT"}));
      QCOMPARE(dlg->DataBitsList()->currentText(), QString("SIX"));
      QCOMPARE(Entries(dlg->StopBitsList()), QStringList({"ONE", "ONE POINT FIVE", "TWO"}));
      QCOMPARE(dlg->StopBitsList()->currentText(), QString("TWO"));
      QCOMPARE(dlg->DeviceLabel()->text(), QString("Device: /dev/ttyS2"));
      // Changes made and then cancelled.
      dlg->PortList()->setCurrentIndex(0);
      dlg->BaudList()->setCurrentIndex(0);
      dlg->StopBitsList()->setCurrentIndex(0);
      QCOMPARE(dlg->WorkingCopy().PortNum, 0);
      QCOMPARE(dlg->DeviceLabel()->text(), QString("Device: /dev/ttyS0"));
      checked = true;
      QTest::mouseClick(dlg->CancelButton(), Qt::LeftButton);
    });
    QVERIFY(!RunSerialConfigDialog(config, nullptr));
    QVERIFY(driver->ran);
    QVERIFY(checked);
    QVERIFY(Same(config, before));
  }

  void AcceptChangesExactlyTheListedFields() {
    PortConfig config = SampleConfig();
    auto driver = OnModal<TSerialConfigDlgForm>([](TSerialConfigDlgForm* dlg) {
      dlg->PortList()->setCurrentIndex(5);
      dlg->BaudList()->setCurrentIndex(20);  // "USERDEF": the rate stays the file's
      dlg->ParityList()->setCurrentIndex(1);
      dlg->DataBitsList()->setCurrentIndex(3);
      dlg->StopBitsList()->setCurrentIndex(1);
      QTest::mouseClick(dlg->AcceptButton(), Qt::LeftButton);
    });
    QVERIFY(RunSerialConfigDialog(config, nullptr));
    QVERIFY(driver->ran);
    PortConfig expected = SampleConfig();
    expected.PortNum = 5;
    expected.BaudRate = 20;
    expected.Parity = 1;
    expected.DataBits = 3;
    expected.StopBits = 1;
    QVERIFY(Same(config, expected));

    // Accept without a change hands the record back as it was.
    PortConfig again = SampleConfig();
    OnModal<TSerialConfigDlgForm>([](TSerialConfigDlgForm* dlg) { dlg->accept(); });
    QVERIFY(RunSerialConfigDialog(again, nullptr));
    QVERIFY(Same(again, SampleConfig()));
  }

  void IndexesOutsideTheTablesAreKeptNotMisread() {
    PortConfig config = SampleConfig();
    config.BaudRate = 40;
    auto driver = OnModal<TSerialConfigDlgForm>([](TSerialConfigDlgForm* dlg) {
      QCOMPARE(dlg->BaudList()->currentIndex(), -1);
      dlg->ParityList()->setCurrentIndex(0);
      dlg->accept();
    });
    QVERIFY(RunSerialConfigDialog(config, nullptr));
    QCOMPARE(config.BaudRate, 40);
    QCOMPARE(config.Parity, 0);
  }

  void TemporaryPortHeldOnTheMappedDeviceWhileShown() {
    int master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    QVERIFY(master >= 0);
    QCOMPARE(::grantpt(master), 0);
    QCOMPARE(::unlockpt(master), 0);
    const std::string slave = ::ptsname(master);
    std::ofstream(dir_->File("Qm48Com.Cfg"))
        << "[PortDevices]\r\nCOM4=" << slave << "\r\nCOM16=" << dir_->File("no-such-tty") << "\r\n";

    PortConfig config = SampleConfig();
    config.PortNum = 3;
    config.BaudRate = 6;
    bool sawPort = false;
    auto driver = OnModal<TSerialConfigDlgForm>([&](TSerialConfigDlgForm* dlg) {
      QCOMPARE(dlg->DeviceLabel()->text(), "Device: " + QString::fromStdString(slave));
      QVERIFY(dlg->TemporaryPort() != nullptr);
      QVERIFY(dlg->TemporaryPort()->IsRunning());
      QCOMPARE(dlg->TemporaryPort()->DevicePath(), slave);
      sawPort = true;
      dlg->reject();
    });
    TSerialConfigDlgForm dlg;
    QVERIFY(!dlg.Execute(config));
    QVERIFY(sawPort);
    QVERIFY(dlg.TemporaryPort() == nullptr);  // stopped and gone once the dialog closed

    // A port that cannot be opened: no temporary port, the dialog still works.
    PortConfig missing = SampleConfig();
    missing.PortNum = 15;  // mapped to a device that does not exist
    OnModal<TSerialConfigDlgForm>([](TSerialConfigDlgForm* d) {
      QVERIFY(d->TemporaryPort() == nullptr);
      d->accept();
    });
    QVERIFY(RunSerialConfigDialog(missing, nullptr));
    ::close(master);
  }

  // Run with QM48_SCREENSHOT_DIR set to write the picture of the dialog.
  void Screenshot() {
    const QByteArray dir = qgetenv("QM48_SCREENSHOT_DIR");
    if (dir.isEmpty()) QSKIP("QM48_SCREENSHOT_DIR not set");
    PortConfig config = SampleConfig();
    OnModal<TSerialConfigDlgForm>([&](TSerialConfigDlgForm* dlg) {
      dlg->grab().save(QString::fromUtf8(dir) + "/port-config-dialog.png");
      dlg->reject();
    });
    RunSerialConfigDialog(config, nullptr);
  }

 private:
  std::unique_ptr<TempDir> dir_;
};

QTEST_MAIN(SerialConfigDlgTest)
#include "SerialConfigDlg_test.moc"
