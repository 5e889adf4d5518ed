#include "app/wait_window_win.h"

#include <windows.h>

#include "app/wait_animation.h"
#include "core/app_state_win.h"

namespace vel {
namespace {

struct Animation {
  HWND window = nullptr;
  HBITMAP strip = nullptr;
  int frames = 1;
};

HANDLE gThread = nullptr;
Animation gAnimation;

DWORD WINAPI Animate(LPVOID parameter) {
  const Animation& a = *static_cast<Animation*>(parameter);
  HDC memory = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(memory, a.strip);
  int frame = 0;
  while (IsWindowVisible(a.window)) {
    HDC dc = GetDC(a.window);
    BitBlt(dc, 0, 0, kWaitFrameWidth, kWaitFrameHeight, memory, 0, frame * kWaitFrameHeight,
           SRCCOPY);
    ReleaseDC(a.window, dc);
    frame = NextWaitFrame(frame, a.frames);
    Sleep(kWaitFrameIntervalMs);
  }
  SelectObject(memory, old);
  DeleteDC(memory);
  return 0;
}

void JoinAnimation() {
  if (!gThread) return;
  WaitForSingleObject(gThread, 2000);
  CloseHandle(gThread);
  gThread = nullptr;
}

}  // namespace

void ShowWaitWindow(AppState& app) {
  if (app.waitWindow) {
    // Shown again (after a launch): the same window and strip.
    if (IsWindowVisible(app.waitWindow)) return;
    ShowWindow(app.waitWindow, SW_SHOWNOACTIVATE);
    UpdateWindow(app.waitWindow);
    if (gAnimation.strip && !gThread) gThread = CreateThread(nullptr, 0, Animate, &gAnimation, 0, nullptr);
    return;
  }
  int x = (GetSystemMetrics(SM_CXSCREEN) - kWaitFrameWidth) / 2;
  int y = (GetSystemMetrics(SM_CYSCREEN) - kWaitFrameHeight) / 2;
  app.waitWindow = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, "NORMALDLG", "WaitDlg",
                                   WS_POPUP | WS_BORDER, x, y, kWaitFrameWidth, kWaitFrameHeight,
                                   app.mainWindow, nullptr, app.instance, nullptr);
  if (!app.waitWindow) return;
  HBITMAP strip = static_cast<HBITMAP>(LoadImageA(nullptr, app.paths.waitAnimation.c_str(),
                                                  IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
  ShowWindow(app.waitWindow, SW_SHOWNOACTIVATE);
  UpdateWindow(app.waitWindow);
  if (!strip) return;  // a missing strip leaves a plain window
  BITMAP info{};
  GetObject(strip, sizeof info, &info);
  gAnimation = {app.waitWindow, strip, WaitFrameCount(info.bmHeight)};
  gThread = CreateThread(nullptr, 0, Animate, &gAnimation, 0, nullptr);
}

void HideWaitWindow(AppState& app) {
  if (app.waitWindow) ShowWindow(app.waitWindow, SW_HIDE);
  JoinAnimation();
}

void DestroyWaitWindow(AppState& app) {
  HideWaitWindow(app);
  if (app.waitWindow) DestroyWindow(app.waitWindow);
  app.waitWindow = nullptr;
  if (gAnimation.strip) DeleteObject(gAnimation.strip);
  gAnimation = Animation{};
}

}  // namespace vel
