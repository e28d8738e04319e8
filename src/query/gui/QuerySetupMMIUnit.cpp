#include "query/gui/QuerySetupMMIUnit.h"

#include <QFont>
#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <algorithm>

#include "app/LoadReportText.h"
#include "app/ProgramObjects.h"
#include "query/Qm48QueryUnit.h"
#include "query/QueryDisplayRows.h"
#include "support/Operator.h"

namespace {

constexpr int kColumnWidth = 130;
constexpr int kRowHeight = 19;

// A captioned grid on its own panel, sized to show every row without scroll bars.
QTableWidget* MakeGrid(QFrame* panel, const QString& title,
                       const std::vector<QueryDisplayRow>& rows) {
  auto* label = new QLabel(title, panel);
  label->move(8, 4);
  auto* grid = new QTableWidget(static_cast<int>(rows.size()), 2, panel);
  grid->horizontalHeader()->hide();
  grid->verticalHeader()->hide();
  grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  grid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
  grid->setSelectionMode(QAbstractItemView::NoSelection);
  grid->setFocusPolicy(Qt::NoFocus);
  for (int c = 0; c < 2; ++c) grid->setColumnWidth(c, kColumnWidth);
  for (int r = 0; r < grid->rowCount(); ++r) {
    grid->setRowHeight(r, kRowHeight);
    grid->setItem(r, 0, new QTableWidgetItem(QString::fromStdString(rows[r].caption)));
    grid->setItem(r, 1, new QTableWidgetItem);
  }
  // The caption column is as wide as its longest caption, so no caption is cut.
  grid->resizeColumnToContents(0);
  const int captionWidth = std::max(kColumnWidth, grid->columnWidth(0) + 8);
  grid->setColumnWidth(0, captionWidth);
  const int frame = 2 * grid->frameWidth();
  grid->setGeometry(8, 24, captionWidth + kColumnWidth + frame,
                    grid->rowCount() * kRowHeight + frame);
  panel->resize(grid->geometry().right() + 9, grid->geometry().bottom() + 9);
  return grid;
}

}  // namespace

TQuerySetupMMIForm::TQuerySetupMMIForm(QWidget* parent) : QWidget(parent) {
  move(0, 25);
  ButtonQueryAccept = new QPushButton(tr("Query QM48 Info"), this);
  ButtonQueryAccept->setToolTip(tr("Load transmitter setup info"));
  QFont bold = ButtonQueryAccept->font();
  bold.setBold(true);
  ButtonQueryAccept->setFont(bold);
  ButtonQueryAccept->adjustSize();
  ButtonQueryAccept->move(10, 8);

  const QueryResults noResults;
  auto* panelRaw = new QFrame(this);
  panelRaw->setFrameShape(QFrame::Panel);
  GridRaw = MakeGrid(panelRaw, tr("Q Data"), QueryGridRows(noResults, {}, {}));
  panelRaw->move(10, ButtonQueryAccept->geometry().bottom() + 12);

  PanelWRaw = new QFrame(this);
  PanelWRaw->setFrameShape(QFrame::Panel);
  GridWRaw = MakeGrid(PanelWRaw, tr("W Data"), WQueryGridRows({}));
  PanelWRaw->move(panelRaw->geometry().right() + 10, panelRaw->y());
  PanelWRaw->hide();

  connect(ButtonQueryAccept, &QPushButton::clicked, this,
          &TQuerySetupMMIForm::ButtonQueryAcceptClick);
  ShowQueryResults();
}

void TQuerySetupMMIForm::WriteValues(QTableWidget* grid, const std::vector<QueryDisplayRow>& rows) {
  for (int r = 0; r < grid->rowCount() && r < static_cast<int>(rows.size()); ++r)
    grid->item(r, 1)->setText(QString::fromStdString(rows[static_cast<size_t>(r)].value));
}

void TQuerySetupMMIForm::ShowQueryResults() {
  WriteValues(GridRaw, QueryGridRows(QueryProg->Results, QueryProg->WResults, QueryProg->IResults));
  WriteValues(GridWRaw, WQueryGridRows(QueryProg->WResults));
}

SendOutcome TQuerySetupMMIForm::QueryAndShow() {
  SendOutcome outcome = QueryProg->RunQueries();
  if (afterQuery_) afterQuery_();
  ShowQueryResults();
  return outcome;
}

void TQuerySetupMMIForm::ButtonQueryAcceptClick() {
  LoadAllOutcome outcome;
  outcome.stage = LoadStage::Query;
  outcome.send = QueryAndShow();
  // Without a port the queries are skipped quietly (the caption already says so); a query
  // that was sent and did not complete is the operator's to know.
  if (outcome.send.result == SendResult::NoPort) return;
  const LoadReport report = LoadFailureReport(outcome);
  if (!report.text.empty())
    Operator().MessageBox(report.text, report.caption, MsgButtons::Ok, MsgIcon::Warning);
}
