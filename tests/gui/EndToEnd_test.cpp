// The program from start-up to a loaded unit, offscreen against the virtual unit: a setup
// recalled and loaded with "Load All" leaves the unit holding the image its stream
// prescribes, with the debug window showing the commands; a unit that goes away mid-load
// is told to the operator, the caption says so, and Connect reaches the restarted unit.
#include <QAction>
#include <QPushButton>
#include <QtTest>
#include <fstream>
#include <memory>

#include "app/ProgramObjects.h"
#include "app/Qm48GlobUnit.h"
#include "app/SetupFiles.h"
#include "app/gui/Qm48MainUnit.h"
#include "common/ScriptedOperator.h"
#include "link/TransmitBuffer.h"
#include "link/UnitLink.h"
#include "serial/gui/Qm48DebugUnit.h"
#include "simulator/Qm48SimulatorUnit.h"
#include "support/TempDir.h"
#include "transmitter/Qm48TransmitterUnit.h"
#include "unit/UnitProtocol.h"
#include "unit/UnitStateText.h"
#include "unit/VirtualUnit.h"

namespace {

void WriteText(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

// "Qm48Com.Cfg" that sends COM1 to device.
void WritePortConfig(const TempDir& dir, const std::string& device) {
  WriteText(dir.File("Qm48Com.Cfg"),
            "[PortConfig]\r\nPortNum=0\r\n[PortDevices]\r\nCOM1=" + device + "\r\n");
}

// A setup file of some hundreds of commands: several minor frames with a subframe counter,
// a dynamic word and a unique word.
std::string WriteSetupFile(const TempDir& dir, int wordsPerMinorFrame) {
  progsimulatorclass sim;
  progtxclass tx;
  SimSetupData& s = sim.Setup;
  s.WordsPerMinorFrame = wordsPerMinorFrame;
  s.NumSubframes = 4;
  s.SubframeMode = 1;
  s.SfIdWordNum = 3;
  s.SfIdStartBit = 15;
  s.CommonWordValue = 0x1A5;
  s.DynamicWords[0] = {10, 50, 1};
  s.UniqueWords[0] = {0, 2, 20, 40, 0xBEE0};
  int32_t format = 1;
  std::array<std::string, 4> names{"", "endtoend", "", ""};
  const std::string path = dir.File("Flight.qm48");
  if (!SaveWholeFile(WholeSetup{sim, tx, format, names}, path, nullptr))
    qWarning("setup file not written");
  return path;
}

// The commands of a stream as the unit executes them, from a fresh unit.
UnitState StateAfter(const TransmitBuffer& stream) {
  UnitProtocol unit;
  unit.Feed(stream.Data(), stream.Fill());
  return unit.State();
}

// The sent commands among traffic lines ("TX 1 R" → "1 R").
std::vector<std::string> SentCommands(const std::vector<std::string>& lines) {
  std::vector<std::string> sent;
  for (const std::string& line : lines)
    if (line.rfind("TX ", 0) == 0) sent.push_back(line.substr(3));
  return sent;
}
std::vector<std::string> SentCommands(const QStringList& lines) {
  std::vector<std::string> all;
  for (const QString& line : lines) all.push_back(line.toStdString());
  return SentCommands(all);
}

}  // namespace

class EndToEndTest : public QObject {
  Q_OBJECT

  ScriptedOperator* op_ = nullptr;
  std::unique_ptr<ScopedOperator> scope_;

  std::unique_ptr<TQm48MainForm> Start(const TempDir& dir) {
    dir.Enter();
    auto window = std::make_unique<TQm48MainForm>();
    window->show();
    if (!QTest::qWaitFor([&] { return window->StartupQueryDone(); }, 30000))
      qWarning("start-up query did not end");
    return window;
  }
  // Ctrl+D, then "Debug": the debug window, shown.
  static TQm48DebugForm* ShowTerminal(TQm48MainForm& window) {
    window.ToggleDebugMenu();
    window.DebugMenuAction()->trigger();
    auto* terminal = window.findChild<TQm48DebugForm*>();
    if (terminal && !QTest::qWaitForWindowExposed(terminal)) qWarning("debug window not shown");
    return terminal;
  }
  static std::unique_ptr<VirtualUnit> StartUnit(VirtualUnitOptions options) {
    auto unit = std::make_unique<VirtualUnit>(std::move(options));
    std::string error;
    if (!unit->Start(&error)) qWarning("virtual unit: %s", error.c_str());
    return unit;
  }

