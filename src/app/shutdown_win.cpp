#include "app/shutdown_win.h"

#include <objbase.h>
#include <shellapi.h>

#include "app/html_help_win.h"
#include "app/menus_win.h"
#include "app/tray_icon_win.h"
#include "app/wait_window_win.h"
#include "core/app_state_win.h"
#include "db/database_lock.h"
#include "display/image_loader_win.h"
#include "editing/master_icons_win.h"
#include "platform/codepage.h"
#include "platform/dialogs.h"
#include "platform/system.h"
#include "search/last_query_win.h"

namespace vel {
namespace {

void ReleaseModifierKeys() {
  // A key script may have left these pressed.
  for (BYTE key : {BYTE{165}, BYTE{16}, BYTE{162}}) {
    keybd_event(key, 0, KEYEVENTF_KEYUP, 0);
    Sleep(200);
  }
}

void CleanUp(AppState& app) {
  if (app.messageHook) UnhookWindowsHookEx(app.messageHook);
  app.messageHook = nullptr;
  RemoveTrayIcon(app);
  ReleaseModifierKeys();
  UninitialiseHelp(app);
  if (app.mainWindow)
    for (UINT_PTR timer : {1, 2, 3, 4, 5, 6, 8, 10, 11}) KillTimer(app.mainWindow, timer);
  DestroyWaitWindow(app);
  DestroyMasterIcons();
  for (HFONT& font : app.uiFonts) {
    if (font) DeleteObject(font);
    font = nullptr;
  }
  if (app.programIcon) DestroyIcon(app.programIcon);
  app.programIcon = nullptr;
  CoUninitialize();
}

}  // namespace

void EndProgram(AppState& app) {
  CleanUp(app);
  DestroyMenus(app);
  if (app.defaultGuiFont) DeleteObject(app.defaultGuiFont);
  app.defaultGuiFont = nullptr;
  if (app.buttonFaceBrush) DeleteObject(app.buttonFaceBrush);
  app.buttonFaceBrush = nullptr;
  PostQuitMessage(0);
}

void RestartProgram(AppState& app, const std::string& options) {
  RemoveTrayIcon(app);
  // The new instance takes the lock again; this one will not reach its close.
  ReleaseDatabaseLock(app.databasePath, app.regexExtensionPath, ComputerName());
  std::string program = app.paths.programFile;
  if (!FileExists(program)) {
    char own[MAX_PATH * 2] = {};
    GetModuleFileNameA(nullptr, own, sizeof own);
    program = own;
  }
  HINSTANCE result = ShellExecuteA(nullptr, "open", program.c_str(), options.c_str(),
                                   app.paths.base.c_str(), SW_SHOWNORMAL);
  if (reinterpret_cast<INT_PTR>(result) <= 32) {
    ShowMessage(Jp("再起動できませんでした。\n") + program + Jp("\nもう一度起動してください。"),
                Jp("エラー"), kMbOk | kMbIconError, app.mainWindow);
  }
  EndProgram(app);
}

void FinalExit(AppState& app) {
  app.groupDb.Close();
  app.mainDb.Close();
  app.archivers.reset();
  ShutdownImageSupport(app);
  ExitProcess(0);
}

void SaveSettingsAtExit(AppState& app) {
  if (app.noSaveFlag == 1 || app.layoutMode == kLayoutSavedForRestart) return;
  Settings& s = app.settings;
  WINDOWPLACEMENT placement{};
  placement.length = sizeof placement;
  if (app.mainWindow && GetWindowPlacement(app.mainWindow, &placement)) {
    const RECT& r = placement.rcNormalPosition;
    SetSetting(s, "Window", "PositionX", static_cast<int>(r.left));
    SetSetting(s, "Window", "PositionY", static_cast<int>(r.top));
    SetSetting(s, "Window", "Width", static_cast<int>(r.right - r.left));
    SetSetting(s, "Window", "Height", static_cast<int>(r.bottom - r.top));
    SetSetting(s, "Window", "Maximize", placement.showCmd == SW_SHOWMAXIMIZED ? 1 : 0);
    SetSetting(s, "Window", "MaxPosX", static_cast<int>(placement.ptMaxPosition.x));
    SetSetting(s, "Window", "MaxPosY", static_cast<int>(placement.ptMaxPosition.y));
  }
  SetSetting(s, "KeyState", "ScrlLk", (GetKeyState(VK_SCROLL) & 1) ? 1 : 0);
  RememberLastQuery(app);
  std::string failed;
  if (!WriteSettingsAtExit(s, app.paths, app.layoutMode, &failed))
    ShowMessage(Jp("設定を保存できませんでした。\n") + failed +
                    Jp("\nディスクの空きが足りないか、書き込みが禁止されています。設定ファイルは保存前のままです。"),
                Jp("エラー"), kMbOk | kMbIconError, app.mainWindow);
}

}  // namespace vel
