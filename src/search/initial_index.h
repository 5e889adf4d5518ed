#pragma once
// The initial index: the distinct leading parts of the primary sort column
// of list_view, in list order, used by Page Up and Page Down to jump from one
// group of rows to the next.
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "search/sort_model.h"

namespace vel {

class LibraryConnection;

struct InitialIndex {
  bool built = false;
  int column = -1;     // primary sort column it was made for
  int direction = -1;  // its direction (state for machine/genre)
  bool yomiSort = false;
  unsigned listLoad = 0;  // the load of the list it was made from
  std::vector<std::string> keys;                      // CP932, for the pop-up
  std::unordered_map<std::string, int> positionOfKey;  // UTF-8 key -> index in keys
};

// True when the index was made for this primary column, direction and
// yomiSort, from this load of the list (each search or reload gives the list
// a new load number: an index is never kept from one list to the next).
bool InitialIndexCurrent(const InitialIndex& index, const SortState& sort, bool yomiSort, unsigned listLoad);

// The statement that (re)creates the TEMP table iidx_tmptable and reads it back.
std::string InitialIndexStatement(const SortState& sort);

// Builds the index on `db` (which keeps the TEMP table). On failure the index
// is empty (but marked as made for this order) and the error text is returned.
std::optional<std::string> BuildInitialIndex(LibraryConnection& db, const SortState& sort,
                                             bool yomiSort, unsigned listLoad, InitialIndex& index);

// The key of one value (UTF-8) of the primary column, as the index makes it.
std::string InitialKeyOf(const SortState& sort, std::string_view value);

// Page Down (forward) or Page Up: the 1-based row of `list` to select from
// the selected row (0 = none), or 0 when no further key has rows.
int SeekInitial(const InitialIndex& index, const SortState& sort, const LibraryConnection& list,
                int selectedRow, bool forward);

}  // namespace vel
