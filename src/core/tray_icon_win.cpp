#include "core/tray_icon_win.h"

#include <windows.h>
#include <shellapi.h>

#include <cstring>

#include "core/app_state_win.h"

namespace vel {

void AddTrayIcon(AppState& app) {
  NOTIFYICONDATAA data{};
  data.cbSize = sizeof data;
  data.hWnd = app.mainWindow;
  data.uID = kTrayIconId;
  data.uFlags = NIF_ICON | NIF_MESSAGE | NIF_TIP;
  data.uCallbackMessage = kTrayCallbackMessage;
  data.hIcon = app.programIcon ? app.programIcon : LoadIcon(nullptr, IDI_APPLICATION);
  std::strncpy(data.szTip, "Velmarook2", sizeof data.szTip - 1);
  app.trayIconAdded = Shell_NotifyIconA(NIM_ADD, &data) != FALSE;
}

void RemoveTrayIcon(AppState& app) {
  if (!app.trayIconAdded) return;
  NOTIFYICONDATAA data{};
  data.cbSize = sizeof data;
  data.hWnd = app.mainWindow;
  data.uID = kTrayIconId;
  Shell_NotifyIconA(NIM_DELETE, &data);
  app.trayIconAdded = false;
}

}  // namespace vel
