#pragma once
// The query page: its button asks the unit its five questions, its grid shows what the
// unit reported in the units an operator reads.
#include <QWidget>
#include <functional>

#include "link/SendOutcome.h"

class QFrame;
class QPushButton;
class QTableWidget;
struct QueryDisplayRow;
class progqueryclass;

class TQuerySetupMMIForm : public QWidget {
  Q_OBJECT

 public:
  // Works on the given query object (the session's).
  TQuerySetupMMIForm(progqueryclass& query, QWidget* parent);

  // Writes the value column of both grids from the query's results.
  void ShowQueryResults();
  // "Query QM48 Info": queries the unit, shows the results, and tells the operator in a
  // box when a query was sent and did not complete (no port: quietly nothing).
  void ButtonQueryAcceptClick();
  // The same without a box: queries the unit, runs the after-query hook, shows the
  // results; returns the first query that failed.
  SendOutcome QueryAndShow();
  // What the rest of the setup window does after a query (the transmitter page takes the
  // unit's state, the window refreshes); run before the grids are written.
  void SetAfterQuery(std::function<void()> hook) { afterQuery_ = std::move(hook); }

  QPushButton* ButtonQueryAccept = nullptr;
  QTableWidget* GridRaw = nullptr;
  QTableWidget* GridWRaw = nullptr;
  QFrame* PanelWRaw = nullptr;  // the W-Query grid's panel: kept, never shown

 protected:
  // The grids grow into the room the page has.
  void resizeEvent(QResizeEvent* event) override;

 private:
  static void WriteValues(QTableWidget* grid, const std::vector<QueryDisplayRow>& rows);

  progqueryclass& query_;
  std::function<void()> afterQuery_;
};
