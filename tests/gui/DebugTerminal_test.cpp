// The RS-232 debug window on the virtual unit: what the lists add to the send text, typed
// commands reaching the unit and its replies shown, the time stamp and hex toggles, the
// emptied trace, trace and saved files, Connect and Disconnect, and a hidden window.
#include "serial/gui/Qm48DebugUnit.h"

#include <QCheckBox>
#include <QComboBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QtTest>
#include <memory>

#include "common/ScriptedOperator.h"
#include "link/UnitLink.h"
#include "serial/serialcomclass.h"
#include "support/Signals.h"
#include "support/TempDir.h"
#include "unit/VirtualUnit.h"

namespace {

// A virtual unit, and a debug window whose Connect opens its link's port on it.
struct Bench {
  VirtualUnit unit;
  UnitLink link;
  std::unique_ptr<TQm48DebugForm> form;
  int opens = 0;

  Bench() {
    std::string error;
    if (!unit.Start(&error)) qWarning("virtual unit: %s", error.c_str());
    form = std::make_unique<TQm48DebugForm>(link, [this] {
      ++opens;
      return link.Open(PortConfig{}, unit.DevicePath());
    });
  }
  ~Bench() {
    form.reset();
    link.Close();
  }
  void Type(const QString& text) {
    form->MemoSend()->setPlainText(text);
    form->ButtonSendBufferClick();
  }
  // Waits with the event loop running: the window sends its lines from it.
  bool WaitForCommands(uint64_t count, int ms) {
    return QTest::qWaitFor([&] { return unit.CommandCount() >= count; }, ms);
  }
  bool WaitForLines(int count) {
    return QTest::qWaitFor([&] { return form->TrafficLines().size() >= count; }, 5000);
  }
};

}  // namespace

