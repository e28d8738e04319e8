// The setup window: its header against the format globals, its tabs, the simulator
// page's panel places and visibility rules, "Load Simulator" and "Load All".
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QTabBar>
#include <QtTest>
#include <algorithm>

#include "SetupTestKit.h"
#include "common/ScriptedOperator.h"
#include "editor/gui/FspMmiUnit.h"
#include "editor/gui/MinFrameMmiUnit.h"
#include "editor/gui/Qm48SetupMMIUnit.h"
#include "editor/gui/SimSetupMMIUnit.h"
#include "query/gui/QuerySetupMMIUnit.h"
#include "transmitter/gui/TxSetupMMIUnit.h"

namespace {

std::vector<std::string> ProgressCaptions(const ScriptedOperator& op) {
  std::vector<std::string> captions;
  for (const auto& p : op.Progresses()) captions.push_back(p.request.caption);
  return captions;
}

void TypeName(QLineEdit* edit, const QString& text) {
  edit->setFocus();
  edit->selectAll();
  QTest::keyClick(edit, Qt::Key_Delete);
  QTest::keyClicks(edit, text);
}

}  // namespace

class SetupWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void builtWithThreeTabsAndInertUntilShown() {
    ProgramObjectsScope objects;
    ScriptedOperator op;
    ScopedOperator scoped(op);
    TQm48SetupMMIForm form(objects.Session(), nullptr);
    QCOMPARE(form.TabControl->count(), 4);
    QCOMPARE(form.TabControl->tabText(0), QString("Simulator"));
    QCOMPARE(form.TabControl->tabText(1), QString("Transmitter"));
    QCOMPARE(form.TabControl->tabText(2), QString("Query"));
    QCOMPARE(form.TabControl->tabText(3), QString("Frame Map"));
    QCOMPARE(form.SpinEditFormatNumber->minimum(), 1);
    QCOMPARE(form.SpinEditFormatNumber->maximum(), 4);
    QCOMPARE(form.EditFormatName->text(), QString("XXXXXXXX"));
    QCOMPARE(form.EditFormatName->maxLength(), 8);

    // Before the first show a tab change brings nothing forward and edits nothing.
    form.SelectTab(2);
    QCOMPARE(form.FrontPage(), static_cast<QWidget*>(form.SimPage()));
    form.SpinEditFormatNumber->setValue(3);
    QCOMPARE(gFormatNumber, 0);
    QVERIFY(!gSetupEdited);

    gFormatNumber = 1;
    gFormatName_[1] = "Ab Cd";
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QCOMPARE(form.CurrentTab(), 0);
    QCOMPARE(form.FrontPage(), static_cast<QWidget*>(form.SimPage()));
    QCOMPARE(form.SpinEditFormatNumber->value(), 2);
    QCOMPARE(form.EditFormatName->text(), QString("abcd"));
    // Showing the setup is no edit of it.
    QVERIFY(!gSetupEdited);
    QVERIFY(op.Progresses().empty());

