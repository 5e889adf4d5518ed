#include "input/message_hook_win.h"

#include <commctrl.h>

#include "core/app_state_win.h"
#include "core/command_ids.h"
#include "core/commands_win.h"
#include "core/shell_services_win.h"
#include "input/dialog_pages_win.h"
#include "input/mouse_behaviours_win.h"
#include "input/shortcut_keys.h"
#include "maintenance/maintenance_dlg_win.h"
#include "platform/codepage.h"
#include "platform/dialogs.h"
#include "search/candidate_window_win.h"
#include "search/isearch_dlg_win.h"
#include "search/item_list_query.h"
#include "search/item_list_win.h"

namespace vel {
namespace {

ShortcutTable gKeys{};

HeldModifiers Held() {
  return {GetKeyState(VK_SHIFT) < 0, GetKeyState(VK_CONTROL) < 0, GetKeyState(VK_MENU) < 0};
}

bool Matches(int entry, WPARAM key) {
  return KeyCodeMatches(gKeys[static_cast<size_t>(entry)], static_cast<int>(key), Held());
}

int FocusedItem(AppState& app) { return ListView_GetNextItem(app.itemList, -1, LVNI_FOCUSED); }

// A menu opened at the focused item of the item list (at the list's corner
// when no item has the focus).
void PopupAtFocusedItem(AppState& app, HMENU menu) {
  if (!menu) return;
  RECT r{};
  int item = FocusedItem(app);
  if (item < 0 || !ListView_GetItemRect(app.itemList, item, &r, LVIR_LABEL)) GetClientRect(app.itemList, &r);
  POINT at{r.left + 16, r.bottom};
  ClientToScreen(app.itemList, &at);
  TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_TOPALIGN, at.x, at.y, 0, app.mainWindow, nullptr);
}

void RunIfPresent(AppState& app, int command) {
  if (HasCommand(command)) RunCommand(app, command);
}

void ToggleSelectAll(AppState& app) {
  int count = ListView_GetItemCount(app.itemList);
  bool all = count > 0 && static_cast<int>(ListView_GetSelectedCount(app.itemList)) == count;
  ListView_SetItemState(app.itemList, -1, all ? 0 : LVIS_SELECTED, LVIS_SELECTED);
}

// The statements in force: the view the lists read and the group filter.
void ShowExecutedQuery(AppState& app) {
  // A connection of its own: the main connection's result is the item list.
  LibraryConnection db;
  db.Open(app.databasePath, app.regexExtensionPath);
  std::string sql = "SELECT sql FROM sqlite_master WHERE tbl_name='list_view';";
  if (auto error = db.Query(sql)) {
    ShowMessage(Utf8ToAnsi(*error), Jp("DBエラー"), kMbOk | kMbIconError, app.mainWindow);
    return;
  }
  ShowMessage(ExecutedQueryText(db.RowCount() > 0 ? db.Cell(1, 0) : "", ItemListQuery()), Jp("実行クエリの確認"), kMbOk,
              app.mainWindow);
}

// Set while the keys typed meanwhile are taken out of the queue: taking a
// message out passes it through this hook again, where it must not act.
bool gDiscardingKeys = false;

}  // namespace

void SetTakingKeysOut(bool taking) { gDiscardingKeys = taking; }

