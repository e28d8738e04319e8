// The GUI operator under the offscreen platform: message boxes, the input box, the file
// choosers and the progress dialog driven as an operator would, calls from other threads,
// and the speaker.
#include "support/gui/QtOperator.h"

#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QtTest>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <fstream>
#include <mutex>
#include <thread>

#include "gui/ModalDriver.h"
#include "platform/AlsaSpeaker.h"
#include "platform/StartDirectory.h"
#include "support/TempDir.h"
#include "support/gui/ProgressDlg.h"

namespace {

// Counts up to a hold point, waits there until released (or cancelled), then counts to
// its maximum and finishes; a cancelled one takes lingerMs more to wind down. Records whether its
// dialog was up when it was started.
class GatedTask : public ProgressTask {
 public:
  GatedTask(int holdAt, int maximum, int lingerMs = 0)
      : holdAt_(holdAt), maximum_(maximum), lingerMs_(lingerMs) {}
  ~GatedTask() override {
    Release();
    if (worker_.joinable()) worker_.join();
  }
  void Start() override {
    ++starts_;
    if (QThread::currentThread() == QCoreApplication::instance()->thread())
      for (QWidget* window : QApplication::topLevelWidgets())
        if (qobject_cast<TProgressDlg*>(window) && window->isVisible()) dialogUpAtStart_ = true;
    worker_ = std::thread([this] {
      while (position_ < holdAt_ && !cancelled_) ++position_;
      {
        std::unique_lock lock(mutex_);
        gate_.wait(lock, [this] { return released_ || cancelled_; });
      }
      while (position_ < maximum_ && !cancelled_) ++position_;
      if (cancelled_) std::this_thread::sleep_for(std::chrono::milliseconds(lingerMs_));
      finished_ = true;
    });
  }
  bool Finished() const override { return finished_; }
  int Position() const override { return position_; }
  int Maximum() const override { return maximum_; }
  void Cancel() override {
    std::lock_guard lock(mutex_);
    cancelled_ = true;
    gate_.notify_all();
  }
  void Release() {
    std::lock_guard lock(mutex_);
    released_ = true;
    gate_.notify_all();
  }

  int Starts() const { return starts_; }
  bool DialogUpAtStart() const { return dialogUpAtStart_; }
  bool Cancelled() const { return cancelled_; }

 private:
  const int holdAt_;
  const int maximum_;
  const int lingerMs_;
  std::mutex mutex_;
  std::condition_variable gate_;
  bool released_ = false;
  std::atomic<bool> cancelled_{false};
  std::atomic<bool> finished_{false};
  std::atomic<int> position_{0};
  int starts_ = 0;
  bool dialogUpAtStart_ = false;
  std::thread worker_;
};

ProgressDialogRequest Request(const std::string& caption, int timerMs) {
  ProgressDialogRequest request;
  request.caption = caption;
  request.timerMs = timerMs;
  return request;
}

}  // namespace

class QtOperatorTest : public QObject {
  Q_OBJECT

 private:
  // No sound in these tests unless a test asks for it.
  QtOperator op{std::make_unique<RecordingSpeaker>()};

 private slots:
  void messageBoxAnswersTheButtonPressed_data() {
    QTest::addColumn<int>("buttons");
    QTest::addColumn<int>("press");
    QTest::addColumn<int>("answer");
    QTest::newRow("Ok") << int(MsgButtons::Ok) << int(QMessageBox::Ok) << int(MsgAnswer::Ok);
    QTest::newRow("OkCancel/Ok") << int(MsgButtons::OkCancel) << int(QMessageBox::Ok)
                                 << int(MsgAnswer::Ok);
    QTest::newRow("OkCancel/Cancel")
        << int(MsgButtons::OkCancel) << int(QMessageBox::Cancel) << int(MsgAnswer::Cancel);
    QTest::newRow("YesNo/Yes") << int(MsgButtons::YesNo) << int(QMessageBox::Yes)
                               << int(MsgAnswer::Yes);
    QTest::newRow("YesNo/No") << int(MsgButtons::YesNo) << int(QMessageBox::No)
                              << int(MsgAnswer::No);
    QTest::newRow("YesNoCancel/Yes")
        << int(MsgButtons::YesNoCancel) << int(QMessageBox::Yes) << int(MsgAnswer::Yes);
    QTest::newRow("YesNoCancel/No")
        << int(MsgButtons::YesNoCancel) << int(QMessageBox::No) << int(MsgAnswer::No);
    QTest::newRow("YesNoCancel/Cancel")
        << int(MsgButtons::YesNoCancel) << int(QMessageBox::Cancel) << int(MsgAnswer::Cancel);
  }
  void messageBoxAnswersTheButtonPressed() {
    QFETCH(int, buttons);
    QFETCH(int, press);
    QFETCH(int, answer);
    int buttonCount = -1;
    auto driver = OnModal<QMessageBox>([&](QMessageBox* box) {
      buttonCount = int(box->buttons().size());
      box->button(QMessageBox::StandardButton(press))->click();
    });
    MsgAnswer got = op.MessageBox("Question?", "SAVE", MsgButtons(buttons), MsgIcon::Question);
    QVERIFY(driver->ran);
    QCOMPARE(int(got), answer);
    int expected = buttons == int(MsgButtons::Ok)            ? 1
                   : buttons == int(MsgButtons::YesNoCancel) ? 3
                                                             : 2;
    QCOMPARE(buttonCount, expected);
  }

