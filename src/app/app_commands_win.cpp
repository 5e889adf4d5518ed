#include "app/app_commands_win.h"

#include <windows.h>

#include "app/html_help_win.h"
#include "app/info_windows_win.h"
#include "app/rebar_win.h"
#include "core/app_state_win.h"
#include "core/command_ids.h"
#include "core/commands_win.h"
#include "db/database_dialogs_win.h"
#include "editing/editing_commands_win.h"
#include "launch/launch_commands_win.h"
#include "maintenance/maintenance_commands_win.h"
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
  RegisterCommand(kCmdColumnNames, ShowColumnNamesWindow);
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
}

}  // namespace vel