namespace {

void DiscardPendingKeys() {
  gDiscardingKeys = true;
  MSG pending;
  while (PeekMessageA(&pending, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE)) {
  }
  gDiscardingKeys = false;
}

// The first entry of the key table that matches acts (Ctrl+PageUp/Down move
// through the initial index when none does); true when a key was used.
bool ItemListKey(AppState& app, WPARAM key) {
  // The snapshot view window is not part of the program yet: its keys rest.
  ItemListKeyChoice choice = ChooseItemListKey(gKeys, static_cast<int>(key), Held(), false);
  if (choice.action == ItemListKeyAction::kNone) return false;
  if (choice.action != ItemListKeyAction::kEntry) {
    InitialIndexSeek(app, choice.action == ItemListKeyAction::kNextIndexEntry);
    return true;
  }
  int entry = choice.entry;
  static const int kCommands[] = {kCmdEditRecord, 0, 1171, 1172, 1173, 1174, 1177, 0, kCmdToggleAdult, 0, 1175, 1176};
  switch (entry) {
    case kKeySelectEmulator: PopupAtFocusedItem(app, MainDynamicSubmenu(app, DynamicList::Emulators)); break;
    case kKeyBulkGenre: PopupAtFocusedItem(app, MainDynamicSubmenu(app, DynamicList::Genres)); break;
    case kKeyBulkRating: PopupAtFocusedItem(app, MainDynamicSubmenu(app, DynamicList::Adultex)); break;
    case kKeyBulkMedia: PopupAtFocusedItem(app, MainDynamicSubmenu(app, DynamicList::Media)); break;
    case kKeyBulkMachine: PopupAtFocusedItem(app, MainDynamicSubmenu(app, DynamicList::Machines)); break;
    case kKeyBulkAdult:
      RunIfPresent(app, kCmdToggleAdult);
      Sleep(150);
      break;
    case kKeyItemListSearch: OpenIncrementalSearch(app); break;
    case kKeySelectAll: ToggleSelectAll(app); break;
    case kKeyFocusListToTree: SetFocus(app.queryTree); break;
    case kKeyFocusListToSearch: SetFocus(app.searchText); break;
    case kKeyEditMenu: PopupAtFocusedItem(app, MainEditMenu(app)); break;
    case kKeySmartTitle: ShowSmartTitleOfFocusedItem(app); break;  // as stored, with an error if it cannot be read
    case kKeyListQuery: ShowExecutedQuery(app); break;
    default:
      if (entry < static_cast<int>(std::size(kCommands))) {
        RunIfPresent(app, kCommands[entry]);
      } else if (entry >= kKeyFavourite0 && entry < kKeyFavourite0 + 10) {
        RunIfPresent(app, kCmdFavourite0 + entry - kKeyFavourite0);
      } else {
        return false;
      }
  }
  // Keys typed meanwhile are not meant for the list.
  DiscardPendingKeys();
  return true;
}

// Esc in the search box with no drop-down open: the text is emptied and the
// target goes back to its first entry.
void ClearSearchBox(AppState& app) {
  if (app.searchTarget) SendMessageA(app.searchTarget, CB_SETCURSEL, 0, 0);
  SetWindowTextA(app.searchText, "");
}

// Acts on a key pressed while the main window is in front; true when the
// key was used (the message is then swallowed).
bool MainWindowKey(AppState& app, WPARAM key) {
  HWND focus = GetFocus();
  if (focus == app.searchText) {
    // Esc closes an open drop-down, else empties the box.
    if (key == VK_ESCAPE) return CandidatesShown() ? HideCandidates(app) : ClearSearchBox(app), true;
    if (Matches(kKeyFocusSearchToList, key)) return SetFocus(app.itemList), true;
    if (Matches(kKeyFocusSearchToTree, key)) return SetFocus(app.queryTree), true;
    return false;
  }
  if (key == VK_OEM_2 && GetKeyState(VK_CONTROL) >= 0) return SetFocus(app.searchText), true;
  if (focus == app.queryTree && Matches(kKeyFocusTreeToGroups, key)) {
    if (IsWindowVisible(app.groupList)) {
      if (ListView_GetNextItem(app.groupList, -1, LVNI_SELECTED) < 0 && ListView_GetItemCount(app.groupList) > 0)
        ListView_SetItemState(app.groupList, 0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
      SetFocus(app.groupList);
    } else {
      SetFocus(app.itemList);
    }
    return true;
  }
  if (focus == app.groupList) {
    if (key == VK_RIGHT || key == VK_LEFT) return StepGroupTab(app, key == VK_RIGHT), true;
    if (Matches(kKeyFocusGroupsToList, key)) return SetFocus(app.itemList), true;
    return false;
  }
  if (focus == app.itemList) return ItemListKey(app, key);
  return false;
}

LRESULT CALLBACK MessageHook(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HC_ACTION && wParam == PM_REMOVE) {
    MSG& message = *reinterpret_cast<MSG*>(lParam);
    AppState& app = App();
    if (message.message == WM_MOUSEWHEEL || message.message == WM_MOUSEMOVE ||
        (message.message >= WM_MBUTTONDOWN && message.message <= WM_MBUTTONDBLCLK))
      HandleMouseMessage(app, message);
    if ((message.message == WM_KEYDOWN || message.message == WM_SYSKEYDOWN) && !gDiscardingKeys &&
        GetForegroundWindow() == app.mainWindow)
      RearmDemoTimer();
    if (message.message == WM_KEYDOWN && !gDiscardingKeys && app.mainWindow && StepDialogPage(app, message))
      message.wParam = 0;
    if ((message.message == WM_KEYDOWN || message.message == WM_SYSKEYDOWN) && message.wParam != 0 &&
        !gDiscardingKeys && app.mainWindow && GetForegroundWindow() == app.mainWindow && MainWindowKey(app, message.wParam))
      message.wParam = 0;
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

bool InstallMessageHook(AppState& app) {
  gKeys = ReadShortcutTable(app.paths.base + "\\Velmarook2_Key.ini");
  app.messageHook = SetWindowsHookExA(WH_GETMESSAGE, MessageHook, nullptr, GetCurrentThreadId());
  return app.messageHook != nullptr;
}

const ShortcutTable& CurrentShortcutKeys() { return gKeys; }

void ReplaceShortcutKeys(const ShortcutTable& keys) { gKeys = keys; }

bool ListDragModifierHeld() {
  int key = gKeys[kKeyListDrag] & 0xFFF;
  return key == 0 || GetKeyState(key) < 0;
}

}  // namespace vel
