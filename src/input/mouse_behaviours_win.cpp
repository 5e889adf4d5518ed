#include "input/mouse_behaviours_win.h"

#include <commctrl.h>

#include "core/app_state_win.h"

namespace vel {
namespace {

// Wheel movement not yet making a whole notch.
int gWheelRest = 0;

bool Within(HWND window, HWND pane) { return pane && window && (window == pane || IsChild(pane, window)); }

std::function<void()> gRearmDemoTimer;

// One row per notch, in the wheel's direction, clamped to the list.
void MoveSelection(AppState& app, int notches) {
  int count = ListView_GetItemCount(app.itemList);
  if (count <= 0) return;
  int row = ListView_GetNextItem(app.itemList, -1, LVNI_FOCUSED);
  int next = row - notches;
  if (next < 0) next = 0;
  if (next >= count) next = count - 1;
  if (next == row) return;
  ListView_SetItemState(app.itemList, -1, 0, LVIS_SELECTED);
  ListView_SetItemState(app.itemList, next, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  ListView_EnsureVisible(app.itemList, next, FALSE);
}

void ScrollGroups(AppState& app, int notches) {
  RECT r{};
  int rowHeight = ListView_GetItemRect(app.groupList, 0, &r, LVIR_BOUNDS) ? r.bottom - r.top : 16;
  // The list view clamps the scroll itself.
  ListView_Scroll(app.groupList, 0, -notches * 3 * rowHeight);
}

void Wheel(AppState& app, MSG& message) {
  POINT at{static_cast<short>(LOWORD(message.lParam)), static_cast<short>(HIWORD(message.lParam))};
  HWND under = WindowFromPoint(at);
  gWheelRest += static_cast<short>(HIWORD(message.wParam));
  int notches = gWheelRest / WHEEL_DELTA;
  gWheelRest %= WHEEL_DELTA;
  if (Within(under, app.queryTree)) {
    SetFocus(app.queryTree);
    message.hwnd = app.queryTree;
  } else if (Within(under, app.groupList)) {
    SetFocus(app.groupList);
    if (notches) ScrollGroups(app, notches);
    message.wParam = 0;
  } else if (Within(under, app.itemList)) {
    SetFocus(app.itemList);
    if (GetKeyState(VK_SCROLL) & 1) {
      if (notches) MoveSelection(app, notches);
      message.wParam = 0;
    } else {
      message.hwnd = app.itemList;
    }
  }
}

// The middle button presses and releases Scroll Lock: each click toggles it.
void ScrollLockKey(bool down) { keybd_event(VK_SCROLL, 0, down ? 0 : KEYEVENTF_KEYUP, 0); }

}  // namespace

void SetDemoTimerRearm(std::function<void()> rearm) { gRearmDemoTimer = std::move(rearm); }

void RearmDemoTimer() {
  if (gRearmDemoTimer) gRearmDemoTimer();
}

void HandleMouseMessage(AppState& app, MSG& message) {
  if (!app.mainWindow || GetForegroundWindow() != app.mainWindow) return;
  bool inMain = message.hwnd == app.mainWindow || IsChild(app.mainWindow, message.hwnd);
  switch (message.message) {
    case WM_MOUSEWHEEL:
      RearmDemoTimer();
      if (message.wParam != 0) Wheel(app, message);
      break;
    case WM_MOUSEMOVE: RearmDemoTimer(); break;
    case WM_MBUTTONDOWN:
      if (inMain) ScrollLockKey(true);
      break;
    case WM_MBUTTONUP:
      if (inMain) ScrollLockKey(false);
      break;
    case WM_MBUTTONDBLCLK:
      if (inMain) {
        ScrollLockKey(true);
        Sleep(30);
        ScrollLockKey(false);
      }
      break;
  }
}

}  // namespace vel
