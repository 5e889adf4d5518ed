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

std::vector<int> SelectedItemRows(AppState& app) {
  std::vector<int> rows;
  if (!app.itemList) return rows;
  for (int i = ListView_GetNextItem(app.itemList, -1, LVNI_SELECTED); i >= 0;
       i = ListView_GetNextItem(app.itemList, i, LVNI_SELECTED))
    if (i < app.mainDb.RowCount()) rows.push_back(i + 1);
  return rows;
}

std::vector<std::string> SelectedItemKeys(AppState& app) {
  std::vector<std::string> keys;
  for (int row : SelectedItemRows(app)) keys.push_back(app.mainDb.Cell(row, 0));
  return keys;
}

bool RunOnSelection(AppState& app, const std::vector<std::string>& keys, const SelectionBatch& batch,
                    const std::string& failureText) {
  EnableWindow(app.mainWindow, FALSE);
  HCURSOR old = SetCursor(LoadCursor(nullptr, IDC_WAIT));
  LibraryConnection db;
  db.Open(app.databasePath, app.regexExtensionPath);
  auto failure = batch(db, keys);
  db.Close();
  EnableWindow(app.mainWindow, TRUE);
  SetCursor(old);
  if (failure) {
    ShowMessage(failureText + Utf8ToAnsi(failure->error), Jp("DBエラー"), kMbOk | kMbIconError, app.mainWindow);
    return false;
  }
  return true;
}

void ApplyToSelectedItems(AppState& app, const std::string& sqlTemplate, bool selectNone) {
  int focused = ListView_GetNextItem(app.itemList, -1, LVNI_FOCUSED);
  if (focused < 0) return;
  std::string focusedKey = app.mainDb.Cell(focused + 1, 0);
  bool applied = RunOnSelection(
      app, SelectedItemKeys(app),
      [&](LibraryConnection& db, const std::vector<std::string>& keys) {
        return RunSelectionBatch(db, keys, sqlTemplate);
      },
      Jp("選択したアイテムを変更できませんでした。変更は取り消されました。\n"));
  if (applied && app.reloadItemList) app.reloadItemList(selectNone ? std::string() : focusedKey);
}

void RegisterDatabaseCommands() {
  RegisterCommand(kCmdBackupDatabase, BackupDatabaseCommand);
  RegisterCommand(kCmdDatabaseProperties, ShowDatabasePropertiesDialog);
}

}  // namespace vel
