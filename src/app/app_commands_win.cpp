#include "core/commands_win.h"

#include <commctrl.h>
#include <shellapi.h>

#include <map>

#include "core/app_state_win.h"
#include "core/command_ids.h"
#include "app/html_help_win.h"
#include "app/info_windows_win.h"
#include "app/rebar_win.h"
#include "db/database_dialogs_win.h"
#include "launch/emulator_config_dlg_win.h"
#include "launch/launch_run_win.h"
#include "maintenance/crc_recalc_dlg_win.h"
#include "maintenance/image_import_dlg_win.h"
#include "maintenance/image_sets_win.h"
#include "maintenance/maintenance_dlg_win.h"
#include "platform/codepage.h"
#include "platform/dialogs.h"
#include "platform/system.h"

namespace vel {
namespace {

using Handler = void (*)(AppState&);

// The focused item's key, or "" when no item has the focus.
std::string FocusedKey(AppState& app) {
  int focused = static_cast<int>(SendMessageA(app.itemList, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
  return focused < 0 ? std::string() : app.mainDb.Cell(focused + 1, 0);
}

void OpenImageFolder(AppState& app) {
  std::string key = FocusedKey(app);
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

const std::map<int, Handler>& Handlers() {
  static const std::map<int, Handler> handlers = {
      {kCmdBackupDatabase, BackupDatabaseCommand},
      {kCmdExit, [](AppState& app) { PostMessageA(app.mainWindow, WM_CLOSE, 0, 0); }},
      {kCmdReleaseEmulatorSetting,
       [](AppState& app) {
         ApplyToSelectedItems(app, "DELETE FROM use_emuset_table WHERE pfile_ue='__PRIMARY_KEY__';", false);
       }},
      {kCmdClearSnapshotPaths,
       [](AppState& app) {
         ApplyToSelectedItems(app, "UPDATE snap_path_table SET snap1='',snap2='',snap3='' WHERE pfile_sp='__PRIMARY_KEY__';",
                              false);
       }},
      {kCmdOpenImageFolder, OpenImageFolder},
      {kCmdLaunchDefault, LaunchFocusedItem},
      {kCmdTrayStopWaiting, [](AppState&) { AbortWindowWait(); }},
      {kCmdReleaseImageSet, [](AppState& app) { SplitImageSetCommand(app, FocusedKey(app)); }},
      {kCmdAlterEgo, [](AppState& app) { ShowAlterEgoDialog(app, FocusedKey(app)); }},
      {kCmdEmulatorSettings, ShowEmulatorConfigList},
      {kCmdAddImages, ShowImageImportDialog},
      {kCmdRecalculateCrc, ShowCrcRecalculationDialog},
      {kCmdReadings, ShowReadingGenerationDialog},
      {kCmdSmartTitles, ShowSmartTitleRebuildDialog},
      {kCmdDatabaseProperties, ShowDatabasePropertiesDialog},
      {kCmdLockToolbars, ToggleToolbarLock},
      {kCmdHelp, [](AppState& app) { OpenHelpTopic(app, app.mainWindow, "index"); }},
      {kCmdVersion, ShowVersionDialog},
      {kCmdColumnNames, ShowColumnNamesWindow},
  };
  return handlers;
}

}  // namespace

bool HasCommand(int id) {
  if (id >= kCmdMenuButtonFirst && id <= kCmdMenuButtonLast) return true;
  if (IsLaunchMenuCommand(id)) return true;
  return Handlers().count(id) != 0;
}

void RunCommand(AppState& app, int id) {
  if (id >= kCmdMenuButtonFirst && id <= kCmdMenuButtonLast) {
    OpenMenuOfButton(app, id - kCmdMenuButtonFirst);
    return;
  }
  if (IsLaunchMenuCommand(id)) return LaunchFromMenu(app, id);
  auto it = Handlers().find(id);
  if (it == Handlers().end()) return;
  it->second(app);
  if (IsWindow(app.mainWindow) && IsWindowEnabled(app.mainWindow)) {
    SetWindowPos(app.mainWindow, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SetFocus(app.itemList);
  }
}

}  // namespace vel
