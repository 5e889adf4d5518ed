#include "app/app_commands_win.h"

#include <windows.h>

#include "app/html_help_win.h"
#include "app/info_windows_win.h"
#include "app/menus_win.h"
#include "app/rebar_win.h"
#include "core/app_state_win.h"
#include "core/command_ids.h"
#include "core/commands_win.h"
#include "db/database_dialogs_win.h"
#include "display/absolute_snapshot_dlg_win.h"
#include "display/snapshot_view_win.h"
#include "extras/item_menus_win.h"
#include "extras/memo_view_win.h"
#include "editing/editing_commands_win.h"
#include "input/input_commands_win.h"
#include "input/message_hook_win.h"
#include "input/shortcut_key_dlg_win.h"
#include "launch/launch_commands_win.h"
#include "maintenance/maintenance_commands_win.h"
#include "periphery/periphery_commands_win.h"
#include "search/column_names_win.h"
#include "search/flag_commands_win.h"
#include "search/history_commands_win.h"
#include "search/query_tree_win.h"

namespace vel {
namespace {

void RegisterShellCommands() {
  RegisterCommandRange(kCmdMenuButtonFirst, kCmdMenuButtonLast,
                       [](AppState& app, int id) { OpenMenuOfButton(app, id - kCmdMenuButtonFirst); });
  RegisterCommand(kCmdExit, [](AppState& app) { PostMessageA(app.mainWindow, WM_CLOSE, 0, 0); });
  RegisterCommand(kCmdLockToolbars, ToggleToolbarLock);
  RegisterCommand(kCmdHelp, [](AppState& app) { OpenHelpTopic(app, app.mainWindow, "index"); });
  RegisterCommand(kCmdVersion, ShowVersionDialog);
  RegisterCommand(kCmdColumnNames, [](AppState& app) { ShowColumnNamesWindow(app, app.mainWindow); });
  // The saved keys show in the menus at once.
  RegisterCommand(kCmdShortcutKeys, [](AppState& app) {
    if (ShowShortcutKeyDialog(app)) ShowShortcutKeysInMenus(app, CurrentShortcutKeys());
  });
}

}  // namespace

void RegisterAllCommands() {
  RegisterShellCommands();
  RegisterDatabaseCommands();
  RegisterEditingCommands();
  RegisterLaunchCommands();
  RegisterMaintenanceCommands();
  RegisterHistoryCommands();
  RegisterFlagCommands();
  RegisterQueryTreeCommands();
  RegisterPeripheryCommands();
  RegisterSnapViewCommands();
  RegisterMemoViewCommands();
  RegisterItemExtrasCommands();
  RegisterInputCommands();
  ProvideAbsoluteSnapshotDialog(App());
}

}  // namespace vel
