// The port configuration dialog: the lists show the record, an accepted change alters just
// the fields the lists stand for, Cancel alters nothing, and a temporary port is held on
// the chosen device while the dialog is up.
#include "serial/gui/SerialConfigDlgUnit.h"

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <QComboBox>
#include <QInputDialog>
#include <QLabel>
#include <QPushButton>
#include <QtTest>
#include <cstring>
#include <fstream>

#include "gui/ModalDriver.h"
#include "platform/SerialDevices.h"
#include "serial/PortDeviceList.h"
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
    // Devices that are not there, whatever this machine has.
    const QString gone1 = QString::fromStdString(dir_->File("gone1"));
    const QString gone3 = QString::fromStdString(dir_->File("gone3"));
    std::ofstream(dir_->File("Qm48Com.Cfg")) << "[PortDevices]\r\nCOM1=" << gone1.toStdString()
                                             << "\r\nCOM3=" << gone3.toStdString() << "\r\n";
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
      QCOMPARE(dlg->DeviceLabel()->text(), "Device: " + gone3 + " (not present)");
      QCOMPARE(dlg->DeviceList()->currentText(), gone3 + "  (not found)");
      // Changes made and then cancelled.
      dlg->PortList()->setCurrentIndex(0);
      dlg->BaudList()->setCurrentIndex(0);
      dlg->StopBitsList()->setCurrentIndex(0);
      QCOMPARE(dlg->WorkingCopy().PortNum, 0);
      QCOMPARE(dlg->DeviceLabel()->text(), "Device: " + gone1 + " (not present)");
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
      QCOMPARE(dlg->DeviceLabel()->text(),
               "Device: " + QString::fromStdString(slave) + " (present)");
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

  // The device list: devices by description, the chosen one stored for the port name with
  // the file's other keys and sections, "Other..." for a typed path, and the list following
  // devices that come and go while the dialog is up.
  void DeviceListChoosesWhatThePortNameStandsFor() {
    int master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    QVERIFY(master >= 0);
    QCOMPARE(::grantpt(master), 0);
    QCOMPARE(::unlockpt(master), 0);
    const std::string slave = ::ptsname(master);
    const std::string link = dir_->File("qm48-link");
    QCOMPARE(::symlink(slave.c_str(), link.c_str()), 0);
    const std::string gone = dir_->File("gone");
    const std::string file = dir_->File("Qm48Com.Cfg");
    const std::string old = "[PortConfig]\r\nPortNum=4\r\n[PortDevices]\r\nCOM1=" + link +
                            "\r\nCOM5=" + gone + "\r\n[Other]\r\nKey=kept\r\n";
    std::ofstream(file, std::ios::binary) << old;
    const QString linkEntry = QString::fromStdString("COM1 in Qm48Com.Cfg  " + link);
    const QString linkLine =
        QString::fromStdString("Device: " + link + " \u2192 " + slave + " (present)");

    PortConfig config = SampleConfig();
    config.PortNum = 4;  // COM5, mapped to a device that is not there
    PortDeviceChoices choices;
    bool checked = false;
    OnModal<TSerialConfigDlgForm>([&](TSerialConfigDlgForm* dlg) {
      QComboBox* list = dlg->DeviceList();
      QCOMPARE(list->itemText(0), QString::fromStdString(gone + "  (not found)"));
      QCOMPARE(list->currentIndex(), 0);
      QCOMPARE(list->itemText(list->count() - 1), QString("Other..."));
      const int at = list->findText(linkEntry);
      QVERIFY(at > 0);
      QCOMPARE(dlg->DeviceLabel()->text(),
               QString::fromStdString("Device: " + gone + " (not present)"));

      // The link chosen: stored for COM5, shown with where it leads.
      list->setCurrentIndex(at);
      emit list->activated(at);
      QCOMPARE(dlg->Choices().at(4), link);
      QCOMPARE(dlg->DeviceLabel()->text(), linkLine);
      QCOMPARE(list->currentText(), linkEntry);
      // Another port name shows its own device; back on COM5 the choice is still there.
      dlg->PortList()->setCurrentIndex(0);
      QCOMPARE(list->currentText(), linkEntry);  // COM1 is the link in the file
      dlg->PortList()->setCurrentIndex(4);
      QCOMPARE(dlg->DeviceLabel()->text(), linkLine);

      // "Other...": a typed path, and a cancelled one that changes nothing.
      OnModal<QInputDialog>([](QInputDialog* input) { input->reject(); });
      list->setCurrentIndex(list->count() - 1);
      emit list->activated(list->count() - 1);
      QCOMPARE(dlg->Choices().at(4), link);
      QCOMPARE(list->currentText(), linkEntry);
      OnModal<QInputDialog>([](QInputDialog* input) {
        input->setTextValue("  /dev/ttyUSB7 ");
        input->accept();
      });
      list->setCurrentIndex(list->count() - 1);
      emit list->activated(list->count() - 1);
      QCOMPARE(dlg->Choices().at(4), std::string("/dev/ttyUSB7"));
      QCOMPARE(dlg->DeviceLabel()->text(), QString("Device: /dev/ttyUSB7 (not present)"));
      QCOMPARE(list->currentText(), QString("/dev/ttyUSB7  (not found)"));

      // A device appears (the file names a second link) and goes again.
      const std::string link2 = dir_->File("qm48-link2");
      QCOMPARE(::symlink(slave.c_str(), link2.c_str()), 0);
      std::ofstream(file, std::ios::binary | std::ios::trunc)
          << "[PortConfig]\r\nPortNum=4\r\n[PortDevices]\r\nCOM1=" + link + "\r\nCOM5=" + gone +
                 "\r\nCOM6=" + link2 + "\r\n[Other]\r\nKey=kept\r\n";
      const QString entry2 = QString::fromStdString("COM6 in Qm48Com.Cfg  " + link2);
      const int before = list->count();
      if (UdevRunning())
        dlg->RescanDevices();  // udev tells of adapters only
      else
        QTRY_COMPARE_WITH_TIMEOUT(list->count(), before + 1, 5000);  // the periodic look
      QVERIFY(list->findText(entry2) >= 0);
      QCOMPARE(list->currentText(), QString("/dev/ttyUSB7  (not found)"));  // kept
      ::unlink(link2.c_str());
      std::ofstream(file, std::ios::binary | std::ios::trunc) << old;
      dlg->RescanDevices();
      QCOMPARE(list->findText(entry2), -1);
      checked = true;
      dlg->accept();
    });
    QVERIFY(RunSerialConfigDialog(config, nullptr, &choices));
    QVERIFY(checked);
    QCOMPARE(choices.size(), size_t(1));
    // What the main window does on accept.
    QVERIFY(SavePortConfig(config, choices, file));
    QCOMPARE(QString::fromStdString(ReadAll(file + ".BAK")), QString::fromStdString(old));
    const std::string saved = ReadAll(file);
    QVERIFY(saved.find("COM5=/dev/ttyUSB7\r\n") != std::string::npos);
    QVERIFY(saved.find("COM1=" + link + "\r\n") != std::string::npos);
    QVERIFY(saved.find("[Other]\r\nKey=kept\r\n") != std::string::npos);
    QCOMPARE(PortDevicePath(4, file), std::string("/dev/ttyUSB7"));
    ::close(master);
  }

  // Run with QM48_SCREENSHOT_DIR set to write the picture of the dialog.
  void Screenshot() {
    const QByteArray dir = qgetenv("QM48_SCREENSHOT_DIR");
    if (dir.isEmpty()) QSKIP("QM48_SCREENSHOT_DIR not set");
    // COM3 leads to a virtual unit's link, as after "qm48ctl emulate --link /tmp/qm48-unit".
    int master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    QVERIFY(master >= 0 && ::grantpt(master) == 0 && ::unlockpt(master) == 0);
    const std::string link = "/tmp/qm48-unit";
    ::unlink(link.c_str());
    QCOMPARE(::symlink(::ptsname(master), link.c_str()), 0);
    std::ofstream(dir_->File("Qm48Com.Cfg")) << "[PortDevices]\r\nCOM3=" << link << "\r\n";
    PortConfig config = SampleConfig();
    OnModal<TSerialConfigDlgForm>([&](TSerialConfigDlgForm* dlg) {
      dlg->grab().save(QString::fromUtf8(dir) + "/port-config-dialog.png");
      dlg->reject();
    });
    RunSerialConfigDialog(config, nullptr);
    ::unlink(link.c_str());
    ::close(master);
  }

 private:
  std::unique_ptr<TempDir> dir_;
};

QTEST_MAIN(SerialConfigDlgTest)
#include "SerialConfigDlg_test.moc"