  void messageBoxShowsTextCaptionAndIconAsPlainText() {
    QString text, title;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    Qt::TextFormat format = Qt::AutoText;
    OnModal<QMessageBox>([&](QMessageBox* box) {
      text = box->text();
      title = box->windowTitle();
      icon = box->icon();
      format = box->textFormat();
      box->accept();
    });
    op.MessageBox("<b>INVALID FILE</b>", "ERROR", MsgButtons::Ok, MsgIcon::Error);
    QCOMPARE(text, QString("<b>INVALID FILE</b>"));
    QCOMPARE(title, QString("ERROR"));
    QCOMPARE(icon, QMessageBox::Critical);
    QCOMPARE(format, Qt::PlainText);
  }

  void messageBoxEscapeMeansCancelOrNo() {
    auto pressEscape = [](QMessageBox* box) { QTest::keyClick(box, Qt::Key_Escape); };
    OnModal<QMessageBox>(pressEscape);
    QCOMPARE(op.MessageBox("Save First?", "SAVE", MsgButtons::YesNoCancel, MsgIcon::Question),
             MsgAnswer::Cancel);
    OnModal<QMessageBox>(pressEscape);
    QCOMPARE(op.MessageBox("Sure?", "Q", MsgButtons::YesNo, MsgIcon::Question), MsgAnswer::No);
    OnModal<QMessageBox>(pressEscape);
    QCOMPARE(op.MessageBox("Done", "INFO", MsgButtons::Ok, MsgIcon::Information), MsgAnswer::Ok);
  }

  void inputBoxTellsOkFromCancel() {
    QString title, label, shown;
    OnModal<QInputDialog>([&](QInputDialog* box) {
      title = box->windowTitle();
      label = box->labelText();
      shown = box->textValue();
      box->setTextValue("0x1F");
      box->accept();
    });
    QCOMPARE(op.InputBox("Input Range 3 - 16383", "Words Per Minor Frame", "16"),
             std::optional<std::string>("0x1F"));
    QCOMPARE(title, QString("Input Range 3 - 16383"));
    QCOMPARE(label, QString("Words Per Minor Frame"));
    QCOMPARE(shown, QString("16"));

    // Cancel is no answer, even after the operator typed something.
    OnModal<QInputDialog>([](QInputDialog* box) {
      box->setTextValue("999");
      box->reject();
    });
    QVERIFY(!op.InputBox("T", "P", "16").has_value());

    // OK on the offered text is an answer.
    OnModal<QInputDialog>([](QInputDialog* box) { box->accept(); });
    QCOMPARE(op.InputBox("T", "P", "16"), std::optional<std::string>("16"));

    // OK on an emptied field gives the empty text, not the initial one.
    OnModal<QInputDialog>([](QInputDialog* box) {
      box->setTextValue("");
      box->accept();
    });
    QCOMPARE(op.InputBox("T", "P", "16"), std::optional<std::string>(""));
  }

  void nameFiltersAreTranslated() {
    QCOMPARE(QtNameFilters("File Type (*.QM48)|*.QM48"), QStringList{"File Type (*.QM48)"});
    QCOMPARE(QtNameFilters("Waves|*.R4V8SimUserWave|All|*.a;*.b"),
             (QStringList{"Waves (*.R4V8SimUserWave)", "All (*.a *.b)"}));
    QCOMPARE(QtNameFilters("Setups (old)|*.QM48"), QStringList{"Setups (old) (*.QM48)"});
    QCOMPARE(QtNameFilters(""), QStringList{});
  }