 private slots:
  void init() {
    op_ = new ScriptedOperator;
    scope_ = std::make_unique<ScopedOperator>(*op_);
  }
  void cleanup() {
    scope_.reset();
    delete op_;
  }

  void RecallAndLoadAllFillTheUnit() {
    TempDir dir;
    VirtualUnitOptions options;
    options.stateFile = dir.File("unit.state");
    auto unit = StartUnit(options);
    WritePortConfig(dir, unit->DevicePath());
    const std::string setupFile = WriteSetupFile(dir, 300);
    auto window = Start(dir);
    QCOMPARE(window->windowTitle(), QString("QM-48  Ver 1.41    Connected"));
    TQm48DebugForm* terminal = ShowTerminal(*window);
    QVERIFY(terminal && terminal->isVisible());
    QCOMPARE(terminal->ButtonConnect()->text(), QString("Disconnect"));
    const std::string tracePath = dir.File("load.Qm48ComDbg");
    op_->QueueChosenFile(tracePath);
    terminal->TraceToFileClick();
    QVERIFY(terminal->Tracing());

    op_->QueueChosenFile(setupFile);
    window->RecallAction()->trigger();
    QCOMPARE(gCurrentFileName, setupFile);
    QCOMPARE(SimProg->Setup.WordsPerMinorFrame, 300);
    op_->ClearRecords();
    window->LoadAllAction()->trigger();
    QVERIFY(op_->MessageBoxes().empty());
    QCOMPARE(op_->Progresses().size(), size_t{7});  // five queries, transmitter, simulator

    // What the stream of the recalled setup prescribes, built apart from the program.
    progsimulatorclass sim;
    progtxclass tx;
    int32_t format = 0;
    std::array<std::string, 4> names;
    std::string ignored;
    QVERIFY(LoadWholeFile(WholeSetup{sim, tx, format, names}, setupFile, false, ignored));
    QCOMPARE(format, gFormatNumber);
    QVERIFY(names == gFormatName_);
    sim.Prep232SimSetupData(SelectedLoadFormat());
    const UnitState expected = StateAfter(sim.TxBuffer);
    const std::vector<std::string> simCommands = SplitCommands(sim.TxBuffer);
    QVERIFY(simCommands.size() > 2 * kTraceMaxLines);  // more than the window keeps

    // The unit's state file after the load.
    QVERIFY(unit->WriteState());
    UnitState written;
    std::string error;
    QVERIFY2(ParseUnitStateText(ReadAll(dir.File("unit.state")), written, error), error.c_str());
    QVERIFY(written.sim.memory == expected.sim.memory);
    QVERIFY(written.sim == expected.sim);
    QVERIFY(written.running);
    QCOMPARE(written.tx, StateAfter(TxProg->TxBuffer).tx);
    QCOMPARE(unit->State().flash.memory, expected.sim.memory);

    // The debug window: the last of the commands sent, each in its line, in order, and the
    // trace file with every command of the load and a reply to each.
    QVERIFY(QTest::qWaitFor(
        [&] {
          return terminal->TrafficLines().endsWith("RX OK<CR>") &&
                 SentCommands(terminal->TrafficLines()).back() == simCommands.back();
        },
        5000));
    const std::vector<std::string> shown = SentCommands(terminal->TrafficLines());
    QVERIFY(!shown.empty());
    QVERIFY(std::equal(shown.rbegin(), shown.rend(), simCommands.rbegin()));
    const std::vector<std::string> traced = CrLfLines(ReadAll(tracePath));
    const std::vector<std::string> tracedCommands = SentCommands(traced);
    QVERIFY(tracedCommands.size() > simCommands.size());
    QVERIFY(std::equal(simCommands.rbegin(), simCommands.rend(), tracedCommands.rbegin()));
    QCOMPARE(traced.size(), 2 * tracedCommands.size());
    const std::vector<std::string> received = unit->Commands();
    QVERIFY(std::equal(tracedCommands.rbegin(), tracedCommands.rend(), received.rbegin()));
    window->close();
  }

