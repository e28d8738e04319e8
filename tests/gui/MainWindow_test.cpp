// The main window under the offscreen platform: start-up with and without its files, the
// caption, Ctrl+D, the close question, Save As and Recall, a bad file, Load All against the
// virtual unit, and the single running copy (the real program as a subprocess).
#include "app/gui/Qm48MainUnit.h"

#include <signal.h>
#include <sys/stat.h>

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <QtTest>
#include <cstdio>
#include <fstream>
#include <memory>

#include "app/ProgramObjects.h"
#include "app/Qm48GlobUnit.h"
#include "app/SetupFiles.h"
#include "common/ScriptedOperator.h"
#include "link/TransmitBuffer.h"
#include "simulator/Qm48SimulatorUnit.h"
#include "simulator/SimRegisters.h"
#include "support/ProfileStore.h"
#include "support/ProgramLog.h"
#include "support/TempDir.h"
#include "transmitter/Qm48TransmitterUnit.h"
#include "unit/VirtualUnit.h"

namespace {

constexpr char kFreshCaption[] = "QM-48  Ver 1.41    Connected";
constexpr char kSaveFirst[] = "Setup Edited Without Saving.  Save First?";

void WriteText(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

// "Qm48Com.Cfg" that sends COM<port+1> to device.
void WritePortConfig(const TempDir& dir, const std::string& device, int port = 0) {
  std::string com = "COM" + std::to_string(port + 1);
  WriteText(dir.File("Qm48Com.Cfg"), "[PortConfig]\r\nPortNum=" + std::to_string(port) +
                                         "\r\n[PortDevices]\r\n" + com + "=" + device + "\r\n");
}

int Count(const std::string& text, const std::string& what) {
  int n = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

// The unit's simulator image after a stream, read straight from its command texts.
SimulatorImage ImageOfStream(const TransmitBuffer& buffer) {
  SimulatorImage image;
  for (const std::string& c : SplitCommands(buffer)) {
    unsigned a = 0, b = 0;
    const char letter = c.back();
    if (c[0] == 'H')
      image.formatNames[static_cast<size_t>(image.formatNumber)] = c.substr(1);
    else if (letter == 'M' && std::sscanf(c.c_str(), "%x %x", &a, &b) == 2)
      image.memory[b] = static_cast<uint16_t>(a);
    else if (letter == 'T' && std::sscanf(c.c_str(), "%x %x", &a, &b) == 2)
      image.registers[b] = static_cast<uint16_t>(a);
    else if (letter == 'K' && std::sscanf(c.c_str(), "%x %x", &a, &b) == 2)
      image.clock = (a << 16) | b;
    else if (letter == 'N')
      image.formatNumber = c[0] - '0';
  }
  return image;
}

}  // namespace

class MainWindowTest : public QObject {
  Q_OBJECT

 private:
  // A window started in dir (made current first), its start-up query over.
  std::unique_ptr<TQm48MainForm> Start(const TempDir& dir) {
    dir.Enter();
    auto window = std::make_unique<TQm48MainForm>();
    window->show();
    const bool done = QTest::qWaitFor([&] { return window->StartupQueryDone(); }, 30000);
    if (!done) qWarning("start-up query did not end");
    return window;
  }
  std::unique_ptr<VirtualUnit> StartUnit() {
    auto unit = std::make_unique<VirtualUnit>();
    std::string error;
    if (!unit->Start(&error)) qWarning("virtual unit: %s", error.c_str());
    return unit;
  }

  ScriptedOperator* op_ = nullptr;
  std::unique_ptr<ScopedOperator> scope_;

 private slots:
  void init() {
    op_ = new ScriptedOperator;
    scope_ = std::make_unique<ScopedOperator>(*op_);
  }
  void cleanup() {
    scope_.reset();
    delete op_;
    op_ = nullptr;
  }

  // An empty start directory: defaults, no current file, no detail lines, and at the end
  // a last-setup file with all three sections and a port configuration.
  void StartupWithoutAnyFile() {
    TempDir dir;
    op_->CancelProgressAfterPolls(1);  // whatever the default port reaches, do not wait on it
    auto window = Start(dir);
    QVERIFY(window->StartedUp());
    QCOMPARE(gDebugLogging.load(), false);
    QVERIFY(!window->DebugMenuAction()->isVisible());
    QCOMPARE(gCurrentFileName, std::string());
    QCOMPARE(gFormatNumber, 0);
    QVERIFY(!gSetupEdited);
    QCOMPARE(window->Config().PortNum, 0);
    QVERIFY(window->windowTitle().startsWith("QM-48  Ver 1.41    "));
    QVERIFY(window->StartupMs() >= 0 && window->StartupMs() < 1000);
    QVERIFY(window->SetupForm() != nullptr);
    QVERIFY(SimProg && TxProg && QueryProg);

    QVERIFY(window->close());
    QVERIFY(window->ShutDown());
    QVERIFY(!SimProg && !TxProg && !QueryProg);
    const std::string log = ReadAll(dir.File("Qm48.Log"));
    QCOMPARE(Count(log, "PROGRAM START"), 1);
    QVERIFY(log.find("Start-up took ") != std::string::npos);
    QVERIFY(log.find("QUERY") == std::string::npos || log.find("0FI") == std::string::npos);
    QVERIFY(CrLfLines(log).back().find("PROGRAM END") != std::string::npos);
    std::string name = "unset";
    QVERIFY(ReadProfileString(dir.File("LastQm48.Cfg"), kLastSetupSection, "FileName", name));
    QCOMPARE(name, std::string());
    int32_t version = 0;
    QVERIFY(ReadProfileInt(dir.File("LastQm48.Cfg"), kSimulatorSection, "FileVersion", version));
    QVERIFY(ReadProfileInt(dir.File("LastQm48.Cfg"), kTransmitterSection, "FileVersion", version));
    QVERIFY(PathExists(dir.File("Qm48Com.Cfg")));
    QVERIFY(!gDebugMenuShown);
  }

  // Every file present: detail logging, the configured port (the virtual unit), the last
  // setup and its file name, a quiet start-up query.
  void StartupWithEveryFile() {
    TempDir dir;
    auto unit = StartUnit();
    WriteText(dir.File("Qm48Debug.Txt"), "");
    WritePortConfig(dir, unit->DevicePath(), 2);
    {
      progsimulatorclass sim;
      progtxclass tx;
      int32_t format = 2;
      std::array<std::string, 4> names{"", "", "filed", ""};
      std::string current = dir.File("Flight.qm48");
      WriteText(current, "");
      QVERIFY(
          SaveWholeFile(WholeSetup{sim, tx, format, names}, dir.File("LastQm48.Cfg"), &current));
    }
    auto window = Start(dir);
    QVERIFY(gDebugLogging.load());
    QCOMPARE(window->Config().PortNum, 2);
    QCOMPARE(gFormatNumber, 2);
    QCOMPARE(gFormatName_[2], std::string("filed"));
    QCOMPARE(gCurrentFileName, dir.File("Flight.qm48"));
    QCOMPARE(window->windowTitle(), QString("QM-48  Ver 1.41  FLIGHT  Connected"));
    QVERIFY(op_->MessageBoxes().empty());
    QCOMPARE(op_->Progresses().size(), size_t{5});  // the five queries, answered
    QVERIFY(unit->CommandCount() >= 5);
    const std::string log = ReadAll(dir.File("Qm48.Log"));
    QVERIFY(log.find("0FI") != std::string::npos);  // a detail line of the query
    window->close();
    gDebugLogging = false;
  }

  // The caption in each state, refreshed within a second.
  void CaptionFollowsTheState() {
    TempDir dir;
    auto unit = StartUnit();
    WritePortConfig(dir, unit->DevicePath());
    auto window = Start(dir);
    QCOMPARE(window->windowTitle(), QString(kFreshCaption));
    gSetupEdited = true;
    QTRY_COMPARE_WITH_TIMEOUT(window->windowTitle(), QString("*") + kFreshCaption, 1500);
    op_->QueueChosenFile(dir.File("Mixed.Case.qm48"));
    window->MenuSaveAsClick();
    QCOMPARE(gCurrentFileName, dir.File("Mixed.Case.qm48"));  // as chosen
    QVERIFY(PathExists(dir.File("Mixed.Case.qm48")));
    QCOMPARE(window->windowTitle(), QString("QM-48  Ver 1.41  MIXED  Connected"));
    window->Link().Close();
    QTRY_COMPARE_WITH_TIMEOUT(window->windowTitle(),
                              QString("QM-48  Ver 1.41  MIXED  Disconnected"), 1500);
    window->close();
  }

  void CtrlDShowsAndHidesTheDebugEntry() {
    TempDir dir;
    WritePortConfig(dir, dir.File("no-such-device"));
    auto window = Start(dir);
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    QVERIFY(!window->DebugMenuAction()->isVisible());
    QTest::keyClick(window.get(), Qt::Key_D, Qt::ControlModifier);
    QVERIFY(window->DebugMenuAction()->isVisible());
    QVERIFY(gDebugMenuShown);
    window->DebugMenuAction()->trigger();
    QVERIFY(window->DebugTerminalShown());
    window->DebugMenuAction()->trigger();
    QVERIFY(!window->DebugTerminalShown());
    QTest::keyClick(window.get(), Qt::Key_D, Qt::ControlModifier);
    QVERIFY(!window->DebugMenuAction()->isVisible());
    QVERIFY(!gDebugMenuShown);
    window->close();
  }

  // Cancel keeps the window; a failed or cancelled save keeps it too; No closes and still
  // writes the last-setup file; Yes saves the current file.
  void CloseAsksAboutUnsavedEdits() {
    TempDir dir;
    WritePortConfig(dir, dir.File("no-such-device"));
    auto window = Start(dir);
    op_->ClearRecords();

    gSetupEdited = true;
    op_->QueueAnswer(MsgAnswer::Cancel);
    QVERIFY(!window->close());
    QVERIFY(!window->ShutDown() && window->isVisible() && gSetupEdited);
    QCOMPARE(op_->MessageBoxes().at(0).text, std::string(kSaveFirst));
    QCOMPARE(op_->MessageBoxes().at(0).caption, std::string("SAVE"));
    QVERIFY(op_->MessageBoxes().at(0).buttons == MsgButtons::YesNoCancel);

    op_->QueueAnswer(MsgAnswer::Yes);  // no current file: Save As, whose chooser is cancelled
    op_->QueueChooserCancel();
    QVERIFY(!window->close());
    QVERIFY(!window->ShutDown() && gSetupEdited);

    // A save that cannot be written (its folder is gone): told, "*" kept, not closed.
    gCurrentFileName = dir.File("gone/Lost.qm48");
    op_->QueueAnswer(MsgAnswer::Yes);
    QVERIFY(!window->close());
    QVERIFY(op_->MessageBoxes().back().text.find("NOT saved") != std::string::npos);
    QVERIFY(gSetupEdited);
    QVERIFY(window->windowTitle().startsWith("*"));

    gCurrentFileName = dir.File("Kept.qm48");
    gFormatName_[0] = "atclose";
    op_->QueueAnswer(MsgAnswer::Yes);
    QVERIFY(window->close());
    std::string text;
    QVERIFY(ReadProfileString(dir.File("Kept.qm48"), kSimulatorSection, "gFormatName_1", text));
    QCOMPARE(text, std::string("atclose"));
  }

  void ReadOnlyFileIsNotSaved() {
    TempDir dir;
    WritePortConfig(dir, dir.File("no-such-device"));
    auto window = Start(dir);
    const std::string locked = dir.File("Locked.qm48");
    WriteText(locked, "before");
    ::chmod(locked.c_str(), 0444);
    if (!IsFileReadOnly(locked)) QSKIP("root may write any file");
    gCurrentFileName = locked;
    gSetupEdited = true;
    window->SaveAction()->trigger();
    QCOMPARE(op_->MessageBoxes().back().text, std::string(kReadOnlySetupFileText));
    QCOMPARE(ReadAll(locked), std::string("before"));
    QVERIFY(gSetupEdited);
    gSetupEdited = false;
    window->close();
  }

  void CloseWithNoWritesOnlyTheLastSetup() {
    TempDir dir;
    WritePortConfig(dir, dir.File("no-such-device"));
    auto window = Start(dir);
    gCurrentFileName = dir.File("Untouched.qm48");
    gFormatName_[1] = "edited";
    gSetupEdited = true;
    op_->QueueAnswer(MsgAnswer::No);
    QVERIFY(window->close());
    QVERIFY(!PathExists(dir.File("Untouched.qm48")));
    std::string text;
    QVERIFY(ReadProfileString(dir.File("LastQm48.Cfg"), kSimulatorSection, "gFormatName_2", text));
    QCOMPARE(text, std::string("edited"));
    QVERIFY(ReadProfileString(dir.File("LastQm48.Cfg"), kLastSetupSection, "FileName", text));
    QCOMPARE(text, dir.File("Untouched.qm48"));
  }

  // Save As then Recall brings back the very setup; a bad file is refused with the
  // message and the program goes on with what it had.
  void SaveAsThenRecallAndABadFile() {
    TempDir dir;
    WritePortConfig(dir, dir.File("no-such-device"));
    auto window = Start(dir);
    SimProg->Setup.WordsPerMinorFrame = 64;
    SimProg->Setup.CommonWordValue = 0x123;
    TxProg->Setup.FreqMhz = 2250.5;
    gFormatNumber = 1;
    gFormatName_[1] = "saved";
    gSetupEdited = true;
    const std::string file = dir.File("Round.qm48");
    op_->QueueChosenFile(file);
    window->MenuSaveAsClick();
    QVERIFY(!gSetupEdited);
    const std::string savedText = ReadAll(file);

    SimProg->Setup.WordsPerMinorFrame = 32;
    SimProg->Setup.CommonWordValue = 7;
    TxProg->Setup.FreqMhz = 1500;
    gFormatName_[1] = "changed";
    gSetupEdited = true;
    op_->QueueAnswer(MsgAnswer::No);
    op_->QueueChosenFile(file);
    window->MenuRecallClick();
    QCOMPARE(SimProg->Setup.WordsPerMinorFrame, 64);
    QCOMPARE(SimProg->Setup.CommonWordValue, 0x123);
    QCOMPARE(TxProg->Setup.FreqMhz, 2250.5);
    QCOMPARE(gFormatName_[1], std::string("saved"));
    QVERIFY(!gSetupEdited);
    QCOMPARE(gCurrentFileName, file);
    op_->QueueChosenFile(dir.File("Again.qm48"));
    window->MenuSaveAsClick();
    QCOMPARE(ReadAll(dir.File("Again.qm48")), savedText);  // nothing lost on the way

    WriteText(dir.File("Bad.qm48"), "[SIMULATOR SETUP]\r\nWordsPerMinorFrame=9\r\n");
    op_->ClearRecords();
    op_->QueueChosenFile(dir.File("Bad.qm48"));
    window->MenuRecallClick();
    QCOMPARE(op_->MessageBoxes().size(), size_t{1});
    QCOMPARE(op_->MessageBoxes()[0].text, std::string("INVALID SETUP FILE..ABORT LOAD"));
    QCOMPARE(op_->MessageBoxes()[0].caption, std::string("INVALID FILE"));
    QCOMPARE(gCurrentFileName, dir.File("Again.qm48"));
    QCOMPARE(SimProg->Setup.WordsPerMinorFrame, 64);
    QVERIFY(window->windowTitle().startsWith("*"));
    // Still usable: a save and a good recall work as before.
    op_->QueueChosenFile(dir.File("After.qm48"));
    window->MenuSaveAsClick();
    QCOMPARE(ReadAll(dir.File("After.qm48")), savedText);
    op_->QueueChosenFile(file);
    window->MenuRecallClick();
    QVERIFY(!gSetupEdited);
    QCOMPARE(gCurrentFileName, file);
    window->close();
  }

  // File, Export TMATS... and Import TMATS...: the export writes the chosen file, the import
  // replaces the setup as a recall does, but leaves it unsaved and without a file name.
  void TmatsMenuEntries() {
    TempDir dir;
    WritePortConfig(dir, dir.File("no-such-device"));
    auto window = Start(dir);
    QCOMPARE(window->ExportTmatsAction()->text(), QString("Export TMATS..."));
    QCOMPARE(window->ImportTmatsAction()->text(), QString("Import TMATS..."));
    SimProg->Setup.SimBitRate = 500000;
    op_->QueueChosenFile(dir.File("link.tmt"));
    window->ExportTmatsAction()->trigger();
    QVERIFY(ReadAll(dir.File("link.tmt")).find("P-1\\D2:500000;") != std::string::npos);

    SimProg->Setup.SimBitRate = 9600;
    gCurrentFileName = dir.File("old.qm48");
    op_->QueueChosenFile(dir.File("link.tmt"));
    window->ImportTmatsAction()->trigger();
    QCOMPARE(SimProg->Setup.SimBitRate, 500000u);
    QVERIFY(gSetupEdited);
    QVERIFY(gCurrentFileName.empty());
    QVERIFY(window->windowTitle().startsWith("*"));

    const QString shots = qEnvironmentVariable("QM48_SCREENSHOT_DIR");
    if (!shots.isEmpty()) {
      window->show();
      QMenu* file = window->ExportTmatsAction()->associatedObjects().isEmpty()
                        ? nullptr
                        : qobject_cast<QMenu*>(window->ExportTmatsAction()->associatedObjects()[0]);
      QVERIFY(file != nullptr);
      file->popup(window->mapToGlobal(QPoint(0, window->menuBar()->height())));
      QVERIFY(QTest::qWaitForWindowExposed(file));
      QVERIFY(file->grab().toImage().save(shots + "/file-menu-tmats.png"));
      file->hide();
    }
    gSetupEdited = false;
    window->close();
  }

  // Load All over the configured port: the unit holds the image the load prescribes, and
  // the last-setup file is rewritten.
  void LoadAllFillsTheVirtualUnit() {
    TempDir dir;
    auto unit = StartUnit();
    WritePortConfig(dir, unit->DevicePath(), 4);
    auto window = Start(dir);
    SimProg->Setup.CommonWordValue = 0x2a5;
    gFormatName_[0] = "loaded";
    op_->ClearRecords();
    window->LoadAllAction()->trigger();
    QVERIFY(op_->MessageBoxes().empty());
    const UnitState state = unit->State();
    const SimulatorImage expected = ImageOfStream(SimProg->TxBuffer);
    QVERIFY(state.sim.memory == expected.memory);
    QCOMPARE(state.sim.memory[8199], uint16_t{0x2a5});
    QCOMPARE(state.sim.registers[2], PcmEncoderRegisterValue(SimProg->Setup));
    QCOMPARE(state.sim.registers[1],
             ModeRegisterValue(SimProg->Setup, SimProg->DoCrc16, SimProg->DoCttit));
    QVERIFY(state.running);
    std::string text;
    QVERIFY(ReadProfileString(dir.File("LastQm48.Cfg"), kSimulatorSection, "gFormatName_1", text));
    QCOMPARE(text, std::string("loaded"));

    // A unit that went away: the operator is told, not only the log.
    unit->Stop();
    op_->ClearRecords();
    window->LoadAllAction()->trigger();
    QVERIFY(!op_->MessageBoxes().empty());
    window->close();
  }

  // The real program: a second copy refuses while the first runs and leaves its files
  // alone; after the first was killed outright, a new copy starts.
  void SecondCopyRefusedUntilTheFirstIsKilled() {
    TempDir dir;
    TempDir runtime;
    ::chmod(runtime.Path().c_str(), 0700);
    WritePortConfig(dir, dir.File("no-such-device"));
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("XDG_RUNTIME_DIR", QString::fromStdString(runtime.Path()));
    auto launch = [&](QProcess& p) {
      p.setProcessEnvironment(env);
      p.setWorkingDirectory(QString::fromStdString(dir.Path()));
      p.setProgram(QM48_GUI_PATH);
      p.start();
      return p.waitForStarted(10000);
    };
    auto logHas = [&](const char* text, int times) {
      return QTest::qWaitFor([&] { return Count(ReadAll(dir.File("Qm48.Log")), text) >= times; },
                             20000);
    };

    QProcess first;
    QVERIFY(launch(first));
    QVERIFY(logHas("Start-up took", 1));
    const std::string firstLog = ReadAll(dir.File("Qm48.Log"));

    QProcess second;
    QVERIFY(launch(second));
    QVERIFY(QTest::qWaitFor(
        [&] {
          return second.readAllStandardError().contains(
              "PROGRAM ALREADY RUNNING, KILL THAT VERSION FIRST");
        },
        20000));
    QCOMPARE(Count(ReadAll(dir.File("Qm48.Log")), "PROGRAM START"), 1);
    QCOMPARE(first.state(), QProcess::Running);
    second.kill();
    second.waitForFinished(5000);

    ::kill(static_cast<pid_t>(first.processId()), SIGKILL);
    QVERIFY(first.waitForFinished(5000));
    QProcess third;
    QVERIFY(launch(third));
    QVERIFY(QTest::qWaitFor(
        [&] {
          std::string log = ReadAll(dir.File("Qm48.Log"));
          return log != firstLog && Count(log, "Start-up took") == 1;
        },
        20000));
    QCOMPARE(third.state(), QProcess::Running);
    third.kill();
    third.waitForFinished(5000);
  }
};

QTEST_MAIN(MainWindowTest)
#include "MainWindow_test.moc"
