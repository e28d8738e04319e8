// The dialogs driven as an operator drives them: the Qt operator's boxes and progress dialog
// (and calls from other threads), the user wave editor, the debug window on the virtual unit.
#include <QCheckBox>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableWidget>
#include <optional>
#include <thread>

#include "ModalDriver.h"
#include "SetupTestKit.h"
#include "common/ScriptedOperator.h"
#include "platform/StartDirectory.h"
#include "serial/gui/Qm48DebugUnit.h"
#include "serial/serialcomclass.h"
#include "simulator/UserWaveFiles.h"
#include "simulator/gui/Qm48UserDefWaveUnit.h"
#include "support/gui/ProgressDlg.h"
#include "support/gui/QtOperator.h"

namespace {

// A task the test moves by hand: it stands where it is put and ends when told. Records
// whether its dialog was up when it was started, and counts the looks at its end.
struct ManualTask : ProgressTask {
  void Start() override {
    for (QWidget* window : QApplication::topLevelWidgets())
      dialogUpAtStart |= qobject_cast<TProgressDlg*>(window) && window->isVisible();
  }
  bool Finished() const override {
    ++looks;
    return finished;
  }
  int Position() const override { return position; }
  int Maximum() const override { return 100; }
  void Cancel() override { cancelled = true; }
  void AwaitChange(int, int) const override {}
  std::atomic<int> position{0};
  std::atomic<bool> finished{false}, cancelled{false};
  mutable std::atomic<int> looks{0};
  bool dialogUpAtStart = false;
};

// A virtual unit, and a debug window whose Connect opens its link's port on it; the window
// goes first, then the link stops its port.
struct Terminal {
  VirtualUnit unit;
  UnitLink link;
  std::unique_ptr<TQm48DebugForm> form;
  Terminal() {
    unit.Start();
    form = std::make_unique<TQm48DebugForm>(
        link, [this] { return link.Open(PortConfig{}, unit.DevicePath()); });
    form->show();
    form->ButtonConnectClick();
  }
  void Type(const QString& text) {
    form->MemoSend()->setPlainText(text);
    form->ButtonSendBufferClick();
  }
  bool Lines(int count) {
    return QTest::qWaitFor([&] { return form->TrafficLines().size() >= count; }, 10000);
  }
};

}  // namespace

class DialogsTest : public QObject {
  Q_OBJECT

  QtOperator qt_{std::make_unique<RecordingSpeaker>()};
  std::optional<ScriptedOperator> op_;
  std::optional<ScopedOperator> scope_;
  std::optional<TempDir> dir_;

 private slots:
  void init() {
    scope_.emplace(op_.emplace());
    dir_.emplace().Enter();
    RecordStartDirectory(true);
    gSetupEdited = false;
  }
  void cleanup() {
    scope_.reset();
    dir_.reset();
  }

  // Esc on a box is its safe answer; OK on a typed, offered or emptied text is that answer.
  void messageAndInputBoxes() {
    OnModal<QMessageBox>([](QMessageBox* box) { QTest::keyClick(box, Qt::Key_Escape); });
    QCOMPARE(qt_.MessageBox("Save?", "SAVE", MsgButtons::YesNoCancel, MsgIcon::Question),
             MsgAnswer::Cancel);
    const std::tuple<const char*, bool, std::optional<std::string>> inputs[] = {
        {"0x1F", true, "0x1F"}, {nullptr, true, "16"}, {"", true, ""}, {"999", false, {}}};
    for (const auto& [typed, ok, answer] : inputs) {
      OnModal<QInputDialog>([typed = typed, ok = ok](QInputDialog* box) {
        if (typed) box->setTextValue(typed);
        ok ? box->accept() : box->reject();
      });
      QCOMPARE(qt_.InputBox("Input Range 3 - 16383", "Words Per Minor Frame", "16"), answer);
    }
  }

  // The red dialog shows progress and closes when the task ends; Esc asks the task to stop and
  // keeps the dialog up until it has; from another thread nothing opens a window.
  void progressDialog() {
    ManualTask task;
    QColor background;
    OnModal<TProgressDlg>([&](TProgressDlg* dialog) {
      background = dialog->palette().color(QPalette::Window);
      task.position = 40;
      QTRY_COMPARE(dialog->ProgressBar()->value(), 40);
      task.finished = true;
    });
    qt_.RunProgress({"LOADING SIMULATOR", "", 20}, task);
    QVERIFY(task.dialogUpAtStart && !task.cancelled);
    QCOMPARE(background, QColor(Qt::red));

    ManualTask cancelled;
    bool upWhileWindingDown = false;
    auto driver = OnModal<TProgressDlg>([&](TProgressDlg* dialog) {
      QTest::keyClick(dialog, Qt::Key_Escape);
      QVERIFY(cancelled.cancelled);
      const int seen = cancelled.looks;
      QTRY_VERIFY(cancelled.looks > seen);  // the dialog polls a task not yet finished
      upWhileWindingDown = dialog->isVisible() && !dialog->CancelButton()->isEnabled();
      cancelled.finished = true;
    });
    qt_.RunProgress({"LOADING TRANSMITTER", "", 20}, cancelled);
    QVERIFY(driver->ran && upWhileWindingDown);

    MsgAnswer answer = MsgAnswer::Ok;
    std::optional<std::string> typed = "not asked";
    std::string path = "kept";
    bool chosen = true;
    ManualTask offThread;
    offThread.finished = true;
    std::thread worker([&] {
      answer = qt_.MessageBox("From a worker", "INFO", MsgButtons::YesNoCancel, MsgIcon::Question);
      typed = qt_.InputBox("T", "P", "initial");
      chosen = qt_.ChooseFile(FileChooserRequest{}, path);
      qt_.RunProgress({"LOADING", "", 20}, offThread);
    });
    worker.join();
    QVERIFY(answer == MsgAnswer::Cancel && !typed && !chosen && path == "kept");
    QVERIFY(!offThread.dialogUpAtStart);
  }

