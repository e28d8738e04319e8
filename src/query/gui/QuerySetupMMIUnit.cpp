#include "query/gui/QuerySetupMMIUnit.h"

#include <QFont>
#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QResizeEvent>
#include <QTableWidget>
#include <algorithm>

#include "app/ApplicationLink.h"
#include "app/LoadReportText.h"
#include "query/Qm48QueryUnit.h"
#include "query/QueryDisplayRows.h"
#include "support/Operator.h"

namespace {

constexpr int kColumnWidth = 130;
constexpr int kRowHeight = 19;
// A grid grows with the page up to rows twice as high: beyond that the rows would stand
// too far apart to read as one table.
constexpr int kTallestRow = 2 * kRowHeight;
// The grid's place on its panel: below the title, and the panel's margin around it.
constexpr int kGridLeft = 8;
constexpr int kGridTop = 24;
constexpr int kPanelMargin = 9;
constexpr int kPageMargin = 10;

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
  grid->setGeometry(kGridLeft, kGridTop, captionWidth + kColumnWidth + frame,
                    grid->rowCount() * kRowHeight + frame);
  panel->resize(grid->geometry().right() + kPanelMargin, grid->geometry().bottom() + kPanelMargin);
  return grid;
}

// The grid and its panel grown into the room the page leaves them (their top left corner
// stays): rows as high as the room allows, up to twice as high, and the value column
// widened in step, never past the page.
void GrowGrid(QTableWidget* grid, QSize room) {
  auto* panel = grid->parentWidget();
  const int frame = 2 * grid->frameWidth();
  const int rows = std::max(1, grid->rowCount());
  const int captionWidth = grid->columnWidth(0);
  const int roomHeight = room.height() - kGridTop - kPanelMargin - frame;
  const int roomWidth = room.width() - kGridLeft - kPanelMargin - frame - captionWidth;
  const int rowHeight = std::clamp(roomHeight / rows, kRowHeight, kTallestRow);
  const int valueWidth = std::clamp(kColumnWidth * rowHeight / kRowHeight, kColumnWidth,
                                    std::max(kColumnWidth, roomWidth));
  for (int r = 0; r < grid->rowCount(); ++r) grid->setRowHeight(r, rowHeight);
  grid->setColumnWidth(1, valueWidth);
  grid->resize(captionWidth + valueWidth + frame, rows * rowHeight + frame);
  panel->resize(grid->geometry().right() + kPanelMargin, grid->geometry().bottom() + kPanelMargin);
}

}  // namespace

TQuerySetupMMIForm::TQuerySetupMMIForm(progqueryclass& query, QWidget* parent)
    : QWidget(parent), query_(query) {
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

void TQuerySetupMMIForm::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  for (QTableWidget* grid : {GridRaw, GridWRaw}) {
    const QWidget* panel = grid->parentWidget();
    GrowGrid(grid, QSize(width() - panel->x() - kPageMargin, height() - panel->y() - kPageMargin));
  }
}

void TQuerySetupMMIForm::WriteValues(QTableWidget* grid, const std::vector<QueryDisplayRow>& rows) {
  for (int r = 0; r < grid->rowCount() && r < static_cast<int>(rows.size()); ++r)
    grid->item(r, 1)->setText(QString::fromStdString(rows[static_cast<size_t>(r)].value));
}

void TQuerySetupMMIForm::ShowQueryResults() {
  WriteValues(GridRaw, QueryGridRows(query_.Results, query_.WResults, query_.IResults));
  WriteValues(GridWRaw, WQueryGridRows(query_.WResults));
}

SendOutcome TQuerySetupMMIForm::QueryAndShow() {
  SendOutcome outcome = query_.RunQueries(AppLink());
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
