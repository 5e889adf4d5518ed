#pragma once
// The list as the program was left: the sort state kept in the settings
// (LastQuery SortOrder / SortColumn) read back and written out.
#include <optional>
#include <string>

#include "search/sort_model.h"

namespace vel {

// The two setting values of a sort state: the direction of each column 0..18
// and the columns in key order, each 19 comma-separated integers.
struct SortStateText {
  std::string sortOrder;
  std::string sortColumn;
};
SortStateText FormatSortState(const SortState& state);

// The sort state of the two values, or nothing when they do not describe one:
// the columns must be each of 0..18 exactly once and every direction in its
// range (0..3 for the machine/genre column, else 0..1).
std::optional<SortState> ParseSortState(const std::string& sortOrder, const std::string& sortColumn);

}  // namespace vel