  void UnitGoneMidLoadThenConnectAgain() {
    TempDir dir;
    VirtualUnitOptions options;
    options.linkPath = dir.File("qm48-unit");
    options.fault.kind = FaultKind::VanishAfter;
    options.fault.count = 400;  // the start-up query, then a good part of the load
    auto unit = StartUnit(options);
    WritePortConfig(dir, options.linkPath);
    const std::string setupFile = WriteSetupFile(dir, 300);
    auto window = Start(dir);
    TQm48DebugForm* terminal = ShowTerminal(*window);
    QVERIFY(terminal);
    op_->QueueChosenFile(setupFile);
    window->RecallAction()->trigger();
    op_->ClearRecords();
    window->LoadAllAction()->trigger();
    QVERIFY(unit->Vanished());

    // The operator is told, the caption and the window's button follow.
    QCOMPARE(op_->MessageBoxes().size(), size_t{1});
    QCOMPARE(op_->MessageBoxes()[0].caption, std::string("SIMULATOR LOAD INCOMPLETE"));
    QVERIFY(op_->MessageBoxes()[0].text.find("THE SIMULATOR LOAD DID NOT COMPLETE") == 0);
    QTRY_VERIFY_WITH_TIMEOUT(window->windowTitle().endsWith("  Disconnected"), 3000);
    QTRY_COMPARE_WITH_TIMEOUT(terminal->ButtonConnect()->text(), QString("Connect"), 3000);

    // The unit comes back on the same path: Connect, and the load goes through.
    unit->Stop();
    op_->ClearRecords();
    terminal->ButtonConnectClick();  // nothing on the path yet: the operator is told why
    QCOMPARE(terminal->ButtonConnect()->text(), QString("Connect"));
    QCOMPARE(op_->MessageBoxes().size(), size_t{1});
    QVERIFY(op_->MessageBoxes()[0].text.find(options.linkPath) != std::string::npos);
    options.fault = {};
    unit = StartUnit(options);
    terminal->ButtonConnectClick();
    QCOMPARE(terminal->ButtonConnect()->text(), QString("Disconnect"));
    QTRY_VERIFY_WITH_TIMEOUT(window->windowTitle().endsWith("  Connected"), 3000);
    op_->ClearRecords();
    window->LoadAllAction()->trigger();
    QVERIFY(op_->MessageBoxes().empty());
    QVERIFY(unit->State().running);
    QVERIFY(unit->State().sim == StateAfter(SimProg->TxBuffer).sim);
    window->close();
  }

  // The unit's link goes with the unit mid-load and comes back: the port reopens by itself
  // at the caption's next tick, and the load is not sent again.
  void UnitGoneMidLoadThenBackReconnectsByItself() {
    TempDir dir;
    VirtualUnitOptions options;
    options.linkPath = dir.File("qm48-unit");
    options.fault.kind = FaultKind::VanishAfter;
    options.fault.count = 400;
    auto unit = StartUnit(options);
    WritePortConfig(dir, options.linkPath);
    const std::string setupFile = WriteSetupFile(dir, 300);
    auto window = Start(dir);
    op_->QueueChosenFile(setupFile);
    window->RecallAction()->trigger();
    window->LoadAllAction()->trigger();
    QVERIFY(unit->Vanished());
    QTRY_VERIFY_WITH_TIMEOUT(window->windowTitle().endsWith("  Disconnected"), 3000);

    unit->Stop();  // the link goes
    options.fault = {};
    unit = StartUnit(options);  // and is made anew
    QTRY_VERIFY_WITH_TIMEOUT(window->windowTitle().endsWith("  Connected"), 5000);
    QVERIFY(window->Link().Connected());
    QCOMPARE(window->Link().Port()->DevicePath(), options.linkPath);
    QCOMPARE(unit->CommandCount(), uint64_t{0});  // nothing of the load was sent again
    const std::string log = ReadAll(dir.File("Qm48.Log"));
    QVERIFY(log.find("The port's device " + options.linkPath + " is back: port reopened") !=
            std::string::npos);
    window->close();
  }
};

QTEST_MAIN(EndToEndTest)
#include "EndToEnd_test.moc"