  void saveChooserOpensWhereAskedAndAddsTheExtension() {
    TempDir dir;
    FileChooserRequest request;
    request.kind = FileChooserKind::Save;
    request.title = "Save File";
    request.initialDirectory = dir.Path();
    request.defaultExtension = "QM48";
    request.filter = "File Type (*.QM48)|*.QM48";
    request.suggestedName = "RUN1";

    QString title, directory, suffix, typed;
    QStringList filters;
    QFileDialog::AcceptMode mode = QFileDialog::AcceptOpen;
    auto driver = OnModal<QFileDialog>([&](QFileDialog* chooser) {
      title = chooser->windowTitle();
      directory = chooser->directory().absolutePath();
      suffix = chooser->defaultSuffix();
      filters = chooser->nameFilters();
      mode = chooser->acceptMode();
      auto* nameEdit = chooser->findChild<QLineEdit*>("fileNameEdit");
      typed = nameEdit ? nameEdit->text() : QString("(no name field)");
      chooser->selectFile("RUN 2");
      static_cast<QDialog*>(chooser)->accept();  // as the Save/Open button does
    });
    std::string path = "unchanged";
    QVERIFY(op.ChooseFile(request, path));
    QVERIFY(driver->ran);
    QCOMPARE(title, QString("Save File"));
    QCOMPARE(directory, QDir(QString::fromStdString(dir.Path())).absolutePath());
    QCOMPARE(suffix, QString("QM48"));
    QCOMPARE(filters, QStringList{"File Type (*.QM48)"});
    QCOMPARE(mode, QFileDialog::AcceptSave);
    QCOMPARE(typed, QString("RUN1"));
    QCOMPARE(path, dir.File("RUN 2.QM48"));

    // Cancel leaves the path as it was.
    OnModal<QFileDialog>([](QFileDialog* chooser) { chooser->reject(); });
    QVERIFY(!op.ChooseFile(request, path));
    QCOMPARE(path, dir.File("RUN 2.QM48"));
  }

  void openChooserTakesAnExistingFileAsNamed() {
    TempDir dir;
    // A name the filter's case does not match is still taken, exactly as it is on the disk.
    std::ofstream(dir.File("Mixed.qm48")) << "[SIMULATOR SETUP]\n";
    FileChooserRequest request;
    request.kind = FileChooserKind::Open;
    request.title = "Open File";
    request.initialDirectory = dir.Path() + "/no-such-folder";  // falls back to the start
    request.defaultExtension = "QM48";
    request.filter = "File Type (*.QM48)|*.QM48";

    QString directory;
    QFileDialog::FileMode fileMode = QFileDialog::AnyFile;
    OnModal<QFileDialog>([&](QFileDialog* chooser) {
      directory = chooser->directory().absolutePath();
      fileMode = chooser->fileMode();
      chooser->selectFile(QString::fromStdString(dir.File("Mixed.qm48")));
      static_cast<QDialog*>(chooser)->accept();  // as the Save/Open button does
    });
    std::string path;
    QVERIFY(op.ChooseFile(request, path));
    QCOMPARE(path, dir.File("Mixed.qm48"));
    QCOMPARE(fileMode, QFileDialog::ExistingFile);
    QCOMPARE(directory, QDir(QString::fromStdString(StartDirectory())).absolutePath());
  }

  void progressDialogShowsProgressAndClosesWhenTheTaskFinishes() {
    GatedTask task(40, 100);
    QString caption;
    QColor background;
    bool closeButton = true;
    int heldValue = -1, heldMaximum = -1;
    OnModal<TProgressDlg>([&](TProgressDlg* dialog) {
      caption = dialog->windowTitle();
      background = dialog->palette().color(QPalette::Window);
      closeButton = dialog->windowFlags().testFlag(Qt::WindowCloseButtonHint);
      // Wait until the timer has shown the hold point, then let the task finish.
      QTRY_COMPARE_WITH_TIMEOUT(dialog->ProgressBar()->value(), 40, 5000);
      heldValue = dialog->ProgressBar()->value();
      heldMaximum = dialog->ProgressBar()->maximum();
      task.Release();
    });
    op.RunProgress(Request("LOADING SIMULATOR", 20), task);
    QVERIFY(task.Finished());
    QCOMPARE(task.Starts(), 1);
    QVERIFY(task.DialogUpAtStart());
    QVERIFY(!task.Cancelled());
    QCOMPARE(caption, QString("LOADING SIMULATOR"));
    QCOMPARE(background, QColor(Qt::red));
    QVERIFY(!closeButton);
    QCOMPARE(heldValue, 40);
    QCOMPARE(heldMaximum, 100);
    QVERIFY(QApplication::activeModalWidget() == nullptr);
  }

