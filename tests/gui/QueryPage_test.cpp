// The query page: its grids before and after a query of the virtual unit, the refresh of
// the rest of the setup window, and a query that did not complete.
#include <QComboBox>
#include <QFontMetrics>
#include <QFrame>
#include <QPushButton>
#include <QTableWidget>
#include <QtTest>

#include "SetupTestKit.h"
#include "app/Qm48GlobUnit.h"
#include "common/ScriptedOperator.h"
#include "editor/gui/Qm48SetupMMIUnit.h"
#include "query/QueryDisplayRows.h"
#include "query/gui/QuerySetupMMIUnit.h"
#include "transmitter/gui/TxSetupMMIUnit.h"

namespace {

QString Cell(const QTableWidget* grid, int row, int column) {
  return grid->item(row, column)->text();
}

}  // namespace

class QueryPageTest : public QObject {
  Q_OBJECT

 private slots:
  void beforeAQueryTheGridsShowTheInitialZeros() {
    ProgramObjectsScope objects;
    ScriptedOperator op;
    ScopedOperator scoped(op);
    TQuerySetupMMIForm page(objects.Session().Query(), nullptr);
    // Without a port the query is skipped quietly and the grids stay as they were.
    QTest::mouseClick(page.ButtonQueryAccept, Qt::LeftButton);
    QVERIFY(op.MessageBoxes().empty());
    QVERIFY(op.Progresses().empty());
    QCOMPARE(page.ButtonQueryAccept->text(), QString("Query QM48 Info"));
    QCOMPARE(page.GridRaw->rowCount(), 14);
    QCOMPARE(page.GridRaw->columnCount(), 2);
    QCOMPARE(page.GridWRaw->rowCount(), 13);
    // At least the usual 130 pixels, and wide enough that no caption is cut.
    QVERIFY(page.GridRaw->columnWidth(0) >= 130);
    const QFontMetrics metrics(page.GridRaw->font());
    for (int r = 0; r < page.GridRaw->rowCount(); ++r)
      QVERIFY(metrics.horizontalAdvance(Cell(page.GridRaw, r, 0)) < page.GridRaw->columnWidth(0));
    QCOMPARE(page.GridRaw->columnWidth(1), 130);
    QCOMPARE(page.GridRaw->rowHeight(0), 19);
    QCOMPARE(Cell(page.GridRaw, 0, 0), QString("Format Number"));
    QCOMPARE(Cell(page.GridRaw, 1, 1), QString("0.5"));
    QCOMPARE(Cell(page.GridRaw, 12, 1), QString("PCM"));
    QCOMPARE(Cell(page.GridRaw, 13, 1), QString("Simulator"));
    QCOMPARE(Cell(page.GridWRaw, 12, 0), QString("Format Name"));
    page.show();
    QVERIFY(QTest::qWaitForWindowExposed(&page));
    QVERIFY(!page.PanelWRaw->isVisible());
    // Every row is in view: no scrolling needed.
    QVERIFY(page.GridRaw->viewport()->height() >= 14 * 19);
  }

  void aQueryOfTheUnitFillsTheGridsAndTheTransmitterPage() {
    ProgramObjectsScope objects;
    ScriptedOperator op;
    ScopedOperator scoped(op);
    GuiUnitLink link;
    QVERIFY(link.Ready());
    TQm48SetupMMIForm form(objects.Session(), nullptr);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    TQuerySetupMMIForm* page = form.QueryPage();
    QTest::mouseClick(page->ButtonQueryAccept, Qt::LeftButton);
    QVERIFY(op.MessageBoxes().empty());
    QCOMPARE(op.Progresses().size(), size_t{5});

    const UnitLimits unit;
    QCOMPARE(Cell(page->GridRaw, 1, 1), QString::number(unit.maxFreqMhz) + ".5");
    QCOMPARE(Cell(page->GridRaw, 2, 1), QString::number(unit.minFreqMhz) + ".0");
    for (int k = 0; k < 4; ++k)
      QCOMPARE(Cell(page->GridRaw, 3 + k, 1), QString::number(unit.premodFilterKhz[k]));
    QCOMPARE(Cell(page->GridRaw, 11, 1), QString::number(5 * unit.maxDb));
    const auto rows = QueryGridRows(QueryProg->Results, QueryProg->WResults, QueryProg->IResults);
    const auto wRows = WQueryGridRows(QueryProg->WResults);
    for (int r = 0; r < 14; ++r)
      QCOMPARE(Cell(page->GridRaw, r, 1), QString::fromStdString(rows[r].value));
    for (int r = 0; r < 13; ++r)
      QCOMPARE(Cell(page->GridWRaw, r, 1), QString::fromStdString(wRows[r].value));
    QCOMPARE(QueryProg->IResults.NumAttenSteps, unit.numAttenSteps);

    // The transmitter page took the unit's choices.
    QCOMPARE(form.TxPage()->ComboPremodFilter->itemText(3),
             QString::number(unit.premodFilterKhz[3]));
    QCOMPARE(form.TxPage()->ComboAttenuation->count(), static_cast<int>(unit.numAttenSteps));
  }

  void aLoadedFormatNameShowsInBothGrids() {
    ProgramObjectsScope objects;
    ScriptedOperator op;
    ScopedOperator scoped(op);
    GuiUnitLink link;
    QVERIFY(link.Ready());
    gFormatNumber = 0;
    gFormatName_[0] = "abcdefgh";
    QVERIFY(SimProg->Send232SimSetupData(link.Link(), SelectedLoadFormat()).Ok());
    TQuerySetupMMIForm page(objects.Session().Query(), nullptr);
    page.ButtonQueryAcceptClick();
    QCOMPARE(Cell(page.GridRaw, 7, 1), QString("abcdefgh"));
    QCOMPARE(Cell(page.GridWRaw, 12, 1), QString("abcdefgh"));
  }

  void aQueryThatDidNotCompleteIsReported() {
    ProgramObjectsScope objects;
    ScriptedOperator op;
    ScopedOperator scoped(op);
    GuiUnitLink link("silent");
    QVERIFY(link.Ready());
    TQuerySetupMMIForm page(objects.Session().Query(), nullptr);
    op.CancelProgressAfterPolls(1);
    QTest::mouseClick(page.ButtonQueryAccept, Qt::LeftButton);
    QCOMPARE(op.MessageBoxes().size(), size_t{1});
    QCOMPARE(op.MessageBoxes()[0].caption, std::string("QUERY INCOMPLETE"));
    QVERIFY(op.MessageBoxes()[0].text.find("cancelled") != std::string::npos);
    // Every query still had its turn.
    QCOMPARE(op.Progresses().size(), size_t{5});
  }
};

QTEST_MAIN(QueryPageTest)
#include "QueryPage_test.moc"
