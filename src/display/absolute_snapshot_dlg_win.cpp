#include "display/absolute_snapshot_dlg_win.h"

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <string>

#include "core/app_state_win.h"
#include "core/dialog_window_win.h"
#include "db/library_connection.h"
#include "display/info_pane_win.h"
#include "display/snapshot_choice_panel_win.h"
#include "display/snapshot_lookup.h"
#include "display/snapshot_view_win.h"
#include "platform/codepage.h"
#include "platform/dialogs.h"
#include "search/item_list_query.h"
#include "search/item_list_win.h"

namespace vel {
namespace {

constexpr int kPanelFirstId = 4101;
constexpr int kKeyId = 4100;
constexpr int kWidth = 620, kMargin = 13;

struct Dialog {
  AppState* app = nullptr;
  std::string key;  // copied at opening
  int row = -1;     // 0-based list row of the item at opening
  HWND window = nullptr;
};

// The list row keeps what was stored: its cells change in place, the
// remembered lookups are dropped, and the pane and the snapshot view redraw.
void ShowStored(AppState& app, const Dialog& d, const SnapshotChoice& choice) {
  const int row = d.row + 1;
  if (d.row >= 0 && app.mainDb.Cell(row, kPosFileName) == d.key) {
    for (int i = 0; i < 3; ++i) app.mainDb.SetCell(row, kPosSnap1 + i, choice.paths[static_cast<size_t>(i)]);
    app.mainDb.SetCell(row, kPosSnapDtt, choice.display);
  }
  ListSnapshotLookup(app).Invalidate();
  if (app.itemList) InvalidateRect(app.itemList, nullptr, FALSE);
  DrawInfoPane(app, InfoPaneRow());
  SnapViewFollow(app);
}

void Store(Dialog& d) {
  AppState& app = *d.app;
  SnapshotChoice choice;
  std::optional<std::string> refusal = SnapChoiceOfPanel(d.window, kPanelFirstId, choice);
  if (!refusal) refusal = SnapshotChoiceRefusal(choice);
  if (refusal) {
    ShowMessage(*refusal, Jp("中止"), kMbOk | kMbIconInformation, d.window);
    return;
  }
  LibraryConnection db;
  db.Open(app.databasePath, app.regexExtensionPath);
  if (auto error = StoreSnapshotChoice(db, d.key, choice)) {
    // Nothing was written; the dialog stays with what was typed.
    ShowMessage(Jp("スナップパステーブルを更新できませんでした。\n") + Utf8ToAnsi(*error), Jp("DBエラー"),
                kMbOk | kMbIconError, d.window);
    return;
  }
  db.Close();
  DestroyWindow(d.window);
  ShowStored(app, d, choice);
}

LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  Dialog* d = DialogData<Dialog>(window);
  switch (message) {
    case WM_COMMAND:
      if (!d) return 0;
      if (LOWORD(wParam) == IDOK) Store(*d);
      else if (LOWORD(wParam) == IDCANCEL) DestroyWindow(window);
      else SnapChoicePanelCommand(window, kPanelFirstId, LOWORD(wParam));
      return 0;
    case WM_DROPFILES:
      SnapChoicePanelDrop(window, kPanelFirstId, reinterpret_cast<HDROP>(wParam));
      return 0;
    case WM_CLOSE:
      DestroyWindow(window);
      return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

void ShowAbsoluteSnapshotDialog(AppState& app) {
  Dialog d;
  d.app = &app;
  d.row = app.itemList ? ListView_GetNextItem(app.itemList, -1, LVNI_FOCUSED) : -1;
  if (d.row < 0) return;
  d.key = app.mainDb.Cell(d.row + 1, kPosFileName);
  if (d.key.empty()) return;
  SnapshotChoice choice;
  {
    LibraryConnection db;
    db.Open(app.databasePath, app.regexExtensionPath);
    // What could not be read is never written back.
    if (auto error = ReadSnapshotChoice(db, d.key, choice)) {
      ShowMessage(Jp("スナップパステーブルを参照できませんでした。\n") + Utf8ToAnsi(*error), Jp("DBエラー"),
                  kMbOk | kMbIconError, app.mainWindow);
      return;
    }
  }
  const int height = 520;
  d.window = CreateDialogWindow(app.instance, app.mainWindow, Jp("スナップショット画像の絶対指定"), kWidth, height,
                                Procedure, &d);
  if (!d.window) return;
  SetWindowTextA(d.window, Jp("スナップショット画像の絶対指定").c_str());
  int y = 10;
  AddControl(d.window, "STATIC", app.mainDb.Cell(d.row + 1, kPosTitle), SS_LEFT | SS_NOPREFIX | SS_ENDELLIPSIS,
             kMargin, y, kSnapChoicePanelWidth, 18, -1);
  y += 20;
  HWND key = AddControl(d.window, "EDIT", "", WS_BORDER | ES_AUTOHSCROLL | ES_READONLY, kMargin, y,
                        kSnapChoicePanelWidth, 22, kKeyId);
  SetWindowTextA(key, d.key.c_str());
  y += 34;
  y = BuildSnapChoicePanel(d.window, kPanelFirstId, kMargin, y, choice);
  AddControl(d.window, "BUTTON", "OK", BS_DEFPUSHBUTTON | WS_TABSTOP, kWidth - 200, y, 90, 28, IDOK);
  AddControl(d.window, "BUTTON", Jp("キャンセル"), BS_PUSHBUTTON | WS_TABSTOP, kWidth - 102, y, 90, 28, IDCANCEL);
  // The client area fits what was built.
  RECT client{0, 0, kWidth, y + 40}, frame = client;
  AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongPtrA(d.window, GWL_STYLE)), FALSE,
                     static_cast<DWORD>(GetWindowLongPtrA(d.window, GWL_EXSTYLE)));
  SetWindowPos(d.window, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  DragAcceptFiles(d.window, TRUE);
  SetFocus(GetDlgItem(d.window, kPanelFirstId + kSnapChoicePath));
  RunModal(d.window, app.mainWindow);
}

void ProvideAbsoluteSnapshotDialog(AppState& app) {
  app.showAbsoluteSnapshotDialog = [&app] { ShowAbsoluteSnapshotDialog(app); };
}

}  // namespace vel
