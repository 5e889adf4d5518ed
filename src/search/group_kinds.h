#pragma once
// The group list: eight kinds of grouping by one column of the current list,
// the values each kind offers and the condition a chosen group puts on the list.
#include <optional>
#include <string>
#include <vector>

namespace vel {

class LibraryConnection;

inline constexpr int kGroupKindCount = 8;
inline constexpr int kGroupTabCount = 8;

enum GroupKind : int {
  kGroupMaker = 0,
  kGroupGenre = 1,
  kGroupAdult = 2,
  kGroupMachine = 3,
  kGroupMedia = 4,
  kGroupRating = 5,
  kGroupCreator = 6,
  kGroupSaleYear = 7,
};

// The tab label of a kind (CP932).
std::string GroupTabLabel(int kind);

// The statement that lists the values of a kind (after the creator table is
// rebuilt for kGroupCreator).
std::string GroupValueQuery(int kind);

// Rows of the group list for a kind with `values` values: row 0 is "all";
// adult has two fixed rows and rating six; no values gives no rows at all.
int GroupRowCount(int kind, int values);

// The text of a group row (CP932); rating rows are drawn as stars and give "".
std::string GroupRowText(int kind, int row, const std::string& value);

// The condition a group row puts on list_view ("" = the whole view). `value`
// is the row's value (CP932) for the kinds that list values.
std::string GroupCondition(int kind, int row, const std::string& value);

// The names of a creator text: entries end in ";", each may begin with a role
// in square brackets, which is dropped. Every entry gives a name, "" included.
std::vector<std::string> SplitCreatorNames(const std::string& creators);

struct GroupFailure {
  std::string tag, description, error, sql;
};

// Fills tmp_creator_one_table with one row per creator name of list_view, in
// one transaction.
std::optional<GroupFailure> RebuildCreatorTable(LibraryConnection& db);

// Reads the values of a kind (CP932), rebuilding the creator table first for
// kGroupCreator.
std::optional<GroupFailure> ReadGroupValues(LibraryConnection& db, int kind,
                                            std::vector<std::string>& values);

// The values of a kind counted from a loaded list instead of a second pass
// over list_view: `list` holds every row of list_view (in any order), read by
// the list's column positions. The same values in the same order as
// ReadGroupValues gives. False for the release year, whose values only the
// statement gives.
bool GroupValuesOfLoadedList(const LibraryConnection& list, int kind, std::vector<std::string>& values);

// The kinds of the tabs from the GroupSelect values (kind + 1; 0 or less =
// unused tab), in tab order.
std::vector<int> TabKinds(const int (&tabValues)[kGroupTabCount]);

}  // namespace vel
