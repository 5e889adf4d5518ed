#include "editing/editing_commands_win.h"

#include <windows.h>
#include <shellapi.h>

#include "core/app_state_win.h"
#include "core/command_ids.h"
#include "core/commands_win.h"
#include "platform/codepage.h"
#include "core/focused_item_win.h"
#include "db/database_dialogs_win.h"
#include "editing/bulk_commands_win.h"
#include "editing/bulk_text_dlg_win.h"
#include "editing/image_backup_dlg_win.h"
#include "editing/master_dialogs_win.h"
#include "editing/record_edit_dlg_win.h"
#include "platform/dialogs.h"
#include "platform/system.h"

namespace vel {
namespace {

void OpenImageFolder(AppState& app) {
  std::string key = FocusedItemKey(app);
  if (key.empty()) return;
  // An archive member's key names the archive before its "*".
  std::string path = key.substr(0, key.find('*'));
  if (!FileExists(path)) {
    ShowMessage(Jp("ファイルは見つかりませんでした。\n") + path, "", kMbOk | kMbIconInformation, app.mainWindow);
    return;
  }
  std::string arguments = "/select,\"" + path + "\"";
  ShellExecuteA(app.mainWindow, "open", "explorer.exe", arguments.c_str(), nullptr, SW_SHOWNORMAL);
}

}  // namespace

void RegisterEditingCommands() {
  RegisterCommand(kCmdReleaseEmulatorSetting, [](AppState& app) {
    ApplyToSelectedItems(app, "DELETE FROM use_emuset_table WHERE pfile_ue='__PRIMARY_KEY__';", false);
  });
  RegisterCommand(kCmdClearSnapshotPaths, [](AppState& app) {
    ApplyToSelectedItems(app, "UPDATE snap_path_table SET snap1='',snap2='',snap3='' WHERE pfile_sp='__PRIMARY_KEY__';",
                         false);
  });
  RegisterCommand(kCmdOpenImageFolder, OpenImageFolder);
  RegisterCommand(kCmdImageBackup, ShowImageBackupDialog);
  RegisterCommand(kCmdEditRecord, ShowRecordEditor);
  RegisterBulkCommands();
  RegisterBulkTextCommands();
  // 管理 menu and the main toolbar's four master buttons.
  RegisterCommand(kCmdMasterMachine, [](AppState& app) { ShowMasterAdmin(app, MasterKind::Machine); });
  RegisterCommand(kCmdMasterMedia, [](AppState& app) { ShowMasterAdmin(app, MasterKind::Media); });
  RegisterCommand(kCmdMasterGenre, [](AppState& app) { ShowMasterAdmin(app, MasterKind::Genre); });
  RegisterCommand(kCmdMasterAdultex, [](AppState& app) { ShowMasterAdmin(app, MasterKind::Adultex); });
}

}  // namespace vel
