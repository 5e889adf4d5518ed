#include "search/last_query_win.h"

#include <windows.h>
#include <commctrl.h>

#include "core/app_state_win.h"
#include "core/command_line.h"
#include "core/settings_file.h"
#include "core/shell_services_win.h"
#include "db/sql_error_report.h"
#include "platform/codepage.h"
#include "platform/dialogs.h"
#include "search/item_list_win.h"
#include "search/last_query.h"
#include "search/search_run_win.h"

namespace vel {
namespace {

bool ListViewExists(LibraryConnection& db) {
  return !db.Query("SELECT name FROM sqlite_master WHERE type='view' AND name='list_view';") && db.RowCount() > 0;
}

void SelectRow(AppState& app, int row) {  // 1-based; 0 = none
  ListView_SetItemState(app.itemList, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
  if (row <= 0) return;
  ListView_SetItemState(app.itemList, row - 1, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  ListView_EnsureVisible(app.itemList, row - 1, FALSE);
}

}  // namespace

int RestoreLastQuery(AppState& app) {
  HCURSOR previous = SetCursor(LoadCursor(nullptr, IDC_WAIT));
  Settings& s = app.settings;
  ClearItemList(app, true);
  ListQueryState& query = ItemListQuery();
  query.sqlOrderInForce = SettingInt(s, "LastQuery", "NoSortMark") == 1;
  const bool resetSort = SettingInt(s, "etcSetting", "RebootSortReset") == 1;
  if (resetSort) {
    SetSetting(s, "etcSetting", "RebootSortReset", 0);
    WriteSettingsFile(app.paths.settingsFile, {{"etcSetting", "RebootSortReset", "0"}});
  }
  // Values that describe no sort state leave the default order.
  if (auto kept = ParseSortState(SettingText(s, "LastQuery", "SortOrder"), SettingText(s, "LastQuery", "SortColumn")))
    query.sort = *kept;
  const std::string primaryKey = SettingText(s, "LastQuery", "PrimaryKey");
  const bool afterClear = HasOption(app.commandLine, Option::ClearLastQuery);
  if (afterClear) app.groupDb.Query("DROP VIEW IF EXISTS list_view;");
  if (!ListViewExists(app.groupDb)) {
    SetCursor(previous ? previous : LoadCursor(nullptr, IDC_ARROW));
    return -1;
  }

  ShowWindow(app.itemList, SW_HIDE);
  SendMessageA(app.mainWindow, WM_SETREDRAW, FALSE, 0);
  int sortMode = query.sqlOrderInForce ? -3 : resetSort ? -1 : 1;
  int row = RefreshItemList(app, 0, "", false, 1, sortMode);
  if (row >= 0) {
    // The kept item, or none when it is no longer listed (not the first row).
    row = primaryKey.empty() ? 0 : FindRowByKey(app.mainDb, primaryKey);
    SelectRow(app, row);
  }
  SendMessageA(app.mainWindow, WM_SETREDRAW, TRUE, 0);
  ShowWindow(app.itemList, SW_SHOW);
  RedrawWindow(app.mainWindow, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_ERASE);
  SetCursor(previous ? previous : LoadCursor(nullptr, IDC_ARROW));
  if (row < 0) {
    if (afterClear) {
      // The restart could not clear it either: go on with an empty list.
      ClearItemList(app, false);
      return -1;
    }
    ShowMessage(Jp("前回の最終クエリが実行出来ませんでした。\nアイテムリストを初期化して再起動します。"), Jp("警告"),
                kMbOk | kMbIconWarning, app.mainWindow);
    RestartProgram(app, "-clearlastquery -rebootwait");
    return -1;
  }
  return row - 1;
}

void RememberLastQuery(AppState& app) {
  Settings& s = app.settings;
  const ListQueryState& query = ItemListQuery();
  SetSetting(s, "LastQuery", "NoSortMark", query.sqlOrderInForce ? 1 : 0);
  SortStateText text = FormatSortState(query.sort);
  SetSetting(s, "LastQuery", "SortOrder", text.sortOrder);
  SetSetting(s, "LastQuery", "SortColumn", text.sortColumn);
  int selected = app.itemList ? ListView_GetNextItem(app.itemList, -1, LVNI_SELECTED) : -1;
  SetSetting(s, "LastQuery", "PrimaryKey", selected >= 0 ? app.mainDb.Cell(selected + 1, 0) : std::string());
}

}  // namespace vel
