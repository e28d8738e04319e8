// The program from start-up to a loaded virtual unit: "Load All" of a recalled setup leaves the
// unit holding the image its stream prescribes, traced in the debug window; a unit gone
// mid-load is told, the caption and Connect follow, and Connect reaches it once it is back.
#include <QAction>
#include <QPushButton>
#include <QtTest>

#include "SetupTestKit.h"
#include "app/SetupFiles.h"
#include "common/ScriptedOperator.h"
#include "link/TransmitBuffer.h"
#include "serial/gui/Qm48DebugUnit.h"
#include "simulator/SimKit.h"
#include "unit/UnitProtocol.h"
#include "unit/UnitStateText.h"

namespace {

// A setup file of some hundreds of commands: 300 words a minor frame with a subframe
// counter, a dynamic word and a unique word.
std::string WriteSetupFile(const TempDir& dir) {
  progsimulatorclass sim;
  progtxclass tx;
  Apply(sim.Setup,
        "WordsPerMinorFrame=300 NumSubframes=4 SubframeMode=1 SfIdWordNum=3 "
        "SfIdStartBit=15 CommonWordValue=0x1A5");
  sim.Setup.DynamicWords[0] = {10, 50, 1};
  sim.Setup.UniqueWords[0] = {0, 2, 20, 40, 0xBEE0};
  int32_t format = 1;
  std::array<std::string, 4> names{"", "endtoend", "", ""};
  const std::string path = dir.File("Flight.qm48");
  if (!SaveWholeFile(WholeSetup{sim, tx, format, names}, path, nullptr))
    qWarning("setup file not written");
  return path;
}

// What a fresh unit holds after executing a stream.
UnitState StateAfter(const TransmitBuffer& stream) {
  UnitProtocol unit;
  unit.Feed(stream.Data(), stream.Fill());
  return unit.State();
}

// The sent commands among traffic lines ("TX 1 R" -> "1 R").
std::vector<std::string> SentCommands(const QStringList& lines) {
  std::vector<std::string> sent;
  for (const QString& line : lines)
    if (line.startsWith("TX ")) sent.push_back(line.mid(3).toStdString());
  return sent;
}

}  // namespace

class EndToEndTest : public QObject {
  Q_OBJECT

 private slots:
  void LoadAllThenUnitGoneAndBack() {
    ScriptedOperator op;
    ScopedOperator scope(op);
    VirtualUnitOptions options;
    TempDir place;  // the link and the state file outlive the unit they belong to
    options.linkPath = place.File("qm48-unit");
    options.stateFile = place.File("unit.state");
    auto unit = std::make_unique<VirtualUnit>(options);
    QVERIFY(unit->Start());
    TempDir start;
    const std::string setupFile = WriteSetupFile(start);
    auto window = StartedWindow(start, options.linkPath);
    QVERIFY(window);
    QVERIFY(window->windowTitle().endsWith("    Connected"));

    // Ctrl+D, then "Debug": the debug window, tracing to a file.
    window->ToggleDebugMenu();
    window->DebugMenuAction()->trigger();
    auto* terminal = window->findChild<TQm48DebugForm*>();
    QVERIFY(terminal && QTest::qWaitForWindowExposed(terminal));
    const std::string tracePath = start.File("load.Qm48ComDbg");
    op.QueueChosenFile(tracePath);
    terminal->TraceToFileClick();
    QVERIFY(terminal->Tracing());

    op.QueueChosenFile(setupFile);
    window->RecallAction()->trigger();
    QCOMPARE(gCurrentFileName, setupFile);
    op.ClearRecords();
    window->LoadAllAction()->trigger();
    QVERIFY(op.MessageBoxes().empty());
    QCOMPARE(op.Progresses().size(), size_t{7});  // five queries, transmitter, simulator

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

    // The unit's state file after the load, and its flash.
    QVERIFY(unit->WriteState());
    UnitState written;
    std::string error;
    QVERIFY2(ParseUnitStateText(ReadAll(options.stateFile), written, error), error.c_str());
    QVERIFY(written.sim == expected.sim);
    QVERIFY(written.running);
    QCOMPARE(written.tx, StateAfter(TxProg->TxBuffer).tx);
    QCOMPARE(unit->State().flash.memory, expected.sim.memory);

    // The debug window shows the last commands, in order; the trace has every command of
    // the load with a reply to each, as the unit received them.
    QTRY_VERIFY(terminal->TrafficLines().endsWith("RX OK<CR>") &&
                SentCommands(terminal->TrafficLines()).back() == simCommands.back());
    const std::vector<std::string> shown = SentCommands(terminal->TrafficLines());
    QVERIFY(!shown.empty() && std::equal(shown.rbegin(), shown.rend(), simCommands.rbegin()));
    const QStringList traced =
        QString::fromStdString(ReadAll(tracePath)).split("\r\n", Qt::SkipEmptyParts);
    const std::vector<std::string> tracedCommands = SentCommands(traced);
    QVERIFY(tracedCommands.size() > simCommands.size());
    QVERIFY(std::equal(simCommands.rbegin(), simCommands.rend(), tracedCommands.rbegin()));
    QCOMPARE(size_t(traced.size()), 2 * tracedCommands.size());
    const std::vector<std::string> received = unit->Commands();
    QVERIFY(std::equal(tracedCommands.rbegin(), tracedCommands.rend(), received.rbegin()));

    // The unit goes away mid-load: the operator is told, the caption and Connect follow.
    unit->SetFault({FaultKind::VanishAfter, unit->CommandCount() + 200});
    op.ClearRecords();
    window->LoadAllAction()->trigger();
    QVERIFY(unit->Vanished());
    QCOMPARE(op.MessageBoxes().size(), size_t{1});
    QCOMPARE(op.MessageBoxes()[0].caption, std::string("SIMULATOR LOAD INCOMPLETE"));
    QTRY_VERIFY(window->windowTitle().endsWith("  Disconnected"));
    QTRY_COMPARE(terminal->ButtonConnect()->text(), QString("Connect"));

    // Connect with nothing on the path tells why; once the unit is back it connects.
    unit->Stop();
    op.ClearRecords();
    terminal->ButtonConnectClick();
    QCOMPARE(terminal->ButtonConnect()->text(), QString("Connect"));
    QCOMPARE(op.MessageBoxes().size(), size_t{1});
    QVERIFY(op.MessageBoxes()[0].text.find(options.linkPath) != std::string::npos);
    unit = std::make_unique<VirtualUnit>(options);
    QVERIFY(unit->Start());
    terminal->ButtonConnectClick();
    QCOMPARE(terminal->ButtonConnect()->text(), QString("Disconnect"));
    QTRY_VERIFY(window->windowTitle().endsWith("  Connected"));

    window->close();
  }
};

QTEST_MAIN(EndToEndTest)
#include "EndToEnd_test.moc"
