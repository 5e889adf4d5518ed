#pragma once
// The sort keys an SQL search's own ORDER BY maps onto.
#include <string>

#include "search/sort_model.h"

namespace vel {

struct SqlOrderMapping {
  bool hasOrderBy = false;  // the text has an ORDER BY
  bool mapped = false;      // its leading terms are list columns; `state` now holds them
};

// Scans the ORDER BY of a view's SQL text term by term: each list sort column
// (or machine_name / genre_name for the machine/genre pair) becomes the next
// key, " DESC" making it descending; the scan stops at the first other term,
// and the remaining keys follow in column order. `state` is left as it was
// unless the first term maps.
SqlOrderMapping MapSqlOrderBy(const std::string& viewSql, SortState& state);

}  // namespace vel
