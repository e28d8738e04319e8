// The main window: the close question, and a port that opens once the configuration names a unit.
#include <optional>

#include "ModalDriver.h"
#include "SetupTestKit.h"
#include "app/SetupFiles.h"
#include "common/ScriptedOperator.h"
#include "editor/gui/FrameMapView.h"
#include "editor/gui/Qm48SetupMMIUnit.h"
#include "editor/gui/SimSetupMMIUnit.h"
#include "editor/gui/SimValuesDlgUnit.h"
#include "editor/gui/WaveformView.h"
#include "query/gui/QuerySetupMMIUnit.h"
#include "serial/gui/SerialConfigDlgUnit.h"
#include "support/ProfileStore.h"
#include "support/ProgramLog.h"
#include "transmitter/gui/TxSetupMMIUnit.h"

class MainWindowTest : public QObject {
  Q_OBJECT

  std::optional<ScriptedOperator> op_;
  std::optional<ScopedOperator> scope_;
  static std::string Profile(const std::string& path, const char* section, const char* key) {
    std::string text = "(missing)";
    ReadProfileString(path, section, key, text);
    return text;
  }

 private slots:
  void init() { scope_.emplace(op_.emplace()); }
  void cleanup() { scope_.reset(); }

  // Cancel, or a cancelled or failed save, keeps the window; Yes saves the current file; No
  // closes without it and still writes the last-setup file.
  void CloseAsksAboutUnsavedEdits() {
    TempDir dir;
    auto window = StartedWindow(dir, dir.File("no-such-device"));
    QVERIFY(window);
    op_->ClearRecords();
    gSetupEdited = true;
    op_->QueueAnswer(MsgAnswer::Cancel);
    QVERIFY(!window->close());
    QCOMPARE(op_->MessageBoxes().at(0).text,
             std::string("Setup Edited Without Saving.  Save First?"));
    QVERIFY(op_->MessageBoxes().at(0).buttons == MsgButtons::YesNoCancel);
    op_->QueueAnswer(MsgAnswer::Yes);  // no current file: Save As, whose chooser is cancelled
    op_->QueueChooserCancel();
    QVERIFY(!window->close());
    op_->QueueAnswer(MsgAnswer::Yes);  // Save As to a folder that is gone: no current file yet
    op_->QueueChosenFile(dir.File("gone/Lost.qm48"));
    QVERIFY(!window->close());
    QVERIFY(op_->MessageBoxes().back().text.find("NOT saved") != std::string::npos);
    QCOMPARE(gCurrentFileName, std::string());
    QVERIFY(!window->ShutDown() && window->isVisible() && gSetupEdited);
    QVERIFY(window->windowTitle().startsWith("*"));

    gCurrentFileName = dir.File("Kept.qm48");
    gFormatName_[0] = "atclose";
    op_->QueueAnswer(MsgAnswer::Yes);
    QVERIFY(window->close());
    QCOMPARE(Profile(dir.File("Kept.qm48"), kSimulatorSection, "gFormatName_1"),
             std::string("atclose"));

    window.reset();
    window = StartedWindow(dir, dir.File("no-such-device"));
    QVERIFY(window);
    gCurrentFileName = dir.File("Untouched.qm48");
    gFormatName_[1] = "edited";
    gSetupEdited = true;
    op_->QueueAnswer(MsgAnswer::No);
    QVERIFY(window->close());
    QVERIFY(!PathExists(dir.File("Untouched.qm48")));
    QCOMPARE(Profile(dir.File("LastQm48.Cfg"), kSimulatorSection, "gFormatName_2"),
             std::string("edited"));
    QCOMPARE(Profile(dir.File("LastQm48.Cfg"), kLastSetupSection, "FileName"),
             dir.File("Untouched.qm48"));
  }

  // A port that will not open: the window starts disconnected, the log says why and what to
  // do, "Com Port" tells the operator; once the configuration names a unit it connects.
  void APortThatWillNotOpenIsExplained() {
    const std::string hint =
        "No such file or directory (2); no such device: plug in the adapter, or name its device "
        "for this port in the section PortDevices of Qm48Com.Cfg (e.g. COM1=/dev/ttyUSB0)";
    TempDir dir;
    auto window = StartedWindow(dir, "/dev/ttyUSB93");
    QVERIFY(window && window->windowTitle().endsWith("  Disconnected"));
    QVERIFY(op_->MessageBoxes().empty());  // start-up itself asks nothing
    QVERIFY(ReadAll(LogPath()).find("/dev/ttyUSB93  " + hint) != std::string::npos);
    auto cancel = OnModal<TSerialConfigDlgForm>([](TSerialConfigDlgForm* d) { d->reject(); });
    window->ConfigComPort1Click();
    QVERIFY(cancel->ran);
    QCOMPARE(op_->MessageBoxes().size(), size_t{1});
    QCOMPARE(op_->MessageBoxes()[0].text, "cannot open the port /dev/ttyUSB93: " + hint);

    VirtualUnit unit;
    QVERIFY(unit.Start());
    PointCom1At(dir, unit.DevicePath());
    op_->ClearRecords();
    cancel = OnModal<TSerialConfigDlgForm>([](TSerialConfigDlgForm* d) { d->reject(); });
    window->ConfigComPort1Click();
    QVERIFY(cancel->ran && op_->MessageBoxes().empty());
    QVERIFY(window->windowTitle().endsWith("  Connected"));

    // Each tab brings its page to the front (the README's pictures are drawn here); the word
    // values dialog reaches the last word of the largest frame.
    TQm48SetupMMIForm* setup = window->SetupForm();
    const char* names[] = {"main-simulator.png", "main-transmitter.png", "main-query.png",
                           "main-frame-map.png"};
    QWidget* pages[] = {setup->SimPage(), setup->TxPage(), setup->QueryPage(),
                        setup->FrameMapPage()};
    for (int tab = 0; tab < 4; ++tab) {
      setup->SelectTab(tab);
      QCOMPARE(setup->FrontPage(), pages[tab]);
      SavePicture(window.get(), names[tab]);
    }
    SavePicture(setup->FrameMapPage(), "frame-map.png");
    SavePicture(setup->FrameMapPage()->WaveformStrip(), "waveform.png");
    TSimValuesDlg words(window.get());
    SimProg->Setup.WordsPerMinorFrame = kMaxWordsPerMinorFrame;
    words.SetUp(SimProg->Setup);
    words.show();
    QVERIFY(QTest::qWaitForWindowExposed(&words));
    words.GridPress(kMaxWordsPerMinorFrame, Qt::LeftButton, Qt::NoModifier, {});
    QCOMPARE(words.ClickedWord(), kMaxWordsPerMinorFrame);
    SavePicture(&words, "word-values-16383.png");
  }
};

QTEST_MAIN(MainWindowTest)
#include "MainWindow_test.moc"
