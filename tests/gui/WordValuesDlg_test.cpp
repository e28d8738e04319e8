// The word values dialog driven as the operator drives it: mouse clicks on the grid, the
// right-click menu, the value prompts (scripted), "Apply" and "Cancel", compared against the
// record afterwards. The frame has the full 16,383 words.
#include "editor/gui/SimValuesDlgUnit.h"

#include <QCheckBox>
#include <QMenu>
#include <QPushButton>
#include <QtTest>
#include <memory>

#include "app/Qm48GlobUnit.h"
#include "common/ScriptedOperator.h"
#include "editor/gui/WordGridView.h"
#include "editor/gui/WordValuesModel.h"
#include "gui/ModalDriver.h"
#include "simulator/Qm48SimulatorUnit.h"

namespace {

constexpr int kFullFrame = kMaxWordsPerMinorFrame;

// Clicks the cell of a word (row: the value row) the way the mouse would.
void ClickWord(TSimValuesDlg* dlg, int word, Qt::MouseButton button = Qt::LeftButton,
               Qt::KeyboardModifiers keys = Qt::NoModifier) {
  WordGridView* grid = dlg->Grid();
  const QModelIndex cell = dlg->Model()->index(WordValuesModel::kValueRow, word - 1);
  grid->scrollTo(cell);
  QTest::mouseClick(grid->viewport(), button, keys, grid->visualRect(cell).center());
}

std::unique_ptr<progsimulatorclass> FullFrameSimulator() {
  auto sim = std::make_unique<progsimulatorclass>();
  sim->Setup.WordsPerMinorFrame = kFullFrame;
  for (int i = 0; i < kFullFrame; ++i)
    sim->Setup.Words[static_cast<size_t>(i)] = {16, static_cast<uint16_t>(i * 3)};
  return sim;
}

bool SameWords(const SimSetupData& a, const SimSetupData& b) {
  for (size_t i = 0; i < a.Words.size(); ++i)
    if (a.Words[i].SimWordLen != b.Words[i].SimWordLen ||
        a.Words[i].SimValue != b.Words[i].SimValue)
      return false;
  return true;
}

}  // namespace

class WordValuesDlgTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    op_ = std::make_unique<ScriptedOperator>();
    scoped_ = std::make_unique<ScopedOperator>(*op_);
    gSetupEdited = false;
  }
  void cleanup() {
    scoped_.reset();
    op_.reset();
  }

  void SequentialFillOverTheWholeFrameThenApply() {
    auto sim = FullFrameSimulator();
    op_->QueueInput("100");
    op_->QueueInput("7");
    auto driver = OnModal<TSimValuesDlg>([](TSimValuesDlg* dlg) {
      QCOMPARE(dlg->windowTitle(), QString("Simulator Assign Word Values & Length"));
      QCOMPARE(dlg->Model()->columnCount(), kFullFrame);
      QCOMPARE(dlg->Model()->CellText(WordValuesModel::kNumberRow, kFullFrame - 1),
               QString("16383"));
      ClickWord(dlg, 1);
      ClickWord(dlg, kFullFrame, Qt::LeftButton, Qt::ShiftModifier);
      QCOMPARE(dlg->Edits().SelectedCount(), kFullFrame);
      ClickWord(dlg, 2, Qt::RightButton);
      QVERIFY(dlg->PopupMenu()->isVisible());
      QCOMPARE(dlg->ClickedWord(), 2);
      dlg->SequentialAction()->trigger();
      dlg->PopupMenu()->hide();
      QCOMPARE(dlg->Model()->CellText(WordValuesModel::kValueRow, 2), QString("114"));
      QTest::mouseClick(dlg->ApplyButton(), Qt::LeftButton);
    });
    const WordValuesAnswer answer = EditWordValues(*sim, nullptr);
    QVERIFY(answer.applied);
    QVERIFY(driver->ran);
    QVERIFY(answer.edited);
    const auto boxes = op_->InputBoxes();
    QCOMPARE(boxes.size(), size_t{2});
    QCOMPARE(boxes[0].initialText, std::string("3"));  // word 2's value was offered
    for (int i = 0; i < kFullFrame; ++i) {
      const SimWord& w = sim->Setup.Words[static_cast<size_t>(i)];
      QCOMPARE(w.SimValue, static_cast<uint16_t>(100 + 7 * i));
      QCOMPARE(w.SimWordLen, uint16_t{16});
    }
  }

  void CancelAfterSeveralEditsLeavesTheRecord() {
    auto sim = FullFrameSimulator();
    auto before = std::make_unique<SimSetupData>(sim->Setup);
    op_->QueueInput("0x10");
    auto driver = OnModal<TSimValuesDlg>([](TSimValuesDlg* dlg) {
      ClickWord(dlg, 10);
      ClickWord(dlg, 4000, Qt::LeftButton, Qt::ShiftModifier);
      dlg->LengthAction(8)->trigger();
      dlg->RandomAction()->trigger();
      dlg->SameAction()->trigger();
      QCOMPARE(dlg->Edits().Word(20).SimValue, uint16_t{16});
      QCOMPARE(dlg->Edits().Word(20).SimWordLen, uint16_t{8});
      QTest::mouseClick(dlg->CancelButton(), Qt::LeftButton);
    });
    QVERIFY(!EditWordValues(*sim, nullptr));
    QVERIFY(driver->ran);
    QVERIFY(SameWords(sim->Setup, *before));
    QVERIFY(!gSetupEdited);

    // Esc is Cancel as well.
    OnModal<TSimValuesDlg>([](TSimValuesDlg* dlg) {
      ClickWord(dlg, 1);
      dlg->RandomAction()->trigger();
      QTest::keyClick(dlg, Qt::Key_Escape);
    });
    QVERIFY(!EditWordValues(*sim, nullptr));
    QVERIFY(SameWords(sim->Setup, *before));
  }

  void MouseSelectionAndTheMenuEntries() {
    auto sim = std::make_unique<progsimulatorclass>();
    sim->Setup.WordsPerMinorFrame = 12;
    TSimValuesDlg dlg;
    dlg.SetUp(sim->Setup);
    dlg.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dlg));
    QCOMPARE(dlg.Model()->columnCount(), 12);

    // No word selected: the right-click menu is not shown and has no entries.
    ClickWord(&dlg, 5, Qt::RightButton);
    QVERIFY(!dlg.PopupMenu()->isVisible());
    QVERIFY(!dlg.WordLengthEntry()->isVisible());
    QVERIFY(!dlg.WordValueEntry()->isVisible());

    ClickWord(&dlg, 6);
    ClickWord(&dlg, 3, Qt::LeftButton, Qt::ShiftModifier);
    QCOMPARE(dlg.Edits().SelectedWords(), (std::vector<int>{3, 4, 5, 6}));
    QVERIFY(dlg.WordLengthEntry()->isVisible());
    QCOMPARE(dlg.Model()->data(dlg.Model()->index(1, 3), WordValuesModel::kCellKindRole).toInt(),
             int(WordValuesModel::kSelectedCell));
    ClickWord(&dlg, 4, Qt::LeftButton, Qt::ControlModifier);
    QCOMPARE(dlg.Edits().SelectedWords(), (std::vector<int>{3, 5, 6}));
    ClickWord(&dlg, 5);
    QCOMPARE(dlg.Edits().SelectedWords(), (std::vector<int>{5}));
    ClickWord(&dlg, 5, Qt::LeftButton, Qt::ControlModifier);
    QVERIFY(!dlg.Edits().AnySelected());
    QVERIFY(!dlg.WordValueEntry()->isVisible());

    // The length menu holds 3 .. 16.
    QVERIFY(dlg.LengthAction(2) == nullptr);
    QCOMPARE(dlg.LengthAction(3)->text(), QString("3"));
    QCOMPARE(dlg.LengthAction(16)->text(), QString("16"));

    // "View Hex" shows every value as 0x and four upper-case digits.
    const uint16_t value = sim->Setup.Words[11].SimValue;
    QCOMPARE(dlg.Model()->CellText(WordValuesModel::kValueRow, 11), QString::number(value));
    dlg.ViewHexBox()->click();
    QCOMPARE(dlg.Model()->CellText(WordValuesModel::kValueRow, 11),
             QString("0x%1").arg(value, 4, 16, QChar('0')).toUpper().replace("0X", "0x"));
    dlg.close();
  }

  // Run with QM48_SCREENSHOT_DIR set to write the picture of the dialog at 16,383 words.
  void Screenshot() {
    const QByteArray dir = qgetenv("QM48_SCREENSHOT_DIR");
    if (dir.isEmpty()) QSKIP("QM48_SCREENSHOT_DIR not set");
    auto sim = std::make_unique<progsimulatorclass>();
    sim->Setup.WordsPerMinorFrame = kFullFrame;
    TSimValuesDlg dlg;
    dlg.SetUp(sim->Setup);
    dlg.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dlg));
    ClickWord(&dlg, 16374);
    ClickWord(&dlg, 16377, Qt::LeftButton, Qt::ShiftModifier);
    dlg.LengthAction(12)->trigger();
    dlg.Grid()->scrollTo(dlg.Model()->index(0, kFullFrame - 1));
    QTest::qWait(50);
    QVERIFY(dlg.grab().save(QString::fromUtf8(dir) + "/word-values-16383.png"));
  }

 private:
  std::unique_ptr<ScriptedOperator> op_;
  std::unique_ptr<ScopedOperator> scoped_;
};

QTEST_MAIN(WordValuesDlgTest)
#include "WordValuesDlg_test.moc"
