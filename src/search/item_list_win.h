#pragma once
// The item list (owner-data report list drawn from the main connection's
// result), its header sort, the group tabs and group list, and Page Up/Down
// through the initial index.
#include <windows.h>

#include <optional>
#include <string>

#include "search/item_list_query.h"

namespace vel {

struct AppState;
class SnapshotLookup;

// What the list is read with (sort keys, group condition, SQL order); the
// search clears the group condition and sets sqlOrderInForce.
ListQueryState& ItemListQuery();

// Columns, group tabs, row heights, key handling; sets App().reloadItemList.
void PrepareItemListPanes(AppState& app);

// The one snapshot lookup of the loaded list, shared by the rows, the
// information pane and the snapshot view (made at the first call).
SnapshotLookup& ListSnapshotLookup(AppState& app);

// Sorts by a column (0..18) or kSortReset/kSortKeepKeys/kSortSqlOrder and
// reloads. `how`: kSortToggle/kSortAscending/kSortDescending. 0 = loaded, 1 = failed.
int SortAndLoad(AppState& app, int column, int how);
// Loads `sql` into the main connection as the item list's rows. What was
// remembered of the rows before (snapshot lookups, the Page Up/Down index)
// belongs to them and is dropped here, for every caller. Returns the
// database's error text on failure.
std::optional<std::string> LoadListResult(AppState& app, const std::string& sql);

// The common refresh: `clearFirst` empties the lists first; `resetGroups` 1
// forgets the remembered group rows, above 0 rebuilds the group list;
// `sortMode` 1 keep keys, -1 reset, -3 SQL order, 0 no reload. Then selects
// `selectRow` (1-based) when not 0, else the row keyed `selectName` ("" = first).
// Returns the 1-based row selected (0 = none), or -1 when the load failed.
int RefreshItemList(AppState& app, int selectRow, const std::string& selectName, bool clearFirst,
                    int resetGroups, int sortMode);

// Fills the group list of the current tab. `listJustLoaded`: the main
// connection's result is the list as just loaded, so its values can be
// counted there.
void BuildGroupList(AppState& app, bool listJustLoaded);
// Empties the group list without reading anything (there is no list to group).
void ClearGroupList(AppState& app);
// Forgets the selected and top group row of every tab (a search does).
void ForgetGroupRows(AppState& app);
// Applies a group row as the list's filter; true when the list was reloaded.
bool SelectGroup(AppState& app, int row);
// Page Down (forward) or Page Up.
void InitialIndexSeek(AppState& app, bool forward);
// Steps to the next or previous group tab, wrapping around.
void StepGroupTab(AppState& app, bool forward);

// Places the group tabs at the top of the group-list area; returns their height.
int LayoutGroupTabs(AppState& app, int x, int y, int width);

// Main-window messages for the two lists. Each returns true when handled.
bool HandleItemListNotify(AppState& app, const NMHDR& header, LRESULT& result);
bool DrawListRow(AppState& app, const DRAWITEMSTRUCT& item);
bool MeasureListRow(AppState& app, MEASUREITEMSTRUCT& item);
// Builds the columns again from the settings (shown, width, order).
void RebuildItemListColumns(AppState& app);

}  // namespace vel