  // Typed samples are edits, bad ones and bad files refused; Cancel keeps the caller's table.
  void userWaveEditor() {
    UserWaveTable table;
    table.NumWords = 3;
    table.Samples = {0, 1, 2};
    std::strcpy(table.Name, "SINE1");
    const UserWaveTable original = table;
    std::string name = "START";
    OnModal<TQm48UserDefWaveDlg>([&](TQm48UserDefWaveDlg* dlg) {
      SavePicture(dlg, "user-wave-editor.png");
      dlg->Grid->item(0, 1)->setText("1A2B");
      QCOMPARE(table.Samples[1], uint16_t{0x1A2B});
      QVERIFY(dlg->TitleLabel->text().startsWith("*"));
      dlg->Grid->item(0, 2)->setText("zz");
      QCOMPARE(dlg->Grid->item(0, 2)->text(), QString("0002"));
      op_->QueueChosenFile(dir_->File("W.R4V8SimUserWave"));
      Entry(dlg->FileMenu, "Save As")->trigger();
      QVERIFY(!dlg->TitleLabel->text().startsWith("*"));
      QTest::mouseClick(dlg->CancelButton, Qt::LeftButton);
    });
    QVERIFY(!EditUserWave(table, name, 64));
    QVERIFY(table.Samples == original.Samples && name == "START");
    UserWaveTable saved;
    QVERIFY(ReadUserWaveFile(dir_->File("W.R4V8SimUserWave"), saved));
    QCOMPARE(saved.Samples[1], uint16_t{0x1A2B});

    std::ofstream(dir_->File("BAD.R4V8SimUserWave")) << "[UserDef Wave Info Common Area]\r\n";
    OnModal<TQm48UserDefWaveDlg>([&](TQm48UserDefWaveDlg* dlg) {
      op_->QueueChosenFile(dir_->File("BAD.R4V8SimUserWave"));
      Entry(dlg->FileMenu, "Recall")->trigger();
      QCOMPARE(op_->MessageBoxes().size(), size_t{1});
      dlg->CheckBoxHex->setChecked(false);
      dlg->Grid->item(0, 3)->setText("77");
      QTest::mouseClick(dlg->AcceptButton, Qt::LeftButton);
    });
    QVERIFY(EditUserWave(table, name, 64));
    QCOMPARE(table.Samples[3], uint16_t{77});
    QCOMPARE(table.Samples[2], uint16_t{2});
  }

  // Every line reaches the unit in order, its reply shows, redrawn with time stamps and hex; a
  // hidden window adds nothing; Disconnect closes the port.
  void debugWindow() {
    Terminal t;
    t.Type("00AB 0010 M\n\n1<space>R\n1 R<CR>");  // "<space>" is no token: sent as typed
    QVERIFY(t.Lines(6));
    QCOMPARE(t.unit.MemoryWord(0x10), uint16_t{0xAB});
    const QStringList lines = t.form->TrafficLines();
    QStringList sorted = lines;  // each reply follows its command; the next may go first
    sorted.sort();
    QCOMPARE(sorted, (QStringList{"RX ERR<CR>", "RX OK<CR>", "RX OK<CR>", "TX 00AB 0010 M",
                                  "TX 1 R<CR>", "TX 1<space>R"}));
    QVERIFY(lines.indexOf("TX 00AB 0010 M") < lines.indexOf("TX 1<space>R") &&
            lines.indexOf("TX 1<space>R") < lines.indexOf("TX 1 R<CR>"));
    t.form->CheckTimeStamps()->setChecked(true);  // the toggles redraw what is there
    t.form->CheckHex()->setChecked(true);
    const QRegularExpression stamped(R"(^\d\d:\d\d:\d\d\.\d\d\d RX OK<CR>   \[4F 4B 0D\]$)");
    QCOMPARE(t.form->TrafficLines().filter(stamped).size(), 2);
    t.form->CheckTimeStamps()->setChecked(false);
    t.form->CheckHex()->setChecked(false);
    QCOMPARE(t.form->TrafficLines(), lines);

    t.form->hide();
    t.link.ReplyEvent().Reset();
    t.Type("0 R");
    QVERIFY(t.link.ReplyEvent().Wait(5000));  // its reply came in while the window was hidden
    // The port thread offered those bytes to the window in the same notification; once it
    // has taken the next job (an empty write), that notification is over.
    std::shared_ptr<serialcomclass> port = t.link.Port();
    QVERIFY(port && port->Send("", 0));
    QTRY_VERIFY(!port->IsWriting());
    t.form->ButtonRxClearClick();
    t.form->show();
    t.Type("2 N");  // lines reach the view in order: the hidden ones would come first
    QVERIFY(t.Lines(2));
    QCOMPARE(t.form->TrafficLines(), (QStringList{"TX 2 N", "RX OK<CR>"}));

    t.form->ButtonConnectClick();
    QVERIFY(!t.link.Connected());
  }
};

QTEST_MAIN(DialogsTest)
#include "Dialogs_test.moc"
