// The setup window and its pages with a scripted operator: the header against the format
// globals, the checks of placed words, the transmitter and query pages, the frame map's click.
#include <QAction>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QTableWidget>
#include <optional>

#include "ModalDriver.h"
#include "SetupTestKit.h"
#include "app/ApplicationLink.h"
#include "common/ScriptedOperator.h"
#include "editor/gui/FrameMapView.h"
#include "editor/gui/FspMmiUnit.h"
#include "editor/gui/MinFrameMmiUnit.h"
#include "editor/gui/Qm48SetupMMIUnit.h"
#include "editor/gui/SimDynamicMmiUnit.h"
#include "editor/gui/SimSetupMMIUnit.h"
#include "editor/gui/SimUniqueMmiUnit.h"
#include "editor/gui/SimValuesDlgUnit.h"
#include "link/UnitLink.h"
#include "query/gui/QuerySetupMMIUnit.h"
#include "support/Signals.h"
#include "transmitter/gui/TxSetupMMIUnit.h"
#include "unit/UnitFaults.h"

class PagesTest : public QObject {
  Q_OBJECT

  std::optional<ProgramObjectsScope> objects_;
  std::optional<ScriptedOperator> op_;
  std::optional<ScopedOperator> scope_;
  static void TypeText(QLineEdit* edit, const QString& text) {
    edit->setFocus();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, text);
  }

 private slots:
  void init() {
    cleanup();  // a test that runs several cases starts each afresh
    objects_.emplace();
    scope_.emplace(op_.emplace());
    QueryProg->Results.PremodFilterFreqKhz = {100, 300, 600, 1000};
  }
  void cleanup() {
    scope_.reset();
    objects_.reset();
  }

  // Inert until shown; a name is kept in lower case, without spaces, at most 8 printable chars.
  void headerFollowsTheFormatGlobals() {
    TQm48SetupMMIForm form(AppSession(), nullptr);
    form.SpinEditFormatNumber->setValue(3);
    QCOMPARE(gFormatNumber, 0);
    gFormatNumber = 1;
    gFormatName_[1] = "Ab Cd";
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QCOMPARE(form.SpinEditFormatNumber->value(), 2);
    QCOMPARE(form.EditFormatName->text(), QString("abcd"));
    QVERIFY(!gSetupEdited && op_->Progresses().empty());  // showing the setup is no edit

    gFormatName_[1] = "two";
    form.SpinEditFormatNumber->stepDown();
    TypeText(form.EditFormatName, "AB CD EF");
    QCOMPARE(gFormatName_[0], std::string("abcdef"));
    QVERIFY(gSetupEdited);
    TypeText(form.EditFormatName, "ABCDEFGHIJ");
    QCOMPARE(gFormatName_[0], std::string("abcdefgh"));
    TypeText(form.EditFormatName, "");
    for (const QChar c : QString::fromUtf8("Ab\u00e9\u20ac1~")) {
      QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
      QApplication::sendEvent(form.EditFormatName, &press);
    }
    QCOMPARE(form.EditFormatName->text(), QString("Ab1~"));
    QCOMPARE(gFormatName_[0], std::string("ab1~"));
    form.SpinEditFormatNumber->stepUp();
    QCOMPARE(form.EditFormatName->text(), QString("two"));
    for (int i = 0; i < 6; ++i) form.SpinEditFormatNumber->stepUp();  // never past 4
    QCOMPARE(gFormatNumber, 3);
    QTest::keyClicks(form.SpinEditFormatNumber, "1");  // and not typed into
    QCOMPARE(gFormatNumber, 3);
  }

  // A placed word an edit in another panel puts on a sync or SFID word is caught at once.
  void anEditElsewhereChecksThePlacedWordsAtOnce() {
    TQm48SetupMMIForm form(AppSession(), nullptr);
    TSimSetupMMIForm* host = form.SimPage();
    auto* sync = qobject_cast<TFspMmiForm*>(host->Panel(TSimSetupMMIForm::kFrameSync));
    op_->QueueInput("64");  // 64 pattern bits take words 1 to 4; waves are on 4..8
    Entry(sync->PopupMenu, "Pattern Length")->trigger();
    QCOMPARE(op_->MessageBoxes().size(), size_t{1});
    QCOMPARE(op_->MessageBoxes()[0].text,
             std::string("The Wave Word Start Must Be Greater Than 4  (check framesync pattern "
                         "length)."));
    QCOMPARE(SimProg->Setup.DynamicWords[0].SimDynamicWordWave, 0);
    QCOMPARE(SimProg->Setup.DynamicWords[1].SimDynamicWordNumber, 5);  // the others stay
    SimProg->Setup.SubframeMode = 1;
    host->RefreshPanels();
    auto* minor = qobject_cast<TMinFrameMmiForm*>(host->Panel(TSimSetupMMIForm::kMinorFrame));
    op_->QueueInput("10");  // unique words are on 9..15
    Entry(minor->PopupMenu, "Sync ID Word Number")->trigger();
    QCOMPARE(op_->MessageBoxes().size(), size_t{2});
    QCOMPARE(op_->MessageBoxes()[1].text, std::string("UNIQUE WORD NUMBER 2  The Unique Word "
                                                      "Start CANNOT Be (cause of sfid) 10"));
    QCOMPARE(SimProg->Setup.UniqueWords[1].SimUniqueWordStartWord, -1);
  }

  // A slot made invalid behind a grid's back is caught on its next press, selection or leaving.
  void bothGridsCheckOnPressSelectionAndLeaving() {
    for (const char* event : {"press", "select", "leave"}) {
      for (const bool dynamic : {true, false}) {
        init();
        QWidget window;
        auto* other = new QLineEdit(&window);
        QTableWidget* grid = nullptr;
        if (dynamic) {
          SimProg->Setup.DynamicWords[0].SimDynamicWordNumber = 1;  // on the sync words
          grid = (new TSimDynamicMmiForm(AppSession(), &window))->Grid;
        } else {
          SimProg->Setup.UniqueWords[0].SimUniqueWordStartWord = 2;
          grid = (new TSimUniqueMmiForm(AppSession(), &window))->Grid;
        }
        grid->parentWidget()->move(0, 30);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QVERIFY(op_->MessageBoxes().empty());
        if (event[0] == 'p') {
          QTest::mousePress(grid->viewport(), Qt::LeftButton, {},
                            grid->visualItemRect(grid->item(3, 1)).center());
        } else if (event[0] == 's') {
          grid->setCurrentCell(4, 1);
        } else {
          window.activateWindow();
          grid->setFocus();
          QTRY_VERIFY(grid->hasFocus());
          other->setFocus();
        }
        QTRY_COMPARE(op_->MessageBoxes().size(), size_t{1});
        QVERIFY(dynamic ? SimProg->Setup.DynamicWords[0].SimDynamicWordWave == 0
                        : SimProg->Setup.UniqueWords[0].SimUniqueWordStartWord == -1);
        QVERIFY(gSetupEdited);
      }
    }
  }

  // The frequency takes digits and a point, snaps on Enter, keeps to the unit's range.
  void transmitterPage() {
    TTxSetupMMIForm page(AppSession(), nullptr);
    page.ScrollBarDeviation->setValue(10);  // inert until shown
    QVERIFY(!gSetupEdited);
    QueryProg->Results.MinFreqMhz = 2200;
    QueryProg->Results.MaxFreqMhz = 2400;
    QueryProg->FreqLimitsReceived = true;
    page.show();
    QVERIFY(QTest::qWaitForWindowExposed(&page));
    TypeText(page.EditFreqMhz, "2250.37");
    QTest::keyClick(page.EditFreqMhz, Qt::Key_Return);
    QVERIFY(qAbs(TxProg->Setup.FreqMhz - 2250.35) < 1e-9);
    QCOMPARE(page.EditFreqMhz->text(), QString("2250.3"));
    const int warnings = op_->CountPlayed(WarningTones());
    page.EditFreqMhz->end(false);
    for (Qt::Key key : {Qt::Key_A, Qt::Key_Backspace, Qt::Key_Minus})
      QTest::keyClick(page.EditFreqMhz, key);
    QCOMPARE(page.EditFreqMhz->text(), QString("2250.3"));
    QCOMPARE(op_->CountPlayed(WarningTones()), warnings + 3);
    gSetupEdited = false;
    QTest::keyClick(page.EditFreqMhz, Qt::Key_Escape);
    QTest::keyClick(page.EditFreqMhz, Qt::Key_Tab);
    QTRY_VERIFY(!page.EditFreqMhz->hasFocus());
    QVERIFY(!gSetupEdited);              // Escape and Tab are no edits
    TypeText(page.EditFreqMhz, "3000");  // limited to the unit's range
    QTest::keyClick(page.EditFreqMhz, Qt::Key_Return);
    QVERIFY(qAbs(TxProg->Setup.FreqMhz - 2400.5) < 1e-9);
  }

  // Without a port the query is skipped quietly; a query that did not complete is told.
  void queryPage() {
    TQm48SetupMMIForm form(AppSession(), nullptr);
    TQuerySetupMMIForm* page = form.QueryPage();
    QTest::mouseClick(page->ButtonQueryAccept, Qt::LeftButton);
    QVERIFY(op_->MessageBoxes().empty() && op_->Progresses().empty());
    VirtualUnitOptions silent;
    std::string error;
    QVERIFY(ParseFaultMode("silent", silent.fault, error));
    VirtualUnit unit(silent);
    UnitLink link;
    ApplicationLinkScope scope(link);  // the pages send on the application's link
    QVERIFY(unit.Start() && link.Open(PortConfig{}, unit.DevicePath()));
    op_->ClearRecords();
    op_->CancelProgressAfterPolls(1);
    QTest::mouseClick(page->ButtonQueryAccept, Qt::LeftButton);
    QCOMPARE(op_->MessageBoxes().at(0).caption, std::string("QUERY INCOMPLETE"));
    QCOMPARE(op_->Progresses().size(), size_t{5});  // every query still had its turn
  }

  // A click on the frame map opens the word values there; what they apply is drawn at once.
  void frameMapClickOpensTheWordValues() {
    TQm48SetupMMIForm form(AppSession(), nullptr);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    form.SelectTab(3);
    FrameMapArea* area = form.FrameMapPage()->Area();
    area->SetZoomLevel(11);  // 16-pixel cells
    const QPoint word41(40 * 16 + 8 - area->horizontalScrollBar()->value(), 8);
    auto driver = OnModal<TSimValuesDlg>([](TSimValuesDlg* dlg) {
      dlg->GridPress(41, Qt::LeftButton, Qt::NoModifier, {});
      dlg->LengthAction(8)->trigger();
      dlg->ApplyButton()->click();
    });
    area->verticalScrollBar()->setValue(0);
    QTest::mouseClick(area->viewport(), Qt::LeftButton, {}, word41);
    QVERIFY(driver->ran);
    QCOMPARE(SimProg->Setup.Words[40].SimWordLen, uint16_t{8});
    QVERIFY(gSetupEdited && area->ToolTipAt(word41).contains("Length: 8 bits"));
  }
};

QTEST_MAIN(PagesTest)
#include "Pages_test.moc"
