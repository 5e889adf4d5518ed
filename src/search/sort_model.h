#pragma once
// The item list's sort order: up to 19 keys over the sortable columns, the
// direction of each, and the ORDER BY made from them.
#include <array>
#include <string>
#include <vector>

namespace vel {

inline constexpr int kSortColumnCount = 19;

enum SortColumnIndex : int {
  kSortTitle = 0,
  kSortMaker = 1,
  kSortMachineGenre = 2,
  kSortRating = 3,
  kSortSaleYear = 4,
  kSortBootCount = 5,
  kSortLastBoot = 6,
  kSortPlayTime = 16,
  kSortKana = 17,
};

// Requests other than a column.
inline constexpr int kSortReset = -1;     // default key order, all ascending
inline constexpr int kSortKeepKeys = -2;  // reload with the keys as they are
inline constexpr int kSortSqlOrder = -3;  // the statement's own order, no ORDER BY

// How a column request changes its direction.
inline constexpr int kSortToggle = 0;
inline constexpr int kSortAscending = 1;
inline constexpr int kSortDescending = 2;

struct SortState {
  std::array<int, kSortColumnCount> keys{};  // column indices in key order; keys[0] is primary
  // Per column: 0 ascending, 1 descending; the machine/genre column holds
  // 0..3 (machine asc, machine desc, genre asc, genre desc).
  std::array<int, kSortColumnCount> dir{};
};

SortState DefaultSortState();

// The display setting (clm_disp) of each column; -1 = may not be a sort key.
using ColumnDisplay = std::array<int, kSortColumnCount>;

// Applies a sort request (a column 0..18 or kSortReset/kSortKeepKeys/
// kSortSqlOrder) with `how` (kSortToggle/kSortAscending/kSortDescending).
// Returns the request that took effect: a column barred from sorting, or out
// of range, resets.
int ApplySortRequest(SortState& state, int column, int how, bool yomiSort,
                     const ColumnDisplay& display);

// One term of the ORDER BY: a result column, compared as a number ("+0")
// when `numeric`.
struct OrderTerm {
  const char* column;
  bool numeric = false;
  bool descending = false;
};

// The terms in key order (the machine/genre key gives two).
std::vector<OrderTerm> OrderTerms(const SortState& state);

// "title, maker DESC, machine_name, genre_name, ..." in key order.
std::string OrderByList(const SortState& state);

// Header label of a column (CP932); the machine/genre column by its state.
std::string SortHeaderLabel(int column, int machineGenreState);

// Index of the header arrow image: 0 ascending, 1 descending, +2 when the
// column is not the primary one (title and kana count as one with yomiSort).
int SortArrowImage(const SortState& state, int column, bool yomiSort);

// The plain column name the primary key's leading parts are taken from.
std::string PrimaryColumnName(const SortState& state);
// The column a sort column orders by alone ("machine_name" for the machine/genre column).
std::string PlainSortColumnName(int column);

// Position in the list result of the column a sort column shows.
int ResultPositionOfColumn(const std::string& columnName);

}  // namespace vel
