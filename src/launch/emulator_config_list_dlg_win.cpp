// EmuConfListDlg: one row per machine and per configuration of its folder,
// with the default marks, the usage mark and a check box for the hidden
// attribute of each configuration file.
#include <windows.h>
#include <commctrl.h>

#include <initializer_list>
#include <utility>

#include "core/app_state_win.h"
#include "core/dialog_window_win.h"
#include "db/library_connection.h"
#include "db/sql_error_report.h"
#include "editing/master_tables.h"
#include "launch/emulator_config.h"
#include "launch/emulator_config_dlg_win.h"
#include "platform/codepage.h"
#include "platform/dialogs.h"
#include "platform/file_operations.h"
#include "search/item_list_query.h"
#include "search/item_list_win.h"
#include "search/search_items.h"

namespace vel {
namespace {

enum : int {
  kListId = 3501,
  kAddId,
  kEditId,
  kDuplicateId,
  kDeleteId,
  kDefaultId,
  kBigPictureId,
  kQuickFilterId,
  kUsageId,
  kCloseId = IDCANCEL,
};
// The emulator-settings context menu of a row.
constexpr int kCmdUsageList = 1262, kCmdQuickFilter = 1263;

struct Row {
  std::string machine;
  bool isConfig = false;
  ConfigListRow config;
};

struct ListDialog {
  AppState* app = nullptr;
  HWND dialog = nullptr;
  HWND list = nullptr;
  LibraryConnection db;  // of its own: the main connection's result is the item list
  std::vector<std::string> machines;
  std::vector<Row> rows;
  bool filling = false;
  bool bindingsChanged = false;
  bool listFiltered = false;
};

void ShowDbError(HWND owner, const std::string& what, const std::string& error) {
  ShowMessage(what + Utf8ToAnsi(error), Jp("DBエラー"), kMbOk | kMbIconError, owner);
}

void SetCell(HWND list, int row, int column, const std::string& text) {
  LVITEMA item{};
  item.iSubItem = column;
  item.pszText = const_cast<char*>(text.c_str());
  SendMessageA(list, LVM_SETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

// Report columns: header text (UTF-8) and width.
void AddColumns(HWND list, std::initializer_list<std::pair<const char*, int>> columns) {
  int index = 0;
  for (const auto& [header, width] : columns) {
    std::string text = Jp(header);
    LVCOLUMNA column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.pszText = text.data();
    column.cx = width;
    SendMessageA(list, LVM_INSERTCOLUMNA, static_cast<WPARAM>(index++), reinterpret_cast<LPARAM>(&column));
  }
}

// Refills the rows and selects the row of `machine`/`name` ("" = the machine row).
void Fill(ListDialog& d, const std::string& machine, const std::string& name) {
  d.filling = true;
  SendMessageA(d.list, LVM_DELETEALLITEMS, 0, 0);
  d.rows.clear();
  d.machines.clear();
  if (auto error = LoadMasterNames(d.db, "machine", d.machines))
    ShowDbError(d.dialog, Jp("機種管理レコードを参照できませんでした。\n"), *error);
  std::vector<ConfigListRow> configs = ConfigListRows(d.app->paths.base, d.machines, d.db);
  for (const std::string& m : d.machines) {
    d.rows.push_back({m, false, {}});
    for (const ConfigListRow& c : configs)
      if (c.machine == m) d.rows.push_back({m, true, c});
  }
  int select = 0;
  for (size_t i = 0; i < d.rows.size(); ++i) {
    const Row& r = d.rows[i];
    int index = static_cast<int>(i);
    LVITEMA item{};
    item.mask = LVIF_TEXT;
    item.iItem = index;
    item.pszText = const_cast<char*>(r.machine.c_str());
    SendMessageA(d.list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
    LVITEMA state{};
    state.stateMask = LVIS_STATEIMAGEMASK;
    // Machine rows carry no check box; a ticked configuration is hidden.
    state.state = r.isConfig ? INDEXTOSTATEIMAGEMASK(r.config.hidden ? 2 : 1) : 0;
    SendMessageA(d.list, LVM_SETITEMSTATE, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&state));
    if (r.isConfig) {
      SetCell(d.list, index, 1, DefaultMark(r.config));
      SetCell(d.list, index, 2, r.config.name);
      SetCell(d.list, index, 3, UsageMark(r.config));
    }
    if (r.machine == machine && (r.isConfig ? r.config.name == name : name.empty())) select = index;
  }
  if (!d.rows.empty()) {
    LVITEMA state{};
    state.state = state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(d.list, LVM_SETITEMSTATE, static_cast<WPARAM>(select), reinterpret_cast<LPARAM>(&state));
    SendMessageA(d.list, LVM_ENSUREVISIBLE, static_cast<WPARAM>(select), FALSE);
  }
  d.filling = false;
}

// The selected row, or null.
const Row* Selected(ListDialog& d) {
  int index = static_cast<int>(SendMessageA(d.list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
  if (index < 0 || index >= static_cast<int>(d.rows.size())) return nullptr;
  return &d.rows[static_cast<size_t>(index)];
}

// The selected configuration row, or null.
const Row* SelectedConfig(ListDialog& d) {
  const Row* row = Selected(d);
  return row && row->isConfig ? row : nullptr;
}

// A check box was changed by the user: the file's hidden attribute follows.
void OnCheckChanged(ListDialog& d, int index) {
  if (d.filling || index < 0 || index >= static_cast<int>(d.rows.size())) return;
  Row& row = d.rows[static_cast<size_t>(index)];
  if (!row.isConfig) return;
  UINT state = static_cast<UINT>(SendMessageA(d.list, LVM_GETITEMSTATE, static_cast<WPARAM>(index), LVIS_STATEIMAGEMASK));
  bool hidden = (state >> 12) == 2;
  if (hidden == row.config.hidden) return;
  std::string path = ConfigFilePath(d.app->paths.base, row.machine, row.config.name);
  if (SetHiddenFile(path, hidden)) {
    row.config.hidden = hidden;
    return;
  }
  ShowMessage(Jp("ファイルの属性を変更できませんでした。\n") + path, Jp("エラー"), kMbOk | kMbIconError, d.dialog);
  std::string machine = row.machine, name = row.config.name;
  Fill(d, machine, name);
}

void Edit(ListDialog& d, bool add) {
  const Row* row = add ? Selected(d) : SelectedConfig(d);
  if (!row) return;
  std::string machine = row->machine, name = add ? std::string() : row->config.name;
  EditorResult result = EditEmulatorConfig(*d.app, d.dialog, d.machines, machine, name);
  if (result.bindingsChanged) d.bindingsChanged = true;
  if (result.saved)
    Fill(d, result.machine, result.name);
  else
    Fill(d, machine, name);
}

void Duplicate(ListDialog& d) {
  const Row* row = SelectedConfig(d);
  if (!row) return;
  std::string machine = row->machine, name = row->config.name;
  std::optional<std::string> copy = DuplicateConfig(d.app->paths.base, machine, name);
  Fill(d, machine, copy ? *copy : name);
}

void Delete(ListDialog& d) {
  const Row* row = SelectedConfig(d);
  if (!row) return;
  std::string machine = row->machine, name = row->config.name;
  if (ShowMessage(DeleteConfigQuestion(name), Jp("確認"), kMbYesNo | kMbIconQuestion, d.dialog) != kIdYes) return;
  ConfigChange change = DeleteConfig(d.app->paths.base, machine, name, d.db);
  if (!change.ok) ShowMessage(change.message, change.caption, kMbOk | kMbIconError, d.dialog);
  if (change.changedBindings > 0) d.bindingsChanged = true;
  Fill(d, machine, "");
}

void MakeDefault(ListDialog& d, bool bigPicture) {
  const Row* row = SelectedConfig(d);
  if (!row) return;
  std::string machine = row->machine, name = row->config.name;
  DefaultChange change = bigPicture ? SetBigPictureDefault(d.app->paths.base, machine, name)
                                    : SetMachineDefault(d.app->paths.base, machine, name);
  if (change == DefaultChange::kAlreadyDefault)
    ShowMessage(AlreadyDefaultMessage(), "", kMbOk | kMbIconInformation, d.dialog);
  else if (change == DefaultChange::kFailed)
    ShowMessage(Jp("設定ファイルに書き込めませんでした。\n") + MachineDefaultFile(d.app->paths.base, machine),
                Jp("エラー"), kMbOk | kMbIconError, d.dialog);
  Fill(d, machine, name);
}

// Shows the items bound to the configuration in the item list and closes.
void QuickFilter(ListDialog& d) {
  const Row* row = SelectedConfig(d);
  if (!row) return;
  AppState& app = *d.app;
  const std::string sql = QuickFilterSql(row->machine, row->config.name);
  // Without an item list (no view yet) the filter finds nothing, silently.
  if (auto error = LoadListResult(app, sql))
    if (ReportSqlError("EmuConfList:QuickFilter", Jp("クイックフィルタを実行できませんでした。"), *error, sql)) return;
  if (app.itemList) {
    SendMessageA(app.itemList, LVM_SETITEMCOUNT, static_cast<WPARAM>(app.mainDb.RowCount()), 0);
    InvalidateRect(app.itemList, nullptr, TRUE);
    LVITEMA state{};
    state.state = state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    if (app.mainDb.RowCount() > 0)
      SendMessageA(app.itemList, LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&state));
  }
  if (app.statusBar)
    SendMessageA(app.statusBar, SB_SETTEXTA, 1,
                 reinterpret_cast<LPARAM>(SearchCountText(app.mainDb.RowCount()).c_str()));
  d.listFiltered = true;
  DestroyWindow(d.dialog);
}

struct UsageWindow {
  std::string heading;
  std::vector<std::pair<std::string, std::string>> items;  // title, version
};

LRESULT CALLBACK UsageProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if ((message == WM_COMMAND && LOWORD(wParam) == IDCANCEL) || message == WM_CLOSE) {
    DestroyWindow(window);
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

// The titles and versions of the items bound to the configuration.
void UsageList(ListDialog& d) {
  const Row* row = SelectedConfig(d);
  if (!row) return;
  if (auto error = d.db.Query(UsageListSql(row->machine, row->config.name))) {
    ShowDbError(d.dialog, Jp("使用中のアイテムを参照できませんでした。\n"), *error);
    return;
  }
  UsageWindow usage;
  usage.heading = UsageListHeading(row->machine, row->config.name, d.db.RowCount());
  for (int r = 1; r <= d.db.RowCount(); ++r) usage.items.emplace_back(d.db.Cell(r, 0), d.db.Cell(r, 1));
  HWND window = CreateDialogWindow(d.app->instance, d.dialog, Jp("使用中のアイテムを確認"), 480, 360,
                                   UsageProcedure, &usage);
  if (!window) return;
  AddControl(window, "STATIC", usage.heading, SS_LEFT | SS_NOPREFIX, 8, 8, 464, 20, -1);
  HWND list = AddControl(window, WC_LISTVIEWA, "", WS_BORDER | LVS_REPORT | LVS_NOSORTHEADER | WS_TABSTOP,
                         8, 32, 464, 282, 3601);
  SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
  AddColumns(list, {{"タイトル", 300}, {"バージョン/コメント", 140}});
  for (size_t i = 0; i < usage.items.size(); ++i) {
    LVITEMA item{};
    item.mask = LVIF_TEXT;
    item.iItem = static_cast<int>(i);
    item.pszText = const_cast<char*>(usage.items[i].first.c_str());
    SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
    SetCell(list, static_cast<int>(i), 1, usage.items[i].second);
  }
  AddControl(window, "BUTTON", Jp("閉じる"), BS_DEFPUSHBUTTON | WS_TABSTOP, 392, 322, 80, 30, IDCANCEL);
  RunModal(window, d.dialog);
}

void ShowRowMenu(ListDialog& d) {
  if (!SelectedConfig(d) || !d.app->emulatorContextMenu) return;
  POINT at{};
  GetCursorPos(&at);
  UINT chosen = TrackPopupMenu(GetSubMenu(d.app->emulatorContextMenu, 0), TPM_RETURNCMD | TPM_RIGHTBUTTON,
                               at.x, at.y, 0, d.dialog, nullptr);
  if (chosen == kCmdUsageList) UsageList(d);
  if (chosen == kCmdQuickFilter) QuickFilter(d);
}

void OnCommand(ListDialog& d, int id) {
  switch (id) {
    case kAddId: Edit(d, true); break;
    case kEditId: Edit(d, false); break;
    case kDuplicateId: Duplicate(d); break;
    case kDeleteId: Delete(d); break;
    case kDefaultId: MakeDefault(d, false); break;
    case kBigPictureId: MakeDefault(d, true); break;
    case kQuickFilterId: QuickFilter(d); break;
    case kUsageId: UsageList(d); break;
    case kCloseId: DestroyWindow(d.dialog); break;
  }
}

bool OnNotify(ListDialog& d, const NMHDR& header) {
  if (header.idFrom != kListId) return false;
  switch (header.code) {
    case LVN_ITEMCHANGED: {
      const auto& change = reinterpret_cast<const NMLISTVIEW&>(header);
      if ((change.uChanged & LVIF_STATE) && ((change.uNewState ^ change.uOldState) & LVIS_STATEIMAGEMASK))
        OnCheckChanged(d, change.iItem);
      return true;
    }
    case NM_DBLCLK: Edit(d, false); return true;
    case NM_RCLICK: ShowRowMenu(d); return true;
  }
  return false;
}

LRESULT CALLBACK Procedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  ListDialog* d = DialogData<ListDialog>(dialog);
  switch (message) {
    case WM_COMMAND:
      if (d) OnCommand(*d, LOWORD(wParam));
      return 0;
    case WM_NOTIFY:
      if (d && OnNotify(*d, *reinterpret_cast<NMHDR*>(lParam))) return 0;
      break;
    case WM_CLOSE:
      DestroyWindow(dialog);
      return 0;
  }
  return DefWindowProcA(dialog, message, wParam, lParam);
}

void Build(ListDialog& d) {
  d.list = AddControl(d.dialog, WC_LISTVIEWA, "",
                      WS_BORDER | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_NOSORTHEADER | WS_TABSTOP,
                      8, 8, 440, 384, kListId);
  SendMessageA(d.list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0,
               LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
  AddColumns(d.list, {{"機種", 130}, {"", 52}, {"設定名", 190}, {"", 52}});
  struct Button {
    int id;
    const char* text;
  } buttons[] = {{kAddId, "追加"},
                 {kEditId, "編集"},
                 {kDuplicateId, "複製"},
                 {kDeleteId, "削除"},
                 {kDefaultId, "デフォルトエミュレータに設定"},
                 {kBigPictureId, "BigPicture用デフォルトに設定"},
                 {kQuickFilterId, "クイックフィルタ"},
                 {kUsageId, "使用中のアイテムを確認"}};
  int y = 8;
  for (const Button& b : buttons) {
    AddControl(d.dialog, "BUTTON", Jp(b.text), BS_PUSHBUTTON | WS_TABSTOP, 458, y, 214, 28, b.id);
    y += b.id == kDeleteId || b.id == kBigPictureId ? 44 : 34;
  }
  AddControl(d.dialog, "BUTTON", Jp("閉じる"), BS_DEFPUSHBUTTON | WS_TABSTOP, 592, 364, 80, 28, kCloseId);
}

// At least one machine must exist before configurations can be made.
bool HasMachines(AppState& app, LibraryConnection& db) {
  std::string count = "0";
  if (auto error = db.Query("SELECT COUNT(*) FROM machine_info_table;"))
    ShowDbError(app.mainWindow, Jp("機種管理レコードを参照できませんでした。\n"), *error);
  else
    count = db.Cell(1, 0);
  if (count != "0") return true;
  ShowMessage(Jp("エミュレータの設定には、最低１つの機種登録が必要です。\n\nメニューの[管理]→[機種]から機種を追加できます。\n"),
              "", kMbOk | kMbIconInformation, app.mainWindow);
  return false;
}

}  // namespace

void ShowEmulatorConfigList(AppState& app) {
  ListDialog d;
  d.app = &app;
  d.db.Open(app.databasePath, app.regexExtensionPath);
  if (!HasMachines(app, d.db)) return;
  std::string focusedKey;
  int focused = app.itemList ? static_cast<int>(SendMessageA(app.itemList, LVM_GETNEXTITEM,
                                                             static_cast<WPARAM>(-1), LVNI_FOCUSED))
                             : -1;
  if (focused >= 0) focusedKey = app.mainDb.Cell(focused + 1, kPosFileName);
  d.dialog = CreateDialogWindow(app.instance, app.mainWindow, Jp("機種に対するエミュレータの設定を行います"), 680,
                                400, Procedure, &d);
  if (!d.dialog) return;
  Build(d);
  Fill(d, "", "");
  RunModal(d.dialog, app.mainWindow);
  if (d.bindingsChanged && !d.listFiltered && app.reloadItemList) app.reloadItemList(focusedKey);
}

}  // namespace vel
