// Database commands of the main window: backup and changes to the selection.
#include <windows.h>
#include <commctrl.h>

#include <vector>

#include "core/app_state_win.h"
#include "core/command_ids.h"
#include "core/commands_win.h"
#include "db/backup.h"
#include "db/database_dialogs_win.h"
#include "db/selection_batch.h"
#include "platform/codepage.h"
#include "platform/dialogs.h"

namespace vel {

void BackupDatabaseCommand(AppState& app) {
  if (ShowMessage(Jp("データベースファイル Velmarook.db を、\nVelmarook_[日付_時刻]BUP_DBverX.db にバックアップします。"),
                  Jp("データベースのバックアップ"), kMbOkCancel | kMbIconInformation,
                  app.mainWindow) != kIdOk)
    return;
  HCURSOR old = SetCursor(LoadCursor(nullptr, IDC_WAIT));
  BackupResult result = BackupDatabase(app.databasePath, app.regexExtensionPath, app.paths.base,
                                       NowLocal());
  SetCursor(old);
  if (result.status == BackupStatus::Failed)
    ShowMessage(Jp("データベースファイルをバックアップできませんでした。\n") + result.error,
                Jp("エラー"), kMbOk | kMbIconError, app.mainWindow);
}

void ApplyToSelectedItems(AppState& app, const std::string& sqlTemplate, bool selectNone) {
  int focused = ListView_GetNextItem(app.itemList, -1, LVNI_FOCUSED);
  if (focused < 0) return;
  EnableWindow(app.mainWindow, FALSE);
  HCURSOR old = SetCursor(LoadCursor(nullptr, IDC_WAIT));
  std::string focusedKey = app.mainDb.Cell(focused + 1, 0);
  std::vector<std::string> keys;
  for (int i = ListView_GetNextItem(app.itemList, -1, LVNI_SELECTED); i >= 0;
       i = ListView_GetNextItem(app.itemList, i, LVNI_SELECTED))
    keys.push_back(app.mainDb.Cell(i + 1, 0));
  LibraryConnection db;
  db.Open(app.databasePath, app.regexExtensionPath);
  auto failure = RunSelectionBatch(db, keys, sqlTemplate);
  db.Close();
  EnableWindow(app.mainWindow, TRUE);
  SetCursor(old);
  if (failure) {
    ShowMessage(Jp("選択したアイテムを変更できませんでした。変更は取り消されました。\n") +
                    Utf8ToAnsi(failure->error),
                Jp("DBエラー"), kMbOk | kMbIconError, app.mainWindow);
    return;
  }
  if (app.reloadItemList) app.reloadItemList(selectNone ? std::string() : focusedKey);
}

void RegisterDatabaseCommands() {
  RegisterCommand(kCmdBackupDatabase, BackupDatabaseCommand);
  RegisterCommand(kCmdDatabaseProperties, ShowDatabasePropertiesDialog);
}

}  // namespace vel