    form.SelectTab(1);
    QCOMPARE(form.FrontPage(), static_cast<QWidget*>(form.TxPage()));
    form.SelectTab(2);
    QCOMPARE(form.FrontPage(), static_cast<QWidget*>(form.QueryPage()));
  }

  void aTypedNameIsStoredWithoutSpacesInLowerCase() {
    ProgramObjectsScope objects;
    ScriptedOperator op;
    ScopedOperator scoped(op);
    TQm48SetupMMIForm form(objects.Session(), nullptr);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    TypeName(form.EditFormatName, "AB CD EF");
    QCOMPARE(gFormatName_[0], std::string("abcdef"));
    QCOMPARE(form.EditFormatName->text(), QString("AB CD EF"));  // as typed, until refreshed
    QVERIFY(gSetupEdited);
    // At most eight characters can be typed, spaces included.
    TypeName(form.EditFormatName, "ABCDEFGHIJ");
    QCOMPARE(gFormatName_[0], std::string("abcdefgh"));
    form.RefreshFromSetup();
    QCOMPARE(form.EditFormatName->text(), QString("abcdefgh"));
    // Printable ASCII only: other characters are refused as they are typed.
    TypeName(form.EditFormatName, "");
    for (const QChar c : QString::fromUtf8("Ab\u00e9\u20ac1~")) {
      QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
      QApplication::sendEvent(form.EditFormatName, &press);
    }
    QCOMPARE(form.EditFormatName->text(), QString("Ab1~"));
    QCOMPARE(gFormatName_[0], std::string("ab1~"));
    QCOMPARE(gFormatName_[1], std::string("two"));
  }

  // A window works on the session it was handed: the selection, the records and the edited
  // flag change there, and the application's session is left as it was.
  void aWindowWorksOnTheSessionItWasHanded() {
    ProgramObjectsScope objects;
    ScriptedOperator op;
    ScopedOperator scoped(op);
    SetupSession own;
    own.formatNames = {"mine", "", "", ""};
    TQm48SetupMMIForm form(own, nullptr);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QCOMPARE(form.EditFormatName->text(), QString("mine"));

    form.SpinEditFormatNumber->stepUp();
    TypeName(form.EditFormatName, "Own Two");
    QVERIFY(own.edited);
    QCOMPARE(own.LoadFormat().Number, 1);
    QCOMPARE(own.LoadFormat().Name, std::string("owntwo"));

    own.edited = false;
    form.SelectTab(1);
    form.TxPage()->ScrollBarDeviation->setValue(321);
    QCOMPARE(own.Tx().Setup.FmDeviation, 321);
    QVERIFY(own.edited);

    QCOMPARE(TxProg->Setup.FmDeviation, 0);
    QCOMPARE(gFormatNumber, 0);
    QCOMPARE(gFormatName_[1], std::string("two"));
    QVERIFY(!gSetupEdited);
  }

  void steppingTheFormatNumberShowsEachNumbersOwnName() {
    ProgramObjectsScope objects;
    ScriptedOperator op;
    ScopedOperator scoped(op);
    TQm48SetupMMIForm form(objects.Session(), nullptr);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QCOMPARE(form.EditFormatName->text(), QString("one"));

    form.SpinEditFormatNumber->stepUp();
    QCOMPARE(gFormatNumber, 1);
    QCOMPARE(form.EditFormatName->text(), QString("two"));
    QVERIFY(gSetupEdited);
    TypeName(form.EditFormatName, "Zwei");
    form.SpinEditFormatNumber->stepDown();
    QCOMPARE(gFormatNumber, 0);
    QCOMPARE(form.EditFormatName->text(), QString("one"));
    form.SpinEditFormatNumber->stepUp();
    QCOMPARE(form.EditFormatName->text(), QString("zwei"));
    QCOMPARE(gFormatName_, (std::array<std::string, 4>{"one", "zwei", "three", "four"}));

    // The arrows never leave 1..4, and the text cannot be typed into.
    for (int i = 0; i < 6; ++i) form.SpinEditFormatNumber->stepUp();
    QCOMPARE(gFormatNumber, 3);
    QTest::keyClicks(form.SpinEditFormatNumber, "1");
    QCOMPARE(gFormatNumber, 3);
  }

  // An edit in one panel that puts a placed wave or unique word on a sync or SFID word is
  // caught at once, not at the next visit of the words' own grid.
  void anEditElsewhereChecksThePlacedWordsAtOnce() {
    ProgramObjectsScope objects;
    ScriptedOperator op;
    ScopedOperator scoped(op);
    TQm48SetupMMIForm form(objects.Session(), nullptr);
    TSimSetupMMIForm* host = form.SimPage();
    auto entry = [](QMenu* menu, const QString& text) -> QAction* {
      for (QAction* a : menu->actions())
        if (a->text() == text) return a;
      return nullptr;
    };
    // Waves on words 4..8, unique words on 9..15; 64 pattern bits take words 1 to 4.
    auto* sync = qobject_cast<TFspMmiForm*>(host->Panel(TSimSetupMMIForm::kFrameSync));
    QVERIFY(sync != nullptr);
    op.QueueInput("64");
    entry(sync->PopupMenu, "Pattern Length")->trigger();
    QCOMPARE(SimProg->Setup.FrameSyncLength, 64);
    QCOMPARE(op.MessageBoxes().size(), size_t{1});
    QCOMPARE(op.MessageBoxes()[0].caption, std::string("DYNAMIC WORD SETUP ERROR"));
    QCOMPARE(op.MessageBoxes()[0].text,
             std::string("The Wave Word Start Must Be Greater Than 4  (check framesync pattern "
                         "length)."));
    QCOMPARE(SimProg->Setup.DynamicWords[0].SimDynamicWordWave, 0);
    QCOMPARE(SimProg->Setup.DynamicWords[1].SimDynamicWordNumber, 5);  // the others stay

    SimProg->Setup.SubframeMode = 1;
    host->RefreshPanels();
    auto* minor = qobject_cast<TMinFrameMmiForm*>(host->Panel(TSimSetupMMIForm::kMinorFrame));
    QVERIFY(minor != nullptr);
    op.QueueInput("10");
    entry(minor->PopupMenu, "Sync ID Word Number")->trigger();
    QCOMPARE(SimProg->Setup.SfIdWordNum, 10);
    QCOMPARE(op.MessageBoxes().size(), size_t{2});
    QCOMPARE(
        op.MessageBoxes()[1].text,
        std::string("UNIQUE WORD NUMBER 2  The Unique Word Start CANNOT Be (cause of sfid) 10"));
    QCOMPARE(SimProg->Setup.UniqueWords[1].SimUniqueWordStartWord, -1);
  }

  void panelsArePlacedInTwoColumnsAndRedrawnAfterEveryEdit() {
    ProgramObjectsScope objects;
    ScriptedOperator op;
    ScopedOperator scoped(op);
    TQm48SetupMMIForm form(objects.Session(), nullptr);
    TSimSetupMMIForm* host = form.SimPage();
    std::vector<std::string> journal;
    const char* names[] = {"major", "minor", "data", "sync", "dynamic", "unique"};
    std::vector<JournalPanel*> panels;
    for (int slot = 0; slot < TSimSetupMMIForm::kSlotCount; ++slot) {
      panels.push_back(new JournalPanel(names[slot], journal, QSize(200 + slot, 100 + 10 * slot)));
      host->SetPanel(slot, panels.back());
      QCOMPARE(host->Panel(slot), static_cast<SimPanelBase*>(panels.back()));
      QCOMPARE(panels.back()->parentWidget(), static_cast<QWidget*>(host));
    }
    const QRect button = host->SimSetupWordValuesSpeedButton->geometry();
    const QRect major = panels[0]->geometry(), minor = panels[1]->geometry();
    const QRect data = panels[2]->geometry(), sync = panels[3]->geometry();
    const QRect dynamic = panels[4]->geometry(), unique = panels[5]->geometry();
    QCOMPARE(button.size(), QSize(121, 25));
    QCOMPARE(major.topLeft(), QPoint(button.x(), button.bottom() + 1 + 20));
    QCOMPARE(minor.topLeft(), QPoint(major.x(), major.bottom() + 1 + 10));
    QCOMPARE(minor.width(), major.width());
    QCOMPARE(data.topLeft(), QPoint(major.x(), minor.bottom() + 1 + 10));
    QCOMPARE(data.width(), major.width());
    QCOMPARE(sync.topLeft(), QPoint(major.right() + 1 + 10, major.y()));
    QCOMPARE(dynamic.topLeft(), QPoint(sync.x(), sync.bottom() + 1 + 10));
    QCOMPARE(unique.topLeft(), QPoint(sync.x(), dynamic.bottom() + 1 + 10));
    QCOMPARE(dynamic.width(), sync.width());
    QCOMPARE(unique.width(), sync.width());
    QCOMPARE(host->height(), std::max(unique.bottom(), data.bottom()) + 1 + 10);
    QVERIFY(host->ButtonSimAccept->geometry().right() <= host->width());
    QVERIFY(host->ButtonSimAccept->x() > sync.x());

    journal.clear();
    panels[3]->Edit();
    QVERIFY(gSetupEdited);
    QCOMPARE(journal,
             (std::vector<std::string>{"major", "minor", "data", "sync", "unique", "dynamic"}));
    for (JournalPanel* p : panels) QVERIFY(p->visibilityCalls > 0);
  }

  void theMinorFramePlaceShowsOnlyForCountedSubframes() {
    ProgramObjectsScope objects;
    ScriptedOperator op;
    ScopedOperator scoped(op);
    TQm48SetupMMIForm form(objects.Session(), nullptr);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    TSimSetupMMIForm* host = form.SimPage();
    const bool expected[] = {false, true, false, true};  // NONE, SFID, FCC, URC
    for (int mode = 0; mode < 4; ++mode) {
      SimProg->Setup.SubframeMode = mode;
      host->ApplyPanelVisibility();
      QCOMPARE(host->SlotWidget(TSimSetupMMIForm::kMinorFrame)->isVisible(), expected[mode]);
      QVERIFY(host->SlotWidget(TSimSetupMMIForm::kMajorFrame)->isVisible());
    }
    // A panel put in later follows the same rule.
    std::vector<std::string> journal;
    SimProg->Setup.SubframeMode = 2;
    auto* minor = new JournalPanel("minor", journal, QSize(100, 50));
    host->SetPanel(TSimSetupMMIForm::kMinorFrame, minor);
    QVERIFY(!minor->isVisible());
  }

  void wordAttributesOpensTheEditorForTheWordsOfAMinorFrame() {
    ProgramObjectsScope objects;
    ScriptedOperator op;
    ScopedOperator scoped(op);
    TQm48SetupMMIForm form(objects.Session(), nullptr);
    TSimSetupMMIForm* host = form.SimPage();
    host->SetWordAttributesEditor({});
    QTest::mouseClick(host->SimSetupWordValuesSpeedButton, Qt::LeftButton);  // no editor: logs only
    QVERIFY(op.MessageBoxes().empty());

    std::vector<std::string> journal;
    host->SetPanel(0, new JournalPanel("major", journal, QSize(100, 50)));
    std::vector<int> asked;
    bool accept = false;
    host->SetWordAttributesEditor([&](int words) {
      asked.push_back(words);
      return accept;
    });
    SimProg->Setup.WordsPerMinorFrame = 12;
    journal.clear();
    QTest::mouseClick(host->SimSetupWordValuesSpeedButton, Qt::LeftButton);
    QVERIFY(journal.empty());  // cancelled: nothing to redraw
    accept = true;
    SimProg->Setup.WordsPerMinorFrame = 999999;  // a corrupt count never reaches past the table
    QTest::mouseClick(host->SimSetupWordValuesSpeedButton, Qt::LeftButton);
    QCOMPARE(asked, (std::vector<int>{12, kMaxWordsPerMinorFrame}));
    QCOMPARE(journal, std::vector<std::string>{"major"});
  }

  void anInvalidSimulatorSetupIsShownAndNothingSent() {
    ProgramObjectsScope objects;
    ScriptedOperator op;
    ScopedOperator scoped(op);
    GuiUnitLink link;
    QVERIFY(link.Ready());
    TQm48SetupMMIForm form(objects.Session(), nullptr);
    SimProg->Setup.FrameSyncLength = 2;
    QTest::mouseClick(form.SimPage()->ButtonSimAccept, Qt::LeftButton);
    const auto boxes = op.MessageBoxes();
    QCOMPARE(boxes.size(), size_t{1});
    QCOMPARE(
        boxes[0].text,
        std::string("INVALID SIM SETUP DATA.....Sync Pattern Length MUST be between 3 and 64"));
    QCOMPARE(boxes[0].caption, std::string("SIMULATOR SETUP INVALID"));
    QVERIFY(boxes[0].buttons == MsgButtons::Ok);
    QVERIFY(op.Progresses().empty());
    QCOMPARE(link.Unit().CommandCount(), uint64_t{0});
  }

  void loadSimulatorLoadsTheUnitAndReportsALoadThatDidNotComplete() {
    ProgramObjectsScope objects;
    ScriptedOperator op;
    ScopedOperator scoped(op);
    TQm48SetupMMIForm form(objects.Session(), nullptr);
    // No port: nothing can be sent, and the operator is told so.
    QTest::mouseClick(form.SimPage()->ButtonSimAccept, Qt::LeftButton);
    QCOMPARE(op.MessageBoxes().size(), size_t{1});
    QCOMPARE(op.MessageBoxes()[0].caption, std::string("SIMULATOR LOAD INCOMPLETE"));
    QVERIFY(op.MessageBoxes()[0].text.find("nothing was sent") != std::string::npos);

    GuiUnitLink link;
    QVERIFY(link.Ready());
    op.ClearRecords();
    gFormatNumber = 2;
    QTest::mouseClick(form.SimPage()->ButtonSimAccept, Qt::LeftButton);
    QVERIFY(op.MessageBoxes().empty());
    QCOMPARE(ProgressCaptions(op), std::vector<std::string>{"LOADING SIMULATOR"});
    QCOMPARE(link.Unit().FormatNumber(), 2);
    QVERIFY(link.Unit().Running());

    // Cancelled half-way: the operator learns where it stopped.
    op.ClearRecords();
    op.CancelProgressAfterPolls(1);
    QTest::mouseClick(form.SimPage()->ButtonSimAccept, Qt::LeftButton);
    QCOMPARE(op.MessageBoxes().size(), size_t{1});
    QVERIFY(op.MessageBoxes()[0].text.find("cancelled") != std::string::npos);
  }

  void loadAllQueriesThenLoadsTheTransmitterThenTheSimulator() {
    ProgramObjectsScope objects;
    ScriptedOperator op;
    ScopedOperator scoped(op);
    GuiUnitLink link;
    QVERIFY(link.Ready());
    TQm48SetupMMIForm form(objects.Session(), nullptr);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    TxProg->Setup = {2250.3, 300, 2, 4};
    gFormatNumber = 1;
    gFormatName_[1] = "loadall";

    const LoadAllOutcome out = form.LoadAll();
    QVERIFY2(out.Ok(), SendOutcomeText(out.send).c_str());
    QVERIFY(out.stage == LoadStage::Simulator);
    QCOMPARE(ProgressCaptions(op),
             (std::vector<std::string>{"LOADING QUERY INFO", "LOADING W-QUERY INFO",
                                       "LOADING I-QUERY INFO", "LOADING I-QUERY INFO",
                                       "LOADING I-QUERY INFO", "LOADING TRANSMITTER",
                                       "LOADING SIMULATOR"}));
    QVERIFY(op.MessageBoxes().empty());
    // The setup's own transmitter values were loaded, not the ones the unit had.
    QCOMPARE(TxProg->Setup.FmDeviation, 300);
    QCOMPARE(link.Unit().FormatNumber(), 1);
    QCOMPARE(link.Unit().FormatName(1).substr(0, 7), std::string("loadall"));
    QVERIFY(QueryProg->RunQueries(link.Link()).Ok());
    QCOMPARE(QueryProg->Results.DeviationSelected, 300u);
    QCOMPARE(QueryProg->Results.PremodSelected, 2u);
    QCOMPARE(QueryProg->Results.AttenuationDb, 4u);
  }

  void loadAllStopsAtTheFirstStageThatFails() {
    ProgramObjectsScope objects;
    ScriptedOperator op;
    ScopedOperator scoped(op);
    TQm48SetupMMIForm form(objects.Session(), nullptr);
    // No unit: the query fails and nothing is sent after it.
    LoadAllOutcome out = form.LoadAll();
    QVERIFY(out.stage == LoadStage::Query);
    QVERIFY(out.send.result == SendResult::NoPort);
    QVERIFY(op.MessageBoxes().empty());
    TQm48SetupMMIForm::ShowLoadAllFailure(out);
    QCOMPARE(op.MessageBoxes().size(), size_t{1});
    QCOMPARE(op.MessageBoxes()[0].caption, std::string("QUERY INCOMPLETE"));

    // An invalid simulator setup: queried and transmitter loaded, simulator not sent.
    GuiUnitLink link;
    QVERIFY(link.Ready());
    op.ClearRecords();
    SimProg->Setup.FrameSyncLength = 2;
    out = form.LoadAll();
    QVERIFY(out.stage == LoadStage::Validation);
    QVERIFY(!out.Ok());
    QCOMPARE(ProgressCaptions(op).back(), std::string("LOADING TRANSMITTER"));
    QVERIFY(op.MessageBoxes().empty());
    TQm48SetupMMIForm::ShowLoadAllFailure(out);
    QCOMPARE(op.MessageBoxes()[0].caption, std::string("SIMULATOR SETUP INVALID"));

    // Closing: nothing at all.
    op.ClearRecords();
    gShuttingDown = true;
    out = form.LoadAll();
    QVERIFY(!out.Ok());
    QVERIFY(op.Progresses().empty());
    gShuttingDown = false;
  }
};

QTEST_MAIN(SetupWindowTest)
#include "SetupWindow_test.moc"
