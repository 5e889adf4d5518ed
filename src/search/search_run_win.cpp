#include "search/search_run_win.h"

#include <windows.h>
#include <commctrl.h>

#include "core/app_state_win.h"
#include "maintenance/title_converter.h"
#include "search/history_commands_win.h"
#include "search/item_list_win.h"
#include "search/migemo.h"
#include "search/search_watch_win.h"

namespace vel {
namespace {

MigemoLibrary gMigemo;
bool gMigemoTried = false;

void SetListCount(HWND list, int rows) {
  if (!list) return;
  SendMessageA(list, LVM_SETITEMCOUNT, static_cast<WPARAM>(rows), LVSICF_NOINVALIDATEALL);
  InvalidateRect(list, nullptr, TRUE);
}

void SelectRow(HWND list, int row) {  // 0-based; -1 = none
  if (!list) return;
  LVITEMA clear{};
  clear.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&clear));
  if (row < 0) return;
  LVITEMA set{};
  set.state = set.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&set));
  SendMessageA(list, LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), FALSE);
}

}  // namespace

MigemoSource* ProgramMigemo(AppState& app) {
  if (!gMigemoTried) {
    gMigemoTried = true;
    gMigemo.Load(app.paths.base + "\\" + kMigemoLibraryName, kMigemoDictionary);
  }
  return gMigemo.Loaded() ? &gMigemo : nullptr;
}

void ClearItemList(AppState& app, bool keepView) {
  if (!keepView) DropListView(app.mainDb);
  SetListCount(app.itemList, 0);
  SetListCount(app.groupList, 0);
  if (app.statusBar) SendMessageA(app.statusBar, SB_SETTEXTA, 2, reinterpret_cast<LPARAM>(""));
}

SearchOutcome RunSearch(AppState& app, ListQueryState& state, const std::string& text, int target,
                        int subMode, bool orOnly, const SearchHooks& hooks) {
  if (text.empty()) return {};
  std::string selectedKey;
  int selected = app.itemList ? static_cast<int>(SendMessageA(app.itemList, LVM_GETNEXTITEM,
                                                              static_cast<WPARAM>(-1), LVNI_SELECTED))
                              : -1;
  if (selected >= 0) selectedKey = app.mainDb.Cell(selected + 1, kPosFileName);
  // The lists keep showing the previous result until the new one is loaded:
  // a stopped search puts it back.
  if (app.statusBar) SendMessageA(app.statusBar, SB_SETTEXTA, 2, reinterpret_cast<LPARAM>(""));

  SearchEnvironment env;
  env.db = &app.mainDb;
  env.regexEngine = app.regexMode;
  env.migemo = ProgramMigemo(app);
  env.migemoSearchOn = SettingInt(app.settings, "Migemo", "SearchOn") == 1;
  env.migemoClassLimit = SettingInt(app.settings, "Migemo", "SearchClassLimit");
  // The same conversion that fills smart_title; the user's symbol tables
  // also narrow release dates.
  TitleConverter converter(ReadSymbolTables(app.paths.settingsFile));
  env.smartTitle = [&converter](const std::string& t) { return SmartTitle(converter, t); };
  env.narrowText = [&converter](const std::string& t) {
    ConversionOptions narrow;
    narrow.narrowSymbols = true;
    return converter.Convert(t, narrow);
  };
  env.loadList = hooks.loadList;
  env.saveHistory = hooks.saveHistory;
  bool shown = false;
  auto show = [&](int rows) {
    if (rows >= 0 && hooks.refreshGroups) hooks.refreshGroups();
    if (rows < 0 && hooks.clearGroups) hooks.clearGroups();
    SetListCount(app.itemList, rows < 0 ? 0 : rows);
    shown = true;
  };
  env.showList = show;

  SearchWatch watch(app);
  env.stopRequested = [&watch] { return watch.StopRequested(); };

  HCURSOR previous = SetCursor(LoadCursor(nullptr, IDC_WAIT));
  SearchOutcome outcome = SearchItems(env, state, text, target, subMode, orOnly);
  if (outcome.stopped) {
    SetListCount(app.itemList, app.mainDb.RowCount());
  } else if (!shown) {
    show(-1);  // nothing was built: no list, no groups
  }
  SetCursor(previous ? previous : LoadCursor(nullptr, IDC_ARROW));

  if (outcome.rows > 0) SelectRow(app.itemList, FindRowByKey(app.mainDb, selectedKey) - 1);
  return outcome;
}

int RunListSearch(AppState& a, const std::string& text, int target, int subMode, bool orOnly) {
  SearchHooks hooks;
  hooks.loadList = [](int column, int how) {
    return SortAndLoad(App(), column, how) == 0 ? App().mainDb.RowCount() : -1;
  };
  hooks.refreshGroups = [] { BuildGroupList(App(), true); };
  hooks.clearGroups = [] { ClearGroupList(App()); };
  hooks.saveHistory = [](int t, const std::string& s) { RecordSearchInHistory(App(), t, s); };
  // A search starts every group tab afresh: no remembered row stands over other values.
  ForgetGroupRows(a);
  SearchOutcome outcome = RunSearch(a, ItemListQuery(), text, target, subMode, orOnly, hooks);
  if (a.statusBar && !outcome.countText.empty()) {
    SendMessageA(a.statusBar, SB_SETTEXTA, 1, reinterpret_cast<LPARAM>(outcome.countText.c_str()));
    SendMessageA(a.statusBar, SB_SETTEXTA, 3, reinterpret_cast<LPARAM>(outcome.timeText.c_str()));
  }
  return outcome.rows;
}

void ConnectSearch(AppState& app) {
  app.runSearch = [](const std::string& text, int target) {
    return RunListSearch(App(), text, target, kMatchContains, false);
  };
}

}  // namespace vel
