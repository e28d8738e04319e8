#pragma once
// The query page's two grids as rows of caption and value text: what the unit reported,
// in the units an operator reads (MHz, kHz, dB, names).
#include <string>
#include <vector>

#include "query/QueryResults.h"

struct QueryDisplayRow {
  std::string caption;
  std::string value;
};

// The 14 rows of the Query grid. The attenuation is reported as a step index and shown
// in dB from the I-Query's maximum; row 7 shows the W-Query's format name.
std::vector<QueryDisplayRow> QueryGridRows(const QueryResults& q, const WQueryResults& w,
                                           const IQueryResults& i);
// The 13 rows of the W-Query grid, every value decimal.
std::vector<QueryDisplayRow> WQueryGridRows(const WQueryResults& w);
