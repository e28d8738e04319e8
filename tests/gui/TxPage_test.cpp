// The transmitter page: the frequency edit's keys and grid, the lists the unit's answers
// give, the unit's state taken after a query, and "Load Transmitter".
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QtTest>

#include "SetupTestKit.h"
#include "common/ScriptedOperator.h"
#include "support/Signals.h"
#include "transmitter/gui/TxSetupMMIUnit.h"

namespace {

QStringList Items(const QComboBox* combo) {
  QStringList items;
  for (int i = 0; i < combo->count(); ++i) items << combo->itemText(i);
  return items;
}

void ReportLimits(uint32_t minMhz, uint32_t maxMhz) {
  QueryProg->Results.MinFreqMhz = minMhz;
  QueryProg->Results.MaxFreqMhz = maxMhz;
  QueryProg->FreqLimitsReceived = true;
}

void TypeFreq(QLineEdit* edit, const QString& text) {
  edit->selectAll();
  QTest::keyClick(edit, Qt::Key_Delete);
  QTest::keyClicks(edit, text);
}

}  // namespace

class TxPageTest : public QObject {
  Q_OBJECT

 private slots:
  void beforeAnyQueryTheListsAreEmptyAndTheRecordIsKept() {
    ProgramObjectsScope objects;
    ScriptedOperator op;
    ScopedOperator scoped(op);
    TxProg->Setup = {2250.3, 300, 2, 5};
    TTxSetupMMIForm page(objects.Session(), nullptr);
    QCOMPARE(Items(page.ComboPremodFilter), (QStringList{"0", "0", "0", "0"}));
    QCOMPARE(page.ComboPremodFilter->currentIndex(), 2);
    QCOMPARE(page.ComboAttenuation->count(), 0);
    QCOMPARE(page.EditFreqMhz->text(), QString("2250.3"));
    QCOMPARE(page.ScrollBarDeviation->maximum(), 999);
    QCOMPARE(page.ScrollBarDeviation->value(), 300);
    QCOMPARE(page.LabelDeviation->text(), QString("300"));
    QCOMPARE(page.ButtonTxAccept->text(), QString("Load Transmitter"));
    QCOMPARE(TxProg->Setup.FmDeviation, 300);
    QCOMPARE(TxProg->Setup.AttenuationIndexDb, 5);

    // Inert until shown: control changes do not reach the record.
    page.ScrollBarDeviation->setValue(10);
    QCOMPARE(TxProg->Setup.FmDeviation, 300);
    QVERIFY(!gSetupEdited);

    // Shown, an edit with nothing selected in a list keeps the record's choice.
    page.show();
    QVERIFY(QTest::qWaitForWindowExposed(&page));
    page.ScrollBarDeviation->setValue(12);
    QCOMPARE(TxProg->Setup.FmDeviation, 12);
    QCOMPARE(page.LabelDeviation->text(), QString("12"));
    QCOMPARE(TxProg->Setup.AttenuationIndexDb, 5);
    QVERIFY(gSetupEdited);
  }

  void theFrequencyTakesDigitsAndAPointAndSnapsOnEnter() {
    ProgramObjectsScope objects;
    ScriptedOperator op;
    ScopedOperator scoped(op);
    ReportLimits(2200, 2400);
    TxProg->Setup.FreqMhz = 2300.0;
    TTxSetupMMIForm page(objects.Session(), nullptr);
    page.show();
    QVERIFY(QTest::qWaitForWindowExposed(&page));
    page.EditFreqMhz->setFocus();

    TypeFreq(page.EditFreqMhz, "2250.37");
    QVERIFY(gSetupEdited);
    QTest::keyClick(page.EditFreqMhz, Qt::Key_Return);
    QVERIFY(qAbs(TxProg->Setup.FreqMhz - 2250.35) < 1e-9);
    QCOMPARE(page.EditFreqMhz->text(), QString("2250.3"));

    // A letter and backspace are refused with the warning signal.
    const int warnings = op.CountPlayed(WarningTones());
    page.EditFreqMhz->end(false);
    QTest::keyClick(page.EditFreqMhz, Qt::Key_A);
    QTest::keyClick(page.EditFreqMhz, Qt::Key_Backspace);
    QTest::keyClick(page.EditFreqMhz, Qt::Key_Minus);
    QCOMPARE(page.EditFreqMhz->text(), QString("2250.3"));
    QCOMPARE(op.CountPlayed(WarningTones()), warnings + 3);

    // Tab and Shift+Tab move the focus on; they and Escape are no edits.
    gSetupEdited = false;
    QTest::keyClick(page.EditFreqMhz, Qt::Key_Escape);
    QTest::keyClick(page.EditFreqMhz, Qt::Key_Tab);
    QTRY_VERIFY(!page.EditFreqMhz->hasFocus());
    page.EditFreqMhz->setFocus();
    QTest::keyClick(page.EditFreqMhz, Qt::Key_Backtab, Qt::ShiftModifier);
    QTRY_VERIFY(!page.EditFreqMhz->hasFocus());
    QVERIFY(!gSetupEdited);
    QCOMPARE(op.CountPlayed(WarningTones()), warnings + 3);
    page.EditFreqMhz->setFocus();

    // Outside the unit's range the frequency is limited; leaving the edit stores it too.
    TypeFreq(page.EditFreqMhz, "3000");
    QTest::keyClick(page.EditFreqMhz, Qt::Key_Return);
    QVERIFY(qAbs(TxProg->Setup.FreqMhz - 2400.5) < 1e-9);
    TypeFreq(page.EditFreqMhz, "2210.11");
    page.ScrollBarDeviation->setFocus();
    QVERIFY(qAbs(TxProg->Setup.FreqMhz - 2210.1) < 1e-9);

    // Text that is no number is replaced by the current frequency.
    TypeFreq(page.EditFreqMhz, "..");
    QTest::keyClick(page.EditFreqMhz, Qt::Key_Return);
    QVERIFY(qAbs(TxProg->Setup.FreqMhz - 2210.1) < 1e-9);
    QCOMPARE(page.EditFreqMhz->text(), QString("2210.1"));
  }

