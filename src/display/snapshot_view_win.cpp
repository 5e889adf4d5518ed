#include "display/snapshot_view_win.h"

#include <windows.h>

#include <algorithm>
#include <string>

#include "core/app_state_win.h"
#include "core/command_ids.h"
#include "core/commands_win.h"
#include "core/dialog_window_win.h"
#include "core/settings.h"
#include "display/info_pane_win.h"
#include "display/snapshot_lookup.h"
#include "display/snapshot_picture_win.h"
#include "display/snapshot_view.h"
#include "platform/codepage.h"
#include "platform/profile.h"
#include "search/item_list_query.h"
#include "search/item_list_win.h"

namespace vel {
namespace {

constexpr int kMinimumWidth = 160, kMinimumHeight = 120;

struct SnapView {
  HWND window = nullptr;
  SnapViewChoices choices;
  std::string key;   // the item whose picture is shown ("" = none)
  std::string path;  // the picture shown ("" = NO SNAP)
  int pictureWidth = 0, pictureHeight = 0;
};

SnapView& View() {
  static SnapView view;
  return view;
}

SnapViewChoices ChoicesFrom(AppState& app) {
  const Settings& s = app.settings;
  return ClampedChoices({SettingInt(s, "SnapWindow", "LoadNum"), SettingInt(s, "SnapWindow", "Alternative"),
                         SettingInt(s, "SnapWindow", "TransMode"), SettingInt(s, "SnapWindow", "SnapPoint")});
}

void StoreChoices(AppState& app, const SnapViewChoices& c) {
  SetSetting(app.settings, "SnapWindow", "LoadNum", c.loadNum);
  SetSetting(app.settings, "SnapWindow", "Alternative", c.alternative);
  SetSetting(app.settings, "SnapWindow", "TransMode", c.transMode);
  SetSetting(app.settings, "SnapWindow", "SnapPoint", c.snapPoint);
}

void WriteActive(AppState& app, int active) {
  SetSetting(app.settings, "SnapWindow", "Active", active);
  WriteProfileText("SnapWindow", "Active", std::to_string(active), LayoutFile(app.paths, app.layoutMode));
}

// The placement kept for the next opening (the normal rectangle when maximized).
void StorePlacement(AppState& app, HWND window) {
  WINDOWPLACEMENT placement{sizeof placement};
  if (!GetWindowPlacement(window, &placement)) return;
  const RECT& r = placement.rcNormalPosition;
  SetSetting(app.settings, "SnapWindow", "PositionX", static_cast<int>(r.left));
  SetSetting(app.settings, "SnapWindow", "PositionY", static_cast<int>(r.top));
  SetSetting(app.settings, "SnapWindow", "Width", static_cast<int>(r.right - r.left));
  SetSetting(app.settings, "SnapWindow", "Height", static_cast<int>(r.bottom - r.top));
  SetSetting(app.settings, "SnapWindow", "Maximize", IsZoomed(window) ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL);
}

// The actual-size mode: the window takes the picture's size on the work area.
void FitWindowToPicture(SnapView& view) {
  if (view.choices.transMode != kFitActualSize || view.path.empty() || IsZoomed(view.window)) return;
  RECT window{}, client{};
  GetWindowRect(view.window, &window);
  GetClientRect(view.window, &client);
  int frameWidth = (window.right - window.left) - client.right, frameHeight = (window.bottom - window.top) - client.bottom;
  MONITORINFO monitor{sizeof monitor};
  GetMonitorInfoA(MonitorFromWindow(view.window, MONITOR_DEFAULTTONEAREST), &monitor);
  const RECT& w = monitor.rcWork;
  SnapRect placed = ActualSizeWindow({window.left, window.top, window.right - window.left, window.bottom - window.top},
                                     frameWidth, frameHeight, view.pictureWidth, view.pictureHeight,
                                     view.choices.snapPoint, {w.left, w.top, w.right - w.left, w.bottom - w.top},
                                     kMinimumWidth, kMinimumHeight);
  SetWindowPos(view.window, nullptr, placed.left, placed.top, placed.width, placed.height,
               SWP_NOZORDER | SWP_NOACTIVATE);
}

// Decides the picture of the pane's item: the chosen slot, else with a
// substitution the first other slot that has one.
void Refresh(AppState& app) {
  SnapView& view = View();
  if (!view.window) return;
  view.key.clear();
  view.path.clear();
  int row = InfoPaneRow();
  if (row >= 0 && app.mainDb.Cell(row + 1, kPosFileName) == InfoPaneKey()) {
    view.key = InfoPaneKey();
    for (int slot : SlotsToTry(view.choices)) {
      SnapFind find = ListSnapshotLookup(app).SnapSource(row + 1, slot,
                                                         [&] { return SnapRowFromList(app.mainDb, row + 1); });
      int width = 0, height = 0;
      if (find.outcome == SnapOutcome::kPicture && SnapshotPictureSize(find.path, width, height)) {
        view.path = find.path;
        view.pictureWidth = width;
        view.pictureHeight = height;
        break;
      }
    }
  }
  // The caption names the picture shown.
  const std::string caption = Jp("スナップビュー") + (view.path.empty() ? "" : " - " + view.path);
  SetWindowTextA(view.window, caption.c_str());
  FitWindowToPicture(view);
  InvalidateRect(view.window, nullptr, FALSE);
}

void Paint(HWND window) {
  SnapView& view = View();
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(window, &ps);
  RECT client{};
  GetClientRect(window, &client);
  bool drawn = false;
  if (!view.path.empty() && client.right > 0 && client.bottom > 0) {
    if (view.choices.transMode == kFitActualSize) {
      FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
      bool fits = view.pictureWidth <= client.right && view.pictureHeight <= client.bottom;
      if (!IsZoomed(window) || fits) {
        int x = IsZoomed(window) ? (client.right - view.pictureWidth) / 2 : 0;
        int y = IsZoomed(window) ? (client.bottom - view.pictureHeight) / 2 : 0;
        drawn = DrawSnapshotActualSize(dc, view.path, x, y);
      } else {
        drawn = DrawSnapshotPicture(dc, view.path, client, SnapViewScaling(kFitOwnRatio));
      }
    } else {
      drawn = DrawSnapshotPicture(dc, view.path, client, SnapViewScaling(view.choices.transMode));
    }
  }
  if (!drawn) {
    FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(160, 160, 160));
    DrawTextA(dc, "NO SNAP", -1, &client, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  }
  EndPaint(window, &ps);
}

void ShowMenu(AppState& app, HWND window) {
  SnapView& view = View();
  if (!app.snapContextMenu) return;
  HMENU menu = GetSubMenu(app.snapContextMenu, 0);
  for (int id = kCmdSnapViewFirst; id <= kCmdSnapViewLast; ++id)
    CheckMenuItem(menu, static_cast<UINT>(id), MF_BYCOMMAND | (SnapViewCommandChecked(view.choices, id) ? MF_CHECKED : MF_UNCHECKED));
  POINT at{};
  GetCursorPos(&at);
  UINT chosen = TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, at.x, at.y, 0, window, nullptr);
  if (chosen != 0) RunCommand(app, static_cast<int>(chosen));
}

LRESULT CALLBACK ViewProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  AppState& app = App();
  SnapView& view = View();
  switch (message) {
    case WM_PAINT: Paint(window); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_SIZE: InvalidateRect(window, nullptr, FALSE); return 0;
    case WM_CONTEXTMENU: ShowMenu(app, window); return 0;
    case WM_GETMINMAXINFO: {
      auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
      info->ptMinTrackSize = {kMinimumWidth, kMinimumHeight};
      return 0;
    }
    case WM_CLOSE:
      DestroyWindow(window);
      return 0;
    case WM_DESTROY:
      StorePlacement(app, window);
      // Closed by the user: not opened at the next start. At the program's
      // end the owner goes first and the window stays marked open.
      if (IsWindowVisible(app.mainWindow)) WriteActive(app, 0);
      view.window = nullptr;
      return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

void OnMenuCommand(AppState& app, int id) {
  SnapView& view = View();
  if (!ApplySnapViewCommand(view.choices, id)) return;
  StoreChoices(app, view.choices);
  Refresh(app);
}

}  // namespace

void OpenSnapView(AppState& app) {
  SnapView& view = View();
  if (view.window) {
    ShowWindow(view.window, SW_SHOWNORMAL);
    SetForegroundWindow(view.window);
    return;
  }
  view.choices = ChoicesFrom(app);
  const Settings& s = app.settings;
  int width = std::max(SettingInt(s, "SnapWindow", "Width"), kMinimumWidth);
  int height = std::max(SettingInt(s, "SnapWindow", "Height"), kMinimumHeight);
  view.window = CreateWindowExA(WS_EX_TOOLWINDOW, kDialogClassName, Jp("スナップビュー").c_str(),
                                WS_OVERLAPPEDWINDOW, SettingInt(s, "SnapWindow", "PositionX"),
                                SettingInt(s, "SnapWindow", "PositionY"), width, height, app.mainWindow, nullptr,
                                app.instance, nullptr);
  if (!view.window) return;
  SetWindowLongPtrA(view.window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ViewProcedure));
  ShowWindow(view.window, SettingInt(s, "SnapWindow", "Maximize") == SW_SHOWMAXIMIZED ? SW_SHOWMAXIMIZED : SW_SHOWNOACTIVATE);
  WriteActive(app, 1);
  Refresh(app);
}

void OpenSnapViewAtStart(AppState& app) {
  if (!View().window && SettingInt(app.settings, "SnapWindow", "Active") == 1) OpenSnapView(app);
}

void SnapViewFollow(AppState& app) {
  if (View().window) Refresh(app);
}

void RegisterSnapViewCommands() {
  RegisterCommand(kCmdOpenSnapView, OpenSnapView);
  RegisterCommandRange(kCmdSnapViewFirst, kCmdSnapViewLast, OnMenuCommand);
}

}  // namespace vel
