#pragma once
// The search as the main window runs it: the wait cursor, the item list's
// count and selection around SearchItems, and the program's Migemo binding.
#include <functional>
#include <string>

#include "search/item_list_query.h"
#include "search/search_items.h"

namespace vel {

struct AppState;

// migemo.dll of the base folder with its dictionary "migemo-dict" (relative
// to the current directory), loaded at the first call and kept for the run;
// null when the library is missing or incomplete.
MigemoSource* ProgramMigemo(AppState& app);

// What the rest of the program adds to a search; every hook may be unset.
struct SearchHooks {
  // The item list's sort-and-load (column 0..18 or kSortReset / kSortKeepKeys /
  // kSortSqlOrder, how); returns the rows loaded into app.mainDb or -1.
  // Unset: LoadSearchResult on app.mainDb.
  std::function<int(int column, int how)> loadList;
  std::function<void(int target, const std::string& text)> saveHistory;
  // Rebuilds the group list from the list just loaded into the main connection.
  std::function<void()> refreshGroups;
  // Empties the group list without reading anything: no view was built, or
  // the list could not be loaded from it.
  std::function<void()> clearGroups;
};

// Runs a search over the item list: remembers the selected item, empties the
// list, builds and loads the new one, sets the list's item count from the
// loaded rows and selects the remembered item again (the first row when none
// was selected; none when it is no longer listed). The caller shows
// outcome.countText in status-bar part 1 and outcome.timeText in part 3.
SearchOutcome RunSearch(AppState& app, ListQueryState& state, const std::string& text, int target,
                        int subMode, bool orOnly, const SearchHooks& hooks = {});

// A search over the item list through its sort-and-load and group list,
// showing the count and the time in the status bar (the search box's Enter
// and the information pane's links).
int RunListSearch(AppState& app, const std::string& text, int target, int subMode, bool orOnly);

// Sets app.runSearch (the search box's Enter) to a search through the item
// list's sort-and-load and group list, showing the count and the time in the
// status bar.
void ConnectSearch(AppState& app);

// Drops list_view unless `keepView`, sets the item list's and the group
// list's item count to 0 and repaints them, and empties status-bar part 2.
void ClearItemList(AppState& app, bool keepView);

}  // namespace vel