class DebugTerminalTest : public QObject {
  Q_OBJECT

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
  }

  // The window as created; the lists add their character as a token the send line turns
  // back into that byte, on the button and on a change of selection alike.
  void ListsAddTheirCharacters() {
    UnitLink unopened;
    TQm48DebugForm form(unopened, {});
    form.show();
    QCOMPARE(form.windowTitle(), QString("RS-232 Debug Window"));
    QCOMPARE(form.ComboSpecialChar()->count(), 32);
    QCOMPARE(form.ComboSpecialChar()->itemText(2), QString("0x02   STX  Start of text"));
    QCOMPARE(form.ComboHexChar()->count(), 256);
    QCOMPARE(form.ComboHexChar()->currentIndex(), 0);
    QVERIFY(form.MemoSend()->toPlainText().isEmpty());  // filling the lists added nothing
    QCOMPARE(form.ButtonConnect()->text(), QString("Connect"));

    form.MemoSend()->setPlainText("0Q");
    form.ComboHexChar()->setCurrentIndex(13);
    QCOMPARE(form.MemoSend()->toPlainText(), QString("0Q<CR>"));
    form.ButtonAddHexCharClick();
    form.ComboSpecialChar()->setCurrentIndex(2);
    form.ComboHexChar()->setCurrentIndex(0x41);
    form.ComboHexChar()->setCurrentIndex(0xFE);
    QCOMPARE(form.MemoSend()->toPlainText(), QString("0Q<CR><CR><STX>A<0xFE>"));
    form.ButtonTxClearClick();
    QVERIFY(form.MemoSend()->toPlainText().isEmpty());

    // "Tx Buffer" without a port: a warning, nothing queued.
    form.MemoSend()->setPlainText("1 R");
    form.ButtonSendBufferClick();
    QCOMPARE(op_->CountPlayed(WarningTones()), 1);
    QCOMPARE(form.QueuedSends(), size_t{0});
  }

  // Every line of the send text reaches the unit in order (none is dropped while the one
  // before is still being written) and the replies show, one line each.
  void TypedCommandsReachTheUnitAndRepliesShow() {
    Bench b;
    b.form->show();
    b.form->ButtonConnectClick();
    QCOMPARE(b.form->ButtonConnect()->text(), QString("Disconnect"));
    b.Type("00AB 0010 M\n\n1<space>R\n1 R<CR>");  // "<space>" is no token: sent as typed
    QVERIFY(b.WaitForCommands(3, 5000));
    QCOMPARE(b.unit.MemoryWord(0x10), uint16_t{0xAB});
    QVERIFY(b.unit.Running());
    QVERIFY(b.WaitForLines(6));
    const QStringList lines = b.form->TrafficLines();
    // Each reply follows its command; the next command may go out before it comes.
    QStringList sorted = lines;
    sorted.sort();
    QCOMPARE(sorted, (QStringList{"RX ERR<CR>", "RX OK<CR>", "RX OK<CR>", "TX 00AB 0010 M",
                                  "TX 1 R<CR>", "TX 1<space>R"}));
    QVERIFY(lines.indexOf("TX 00AB 0010 M") < lines.indexOf("TX 1<space>R"));
    QVERIFY(lines.indexOf("TX 1<space>R") < lines.indexOf("TX 1 R<CR>"));

    // The toggles redraw what is there: time stamp in front, bytes in hex behind.
    b.form->CheckTimeStamps()->setChecked(true);
    b.form->CheckHex()->setChecked(true);
    const QRegularExpression stamped(R"(^\d\d:\d\d:\d\d\.\d\d\d (TX|RX) .*   \[[0-9A-F ]+\]$)");
    for (const QString& line : b.form->TrafficLines())
      QVERIFY2(stamped.match(line).hasMatch(), qPrintable(line));
    QCOMPARE(
        b.form->TrafficLines().filter(QRegularExpression(R"( RX OK<CR>   \[4F 4B 0D\]$)")).size(),
        2);
    b.form->CheckTimeStamps()->setChecked(false);
    b.form->CheckHex()->setChecked(false);
    QCOMPARE(b.form->TrafficLines(), lines);

    b.form->ButtonRxClearClick();
    QVERIFY(b.form->TrafficLines().isEmpty());
  }

  // The 257th line empties the view before it is added.
  void TheFullTraceIsEmptied() {
    Bench b;
    b.form->show();
    b.form->ButtonConnectClick();
    QStringList commands;
    for (int i = 0; i < 130; ++i) commands << QString("%1 0020 M").arg(i, 4, 16, QChar('0'));
    b.Type(commands.join('\n'));  // 260 lines of traffic
    QVERIFY(b.WaitForCommands(130, 10000));
    QVERIFY(QTest::qWaitFor([&] { return b.form->QueuedSends() == 0; }, 5000));
    // Past the 130 sent lines the view holds 4 only once the last reply is in.
    QTRY_COMPARE_WITH_TIMEOUT(b.form->TrafficLines().size(), 4, 10000);
  }

  // A trace gets each line as it comes, and stops getting them when stopped; a saved copy
  // holds the view; a place that cannot be written is told.
  void TraceAndSavedFiles() {
    TempDir dir;
    Bench b;
    b.form->show();
    b.form->ButtonConnectClick();
    const std::string tracePath = dir.File("live.Qm48ComDbg");
    op_->QueueChosenFile(tracePath);
    b.form->TraceToFileClick();
    QVERIFY(b.form->Tracing());
    QCOMPARE(op_->FileChoosers().at(0).defaultExtension, std::string("Qm48ComDbg"));
    QCOMPARE(op_->FileChoosers().at(0).filter, std::string("Comm Debug Files |*.Qm48ComDbg"));
    b.Type("1 R");
    QVERIFY(QTest::qWaitFor([&] { return CrLfLines(ReadAll(tracePath)).size() == 2; }, 5000));
    QCOMPARE(CrLfLines(ReadAll(tracePath)), (std::vector<std::string>{"TX 1 R", "RX OK<CR>"}));
    b.form->StopTraceClick();
    QVERIFY(!b.form->Tracing());
    b.Type("0 R");
    QVERIFY(b.WaitForLines(4));
    QCOMPARE(CrLfLines(ReadAll(tracePath)).size(), size_t{2});

    const std::string savedPath = dir.File("view.Qm48ComDbg");
    op_->QueueChosenFile(savedPath);
    b.form->SaveAs1Click();
    QCOMPARE(op_->FileChoosers().back().suggestedName, std::string("live.Qm48ComDbg"));
    QCOMPARE(CrLfLines(ReadAll(savedPath)),
             (std::vector<std::string>{"TX 1 R", "RX OK<CR>", "TX 0 R", "RX OK<CR>"}));

    op_->QueueChosenFile(dir.File("missing/dir/x.Qm48ComDbg"));
    b.form->SaveAs1Click();
    QCOMPARE(op_->MessageBoxes().size(), size_t{1});
    QCOMPARE(op_->MessageBoxes()[0].text, std::string("Cannot open the file"));
    QCOMPARE(op_->MessageBoxes()[0].caption, std::string("FILE OPEN"));
    op_->QueueChosenFile(dir.File("missing/dir/y.Qm48ComDbg"));
    b.form->TraceToFileClick();
    QVERIFY(!b.form->Tracing());
    QCOMPARE(op_->MessageBoxes().size(), size_t{2});
  }

  // Disconnect closes the application port, Connect opens it again; the button follows,
  // also when the port goes away by itself. A port that does not open is told by a tone.
  void ConnectAndDisconnect() {
    Bench b;
    b.form->show();
    b.form->ButtonConnectClick();
    QVERIFY(b.link.Connected());
    QVERIFY(b.form->Connected());
    b.form->ButtonConnectClick();
    QVERIFY(!b.link.Connected());
    QCOMPARE(b.form->ButtonConnect()->text(), QString("Connect"));
    b.form->ButtonConnectClick();
    QCOMPARE(b.opens, 2);
    QCOMPARE(b.form->ButtonConnect()->text(), QString("Disconnect"));
    b.Type("1 R");
    QVERIFY(b.WaitForLines(2));

    b.unit.Stop();  // the device vanishes: the port thread ends
    QTRY_COMPARE_WITH_TIMEOUT(b.form->ButtonConnect()->text(), QString("Connect"), 5000);
    QVERIFY(!b.link.Connected());

    UnitLink unopened;
    TQm48DebugForm failing(unopened, [] { return false; });
    failing.show();
    failing.ButtonConnectClick();
    QCOMPARE(failing.ButtonConnect()->text(), QString("Connect"));
    QCOMPARE(op_->CountPlayed(WarningTones()), 1);
  }

  // Hidden, the window adds nothing; the port works on.
  void HiddenWindowAddsNothing() {
    Bench b;
    b.form->show();
    b.form->ButtonConnectClick();
    b.Type("1 R");
    QVERIFY(b.WaitForLines(2));
    b.form->hide();
    b.link.ReplyEvent().Reset();
    b.Type("0 R");
    QVERIFY(b.WaitForCommands(2, 5000));
    QVERIFY(b.link.ReplyEvent().Wait(5000));  // its reply came in while the window was hidden
    // The port thread offered those bytes to the window in the same notification; once it
    // has taken the next job (an empty write), that notification is over.
    std::shared_ptr<serialcomclass> port = b.link.Port();
    QVERIFY(port && port->Send("", 0));
    QVERIFY(QTest::qWaitFor([&] { return !port->IsWriting(); }, 5000));
    b.form->show();
    // Lines reach the view in order: once those of a command sent now are in, anything
    // kept back from the hidden time would be too.
    b.Type("2 N");
    QVERIFY(b.WaitForLines(4));
    const QStringList lines = b.form->TrafficLines();
    QCOMPARE(lines.size(), 4);
    for (const QString& line : lines) QVERIFY2(!line.contains("0 R"), qPrintable(line));
    QVERIFY(!b.unit.Running());
  }
};

QTEST_MAIN(DebugTerminalTest)
#include "DebugTerminal_test.moc"
