// AdminDlg: one window with a tab per master kind, the kind's names with
// their icons in number order, and 追加 / 編集 / 削除 / 閉じる.
#include <windows.h>
#include <commctrl.h>

#include <vector>

#include "core/app_state_win.h"
#include "core/dialog_window_win.h"
#include "core/focused_item_win.h"
#include "core/shell_services_win.h"
#include "db/library_connection.h"
#include "editing/master_dialogs_win.h"
#include "editing/master_icons_win.h"
#include "platform/codepage.h"
#include "platform/dialogs.h"
#include "search/item_list_win.h"

namespace vel {
namespace {

enum : int { kTabId = 3701, kListId, kAddId, kEditId, kDeleteId, kDescriptionId };
constexpr int kRowHeight = 20;

struct Admin {
  AppState* app = nullptr;
  HWND dialog = nullptr;
  HWND tab = nullptr;
  HWND list = nullptr;
  LibraryConnection db;  // of its own: the main connection's result is the item list
  MasterKind kind = MasterKind::Machine;
  std::vector<MasterEntry> entries;  // what the list shows, in number order
  std::string focusedKey;
};

// Refills the list of the current kind and selects `select` (or the first).
void Fill(Admin& a, const std::string& select) {
  SetDlgItemTextA(a.dialog, kDescriptionId, MasterTexts(a.kind).description.c_str());
  SendMessageA(a.list, LB_RESETCONTENT, 0, 0);
  if (auto error = LoadMasterEntries(a.db, a.kind, a.entries))
    ShowMessage(Jp(" 管理テーブルを参照できません。\n") + Utf8ToAnsi(*error), Jp("DBエラー"), kMbOk | kMbIconError,
                a.dialog);
  int selected = 0;
  for (size_t i = 0; i < a.entries.size(); ++i) {
    SendMessageA(a.list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(a.entries[i].name.c_str()));
    if (a.entries[i].name == select) selected = static_cast<int>(i);
  }
  if (!a.entries.empty()) SendMessageA(a.list, LB_SETCURSEL, static_cast<WPARAM>(selected), 0);
}

const MasterEntry* Selected(Admin& a) {
  int index = static_cast<int>(SendMessageA(a.list, LB_GETCURSEL, 0, 0));
  if (index < 0 || index >= static_cast<int>(a.entries.size())) return nullptr;
  return &a.entries[static_cast<size_t>(index)];
}

void Changed(Admin& a, const std::string& select) {
  ReloadAfterMasterChange(*a.app, a.kind, a.focusedKey);
  Fill(a, select);
}

void Add(Admin& a) {
  if (!MayAddMasterRecord(a.db, a.kind, a.dialog)) return;
  if (auto saved = EditMasterRecord(*a.app, a.dialog, a.db, a.kind, std::nullopt)) Changed(a, *saved);
}

void Edit(Admin& a) {
  const MasterEntry* entry = Selected(a);
  if (!entry) return;
  std::string name = entry->name;
  if (auto saved = EditMasterRecord(*a.app, a.dialog, a.db, a.kind, name)) Changed(a, *saved);
}

void Delete(Admin& a) {
  const MasterEntry* entry = Selected(a);
  if (!entry) return;
  std::string name = entry->name;
  if (DeleteMasterRecord(a.db, a.kind, name, a.dialog)) Changed(a, "");
}

void DrawRow(Admin& a, const DRAWITEMSTRUCT& item) {
  if (item.itemID == static_cast<UINT>(-1)) return;
  bool selected = item.itemState & ODS_SELECTED;
  RECT row = item.rcItem;
  FillRect(item.hDC, &row, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
  if (item.itemID >= a.entries.size()) return;
  const MasterEntry& entry = a.entries[item.itemID];
  int x = row.left + 2;
  x += DrawMasterIcon(item.hDC, a.kind, entry.number, x, row.top, row.bottom - row.top);
  SetBkMode(item.hDC, TRANSPARENT);
  SetTextColor(item.hDC, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
  RECT text{x + 4, row.top, row.right, row.bottom};
  DrawTextA(item.hDC, entry.name.c_str(), static_cast<int>(entry.name.size()), &text,
            DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
  if (item.itemState & ODS_FOCUS) DrawFocusRect(item.hDC, &row);
}

LRESULT CALLBACK Procedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  Admin* a = DialogData<Admin>(dialog);
  switch (message) {
    case WM_COMMAND:
      if (!a) return 0;
      switch (LOWORD(wParam)) {
        case kAddId: Add(*a); break;
        case kEditId: Edit(*a); break;
        case kDeleteId: Delete(*a); break;
        case IDCANCEL: DestroyWindow(dialog); break;
        case kListId:
          if (HIWORD(wParam) == LBN_DBLCLK) Edit(*a);
          break;
      }
      return 0;
    case WM_NOTIFY: {
      const NMHDR& header = *reinterpret_cast<NMHDR*>(lParam);
      if (a && header.idFrom == kTabId && header.code == TCN_SELCHANGE) {
        a->kind = static_cast<MasterKind>(TabCtrl_GetCurSel(a->tab));
        Fill(*a, "");
        return 0;
      }
      break;
    }
    case WM_MEASUREITEM:
      reinterpret_cast<MEASUREITEMSTRUCT*>(lParam)->itemHeight = kRowHeight;
      return TRUE;
    case WM_DRAWITEM:
      if (a && wParam == kListId) DrawRow(*a, *reinterpret_cast<DRAWITEMSTRUCT*>(lParam));
      return TRUE;
    case WM_CLOSE:
      DestroyWindow(dialog);
      return 0;
  }
  return DefWindowProcA(dialog, message, wParam, lParam);
}

void Build(Admin& a) {
  a.tab = AddControl(a.dialog, WC_TABCONTROLA, "", WS_CLIPSIBLINGS | WS_TABSTOP, 8, 8, 504, 392, kTabId);
  for (MasterKind kind : kMasterKinds) {
    std::string title = MasterTexts(kind).tab;
    TCITEMA item{};
    item.mask = TCIF_TEXT;
    item.pszText = title.data();
    SendMessageA(a.tab, TCM_INSERTITEMA, static_cast<WPARAM>(kind), reinterpret_cast<LPARAM>(&item));
  }
  TabCtrl_SetCurSel(a.tab, static_cast<int>(a.kind));
  AddControl(a.dialog, "STATIC", "", SS_LEFT | SS_NOPREFIX, 20, 40, 480, 36, kDescriptionId);
  // Rows are measured once, as the list is created (WM_MEASUREITEM).
  a.list = AddControl(a.dialog, "LISTBOX", "",
                      WS_BORDER | WS_VSCROLL | LBS_NOTIFY | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT |
                          WS_TABSTOP,
                      20, 82, 370, 306, kListId);
  struct Button {
    int id;
    const char* text;
    int y;
  } buttons[] = {{kAddId, "追加", 82}, {kEditId, "編集", 116}, {kDeleteId, "削除", 150}, {IDCANCEL, "閉じる", 358}};
  for (const Button& b : buttons)
    AddControl(a.dialog, "BUTTON", Jp(b.text), BS_PUSHBUTTON | WS_TABSTOP, 400, b.y, 100, 28, b.id);
  // The tab control stays below its pages.
  SetWindowPos(a.tab, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

}  // namespace

void ReloadAfterMasterChange(AppState& app, MasterKind kind, const std::string& focusedKey) {
  LoadMasterLists(app);
  RebuildMasterIcons(app, kind);
  // The list shows the icons by number: it is read again with the new numbers.
  if (app.itemList) RefreshItemList(app, 0, focusedKey, false, 2, 1);
}

void ShowMasterAdmin(AppState& app, MasterKind kind) {
  Admin a;
  a.app = &app;
  a.kind = kind;
  a.focusedKey = FocusedItemKey(app);
  a.db.Open(app.databasePath, app.regexExtensionPath);
  a.dialog = CreateDialogWindow(app.instance, app.mainWindow, Jp("マスタ管理"), 520, 408, Procedure, &a);
  if (!a.dialog) return;
  Build(a);
  Fill(a, "");
  RunModal(a.dialog, app.mainWindow);
}

}  // namespace vel
