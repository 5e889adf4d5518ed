#include "app/tray_icon_win.h"

#include <windows.h>
#include <shellapi.h>

#include <cstring>

#include "core/app_state_win.h"
#include "core/cp932_text.h"

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

void ShowTrayBalloon(AppState& app, const std::string& text, BalloonIcon icon) {
  if (!app.trayIconAdded) return;
  NOTIFYICONDATAA data{};
  data.cbSize = sizeof data;
  data.hWnd = app.mainWindow;
  data.uID = kTrayIconId;
  data.uFlags = NIF_INFO;
  std::string shown = CutToBytes(text, sizeof data.szInfo - 1);  // never half a character
  std::strncpy(data.szInfo, shown.c_str(), sizeof data.szInfo - 1);
  std::strncpy(data.szInfoTitle, "Velmarook2", sizeof data.szInfoTitle - 1);
  data.uTimeout = 10000;
  data.dwInfoFlags = icon == BalloonIcon::kError     ? NIIF_ERROR
                     : icon == BalloonIcon::kWarning ? NIIF_WARNING
                                                     : (NIIF_INFO | NIIF_NOSOUND);
  Shell_NotifyIconA(NIM_MODIFY, &data);
}

}  // namespace vel