  void theDebugMenuGivesTheBenchAttenuationList() {
    ProgramObjectsScope objects;
    ScriptedOperator op;
    ScopedOperator scoped(op);
    gDebugMenuShown = true;
    TTxSetupMMIForm page(objects.Session(), nullptr);
    QCOMPARE(page.ComboAttenuation->count(), 16);
    QCOMPARE(page.ComboAttenuation->itemText(0), QString("20"));
    QCOMPARE(page.ComboAttenuation->itemText(15), QString("-55"));
  }

  void aQueryFillsTheListsAndLoadTransmitterLoadsTheUnit() {
    ProgramObjectsScope objects;
    ScriptedOperator op;
    ScopedOperator scoped(op);
    GuiUnitLink link;
    QVERIFY(link.Ready());
    TxProg->Setup = {2300.0, 700, 1, 0};
    TTxSetupMMIForm page(objects.Session(), nullptr);
    page.show();
    QVERIFY(QTest::qWaitForWindowExposed(&page));

    QVERIFY(QueryProg->RunQueries(link.Link()).Ok());
    page.ShowFromQuery();
    QCOMPARE(Items(page.ComboPremodFilter), (QStringList{"100", "300", "600", "1000"}));
    QCOMPARE(page.ComboAttenuation->count(), 20);
    QCOMPARE(page.ComboAttenuation->itemText(0), QString("95"));
    QCOMPARE(page.ComboAttenuation->itemText(19), QString("0"));
    // The unit's own state (all zeros in a fresh unit) went into the record.
    QCOMPARE(TxProg->Setup.FmDeviation, 0);
    QCOMPARE(page.ScrollBarDeviation->value(), 0);
    QCOMPARE(page.ComboPremodFilter->currentIndex(), 0);

    page.ScrollBarDeviation->setValue(250);
    page.ComboPremodFilter->setCurrentIndex(3);
    page.ComboAttenuation->setCurrentIndex(4);
    TypeFreq(page.EditFreqMhz, "2250.37");
    QTest::keyClick(page.EditFreqMhz, Qt::Key_Return);
    QTest::mouseClick(page.ButtonTxAccept, Qt::LeftButton);
    QVERIFY(op.MessageBoxes().empty());
    QCOMPARE(op.Progresses().back().request.caption, std::string("LOADING TRANSMITTER"));

    QVERIFY(QueryProg->RunQueries(link.Link()).Ok());
    QCOMPARE(QueryProg->Results.FreqSelectedMhz, 22503u);
    QCOMPARE(QueryProg->Results.DeviationSelected, 250u);
    QCOMPARE(QueryProg->Results.PremodSelected, 3u);
    QCOMPARE(QueryProg->Results.AttenuationDb, 4u);
    page.ShowFromQuery();
    QCOMPARE(page.ScrollBarDeviation->value(), 250);
    QCOMPARE(page.ComboAttenuation->currentText(), QString("75"));
  }

  void aTransmitterLoadThatDidNotCompleteIsReported() {
    ProgramObjectsScope objects;
    ScriptedOperator op;
    ScopedOperator scoped(op);
    TTxSetupMMIForm page(objects.Session(), nullptr);
    QTest::mouseClick(page.ButtonTxAccept, Qt::LeftButton);
    QCOMPARE(op.MessageBoxes().size(), size_t{1});
    QCOMPARE(op.MessageBoxes()[0].caption, std::string("TRANSMITTER LOAD INCOMPLETE"));
    QVERIFY(op.MessageBoxes()[0].text.find("no serial port") != std::string::npos);
  }
};

QTEST_MAIN(TxPageTest)
#include "TxPage_test.moc"
