#include "search/column_names_win.h"

#include "core/app_state_win.h"
#include "core/dialog_window_win.h"
#include "db/library_connection.h"
#include "platform/codepage.h"

namespace vel {

void ShowColumnNamesWindow(AppState& app, HWND owner) {
  HWND dialog = CreateDialogWindow(app.instance, owner, Jp("DBカラム名一覧"), 300, 420, CloseOnOkOrCancel, nullptr);
  if (!dialog) return;
  HWND list = AddControl(dialog, "LISTBOX", "", WS_BORDER | WS_VSCROLL | LBS_NOINTEGRALHEIGHT, 8, 8, 284, 364, -1);
  LibraryConnection db;
  db.Open(app.databasePath, app.regexExtensionPath);
  if (!db.Query("PRAGMA table_info(all_item_view);"))
    for (int r = 1; r <= db.RowCount(); ++r)
      SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(db.Cell(r, 1).c_str()));
  AddControl(dialog, "BUTTON", Jp("閉じる"), BS_DEFPUSHBUTTON | WS_TABSTOP, 196, 382, 96, 28, IDOK);
  RunModal(dialog, owner);
}

}  // namespace vel