  void progressDialogOfAFinishedTaskClosesOnItsFirstTick() {
    GatedTask task(0, 0);
    task.Release();
    // The default 500 ms timer: the run ends after one tick, without anyone pressing.
    op.RunProgress(Request("LOADING QUERY INFO", 500), task);
    QVERIFY(task.Finished());
    QVERIFY(!task.Cancelled());
  }

  void cancelAsksTheTaskToStopAndWaitsForIt() {
    GatedTask task(10, 100, 300);
    bool buttonEnabledAfter = true;
    auto driver = OnModal<TProgressDlg>([&](TProgressDlg* dialog) {
      QTest::mouseClick(dialog->CancelButton(), Qt::LeftButton);
      buttonEnabledAfter = dialog->CancelButton()->isEnabled();
    });
    op.RunProgress(Request("LOADING TRANSMITTER", 500), task);
    QVERIFY(driver->ran);
    QVERIFY(task.Cancelled());
    QVERIFY(task.Finished());  // returned only once the worker had stopped
    QVERIFY(task.Position() < 100);
    QVERIFY(!buttonEnabledAfter);

    // Esc is the Cancel button.
    GatedTask escaped(10, 100);
    OnModal<TProgressDlg>([](TProgressDlg* dialog) { QTest::keyClick(dialog, Qt::Key_Escape); });
    op.RunProgress(Request("LOADING W-QUERY INFO", 500), escaped);
    QVERIFY(escaped.Cancelled());
    QVERIFY(escaped.Finished());
  }

  void callsFromAnotherThreadGetNoWindow() {
    // No dialog may open: any modal window would stay up, since nobody drives it.
    MsgAnswer answer = MsgAnswer::Ok;
    std::optional<std::string> typed = "not asked";
    std::string path = "kept";
    bool chosen = true;
    GatedTask task(5, 10);
    task.Release();
    std::thread worker([&] {
      answer = op.MessageBox("From a worker", "INFO", MsgButtons::YesNoCancel, MsgIcon::Question);
      typed = op.InputBox("T", "P", "initial");
      chosen = op.ChooseFile(FileChooserRequest{}, path);
      op.RunProgress(Request("LOADING", 20), task);
    });
    worker.join();
    QCOMPARE(answer, MsgAnswer::Cancel);
    QVERIFY(!typed.has_value());
    QVERIFY(!chosen);
    QCOMPARE(path, std::string("kept"));
    QVERIFY(task.Finished());
  }

  void tonesGoToTheSpeakerFromAnyThread() {
    auto speaker = std::make_unique<RecordingSpeaker>();
    RecordingSpeaker* recorded = speaker.get();
    QtOperator withSpeaker(std::move(speaker));
    withSpeaker.PlayTones({{800, 50}, {700, 50}});
    std::thread worker([&] { withSpeaker.PlayTones({{100, 50}}); });
    worker.join();
    auto played = recorded->Played();
    QCOMPARE(int(played.size()), 2);
    QCOMPARE(played[0][1].frequencyHz, 700);
    QCOMPARE(played[1][0].durationMs, 50);
  }

  void tonesWithoutASoundDeviceDoNotHoldTheCaller() {
    std::vector<std::string> reports;
    QtOperator silent(std::make_unique<AlsaSpeaker>(
        "qm48-no-such-device", [&](const std::string& line) { reports.push_back(line); }));
    // Far longer than any signal: a silent speaker must not sit out the sequence.
    std::vector<Tone> long_tones(20, Tone{440, 1000});
    auto start = std::chrono::steady_clock::now();
    silent.PlayTones(long_tones);
    silent.PlayTones(long_tones);
    auto waited = std::chrono::steady_clock::now() - start;
    QVERIFY(waited < std::chrono::seconds(10));
    QCOMPARE(int(reports.size()), 1);
  }
};

QTEST_MAIN(QtOperatorTest)
#include "QtOperator_test.moc"
