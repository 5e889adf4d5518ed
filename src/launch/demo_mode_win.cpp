#include "launch/demo_mode_win.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdint>
#include <string>

#include "core/app_state_win.h"
#include "launch/demo_mode.h"
#include "launch/launch_run_win.h"
#include "platform/codepage.h"
#include "platform/profile.h"
#include "search/item_list_query.h"

namespace vel {
namespace {

DemoCycle gCycle;
HHOOK gInputHook = nullptr;
// The idle period as last read; input re-arms with it without reading the file.
std::uint32_t gTriggerMs = 0;

DemoSettings ReadDemoSettings(const AppState& app) {
  const std::string& file = LayoutFile(app.paths, app.layoutMode);
  return ClampDemoSettings(ReadProfileInt("DemoMode", "TriggerTime", 0, file),
                           ReadProfileInt("DemoMode", "WaitTime", 7, file),
                           ReadProfileInt("DemoMode", "EmuTermTime", 2, file),
                           ReadProfileInt("DemoMode", "Animate", 0, file), ReadProfileInt("DemoMode", "Size", 1, file),
                           ReadProfileInt("DemoMode", "MediaMax", 0, file));
}

int FocusedRow(const AppState& app) { return ListView_GetNextItem(app.itemList, -1, LVNI_FOCUSED) + 1; }

void SelectRow(AppState& app, int row) {
  ListView_SetItemState(app.itemList, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
  ListView_SetItemState(app.itemList, row - 1, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  ListView_EnsureVisible(app.itemList, row - 1, FALSE);
}

DemoSituation Situation(AppState& app, bool next) {
  DemoSituation s;
  s.next = next;
  s.demoFlag = app.demoMode;
  s.mainInFront = GetForegroundWindow() == app.mainWindow;
  s.launchInProgress = LaunchInProgress();
  s.selectedRow = FocusedRow(app);
  s.rowCount = app.mainDb.RowCount();
  return s;
}

// --- the announcement ------------------------------------------------------

struct Announcement {
  std::string title, maker, machine;
  int disks = 1;
  DemoSettings settings;
  DWORD start = 0;
  bool cancelled = false;
  bool done = false;
};

void DrawAnnouncement(HWND window, HDC dc, const Announcement& a) {
  RECT client;
  GetClientRect(window, &client);
  FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  SetBkMode(dc, TRANSPARENT);
  DWORD elapsed = GetTickCount() - a.start;
  int width = client.right, height = client.bottom;
  int scale = a.settings.size;
  HFONT big = CreateFontA(-24 * scale, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, ANTIALIASED_QUALITY, 0,
                          "MS Shell Dlg");
  HFONT small = CreateFontA(-14 * scale, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, ANTIALIASED_QUALITY, 0,
                            "MS Shell Dlg");
  HGDIOBJ old = SelectObject(dc, big);
  // The five styles: a colour sweep, a blinking loader line, rising bars,
  // a moving frame and a star field.
  int phase = static_cast<int>(elapsed / 40);
  switch (a.settings.animate) {
    case 1:
      for (int x = 0; x < width; x += 8) {
        HBRUSH b = CreateSolidBrush(RGB((x + phase * 4) % 256, 64, 255 - (x + phase * 4) % 256));
        RECT r{x, 0, x + 8, 6};
        FillRect(dc, &r, b);
        DeleteObject(b);
      }
      break;
    case 2:
      if ((elapsed / 500) % 2 == 0) {
        SelectObject(dc, small);
        SetTextColor(dc, RGB(0, 255, 0));
        TextOutA(dc, 16, 16, "IPL IS LOADING ...", 18);
        SelectObject(dc, big);
      }
      break;
    case 3:
      for (int i = 0; i < 16; ++i) {
        int h = ((phase + i * 7) % 20) * height / 80;
        HBRUSH b = CreateSolidBrush(RGB(0, 96 + i * 8, 160));
        RECT r{i * width / 16 + 2, height - h, (i + 1) * width / 16 - 2, height};
        FillRect(dc, &r, b);
        DeleteObject(b);
      }
      break;
    case 4: {
      int inset = phase % (std::max(1, std::min(width, height) / 4));
      HBRUSH b = CreateSolidBrush(RGB(255, 160, 0));
      RECT r{inset, inset, width - inset, height - inset};
      FrameRect(dc, &r, b);
      DeleteObject(b);
      break;
    }
    case 5:
      for (int i = 0; i < 60; ++i) {
        int x = (i * 7919 + phase * (i % 5 + 1) * 3) % std::max(1, width);
        int y = (i * 104729) % std::max(1, height);
        SetPixel(dc, x, y, RGB(255, 255, 255));
      }
      break;
    default: break;
  }
  SetTextColor(dc, RGB(255, 255, 255));
  RECT line{0, height / 4, width, height / 4 + 40 * scale};
  std::string title = a.title + (a.disks > 1 ? Jp(" (") + std::to_string(a.disks) + Jp("枚組)") : "");
  DrawTextA(dc, title.c_str(), -1, &line, DT_CENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
  SelectObject(dc, small);
  SetTextColor(dc, RGB(200, 200, 200));
  OffsetRect(&line, 0, 44 * scale);
  DrawTextA(dc, a.maker.c_str(), -1, &line, DT_CENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
  OffsetRect(&line, 0, 24 * scale);
  DrawTextA(dc, a.machine.c_str(), -1, &line, DT_CENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
  int percent = AnnouncementPercent(elapsed, a.settings.waitSeconds);
  RECT bar{width / 8, height * 3 / 4, width * 7 / 8, height * 3 / 4 + 12};
  HBRUSH frame = CreateSolidBrush(RGB(128, 128, 128));
  FrameRect(dc, &bar, frame);
  DeleteObject(frame);
  RECT fill{bar.left + 2, bar.top + 2, bar.left + 2 + (bar.right - bar.left - 4) * percent / 100, bar.bottom - 2};
  HBRUSH blue = CreateSolidBrush(RGB(0, 120, 255));
  FillRect(dc, &fill, blue);
  DeleteObject(blue);
  RECT hint{0, bar.bottom + 8, width, bar.bottom + 8 + 24 * scale};
  SetTextColor(dc, RGB(255, 255, 0));
  DrawTextA(dc, "Boot in DEMO mode. Press any key to cancel.", -1, &hint, DT_CENTER | DT_SINGLELINE);
  SelectObject(dc, old);
  DeleteObject(big);
  DeleteObject(small);
}

LRESULT CALLBACK AnnouncementProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* a = reinterpret_cast<Announcement*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  switch (message) {
    case WM_TIMER:
      if (a && GetTickCount() - a->start >= static_cast<DWORD>(a->settings.waitSeconds) * 1000) {
        a->done = true;
        DestroyWindow(window);
      } else {
        InvalidateRect(window, nullptr, FALSE);
      }
      return 0;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      if (a) a->cancelled = a->done = true;
      DestroyWindow(window);
      return 0;
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(window, &paint);
      RECT client;
      GetClientRect(window, &client);
      // Drawn off screen so that the animation does not flicker.
      HDC memory = CreateCompatibleDC(dc);
      HBITMAP bitmap = CreateCompatibleBitmap(dc, client.right, client.bottom);
      HGDIOBJ old = SelectObject(memory, bitmap);
      if (a) DrawAnnouncement(window, memory, *a);
      BitBlt(dc, 0, 0, client.right, client.bottom, memory, 0, 0, SRCCOPY);
      SelectObject(memory, old);
      DeleteObject(bitmap);
      DeleteDC(memory);
      EndPaint(window, &paint);
      return 0;
    }
    case WM_ERASEBKGND: return 1;
    case WM_CLOSE:
      if (a) a->cancelled = a->done = true;
      DestroyWindow(window);
      return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

// "DemoLaunchDlg" over the main window: true to launch, false when a key cancelled.
bool Announce(AppState& app, int row, const DemoSettings& settings) {
  Announcement a;
  a.title = app.mainDb.Cell(row, kPosTitle);
  a.maker = app.mainDb.Cell(row, kPosMaker);
  a.machine = app.mainDb.Cell(row, kPosMachine);
  a.disks = AnnouncedDiskCount(app.mainDb.Cell(row, kPosMultiDisk) == "1", app.mainDb.CellInt(row, kPosImages),
                               settings.mediaMax);
  a.settings = settings;
  a.start = GetTickCount();
  static bool registered = false;
  if (!registered) {
    WNDCLASSA type{};
    type.lpfnWndProc = AnnouncementProcedure;
    type.hInstance = app.instance;
    type.hCursor = LoadCursor(nullptr, IDC_ARROW);
    type.lpszClassName = "DemoLaunchDlg";
    registered = RegisterClassA(&type) != 0;
  }
  RECT r;
  GetWindowRect(app.mainWindow, &r);
  HWND window = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, "DemoLaunchDlg", "DemoLaunchDlg", WS_POPUP, r.left, r.top,
                                r.right - r.left, r.bottom - r.top, app.mainWindow, nullptr, app.instance, nullptr);
  if (!window) return false;
  SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&a));
  SetTimer(window, 1, 40, nullptr);
  ShowWindow(window, SW_SHOW);
  SetForegroundWindow(window);
  SetFocus(window);
  MSG message;
  while (!a.done && IsWindow(window)) {
    BOOL got = GetMessageA(&message, nullptr, 0, 0);
    if (got == 0) {
      PostQuitMessage(static_cast<int>(message.wParam));
      a.cancelled = true;
      break;
    }
    if (got == -1) break;
    // Any key of the program's windows cancels, wherever the focus is.
    if (message.message == WM_KEYDOWN || message.message == WM_SYSKEYDOWN) {
      a.cancelled = a.done = true;
      break;
    }
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  if (IsWindow(window)) DestroyWindow(window);
  return !a.cancelled;
}

// Announces the focused row and launches it, or ends the demo.
void AnnounceAndLaunch(AppState& app) {
  DemoSettings settings = ReadDemoSettings(app);
  int row = FocusedRow(app);
  if (row < 1 || row > app.mainDb.RowCount()) return EndDemo(app);
  if (!Announce(app, row, settings) || !app.demoMode) return EndDemo(app);
  gCycle.AnnouncementEnded(true);
  RequestLaunch(app, row, app.mainDb.Cell(row, kPosEmuset), 0, true);
}

// Demo launch(next).
void DemoLaunch(AppState& app, bool next) {
  DemoSituation situation = Situation(app, next);
  DemoStep step = DecideDemoLaunch(situation);
  if (step == DemoStep::kEnd) return EndDemo(app);
  if (step == DemoStep::kNothing) return;
  if (!gCycle.Announce()) return;  // one announcement at a time
  app.demoMode = true;
  KillTimer(app.mainWindow, kDemoTriggerTimer);
  SetFocus(app.itemList);
  if (next) {
    // The pauses before and after moving on run as timers, not as sleeps.
    SetTimer(app.mainWindow, kDemoMoveTimer, 1000, nullptr);
    return;
  }
  AnnounceAndLaunch(app);
}

LRESULT CALLBACK InputHook(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HC_ACTION && wParam == PM_REMOVE) {
    const MSG* m = reinterpret_cast<const MSG*>(lParam);
    if (m->message == WM_KEYDOWN || m->message == WM_MOUSEMOVE || m->message == WM_MOUSEWHEEL) ArmDemoTrigger(App());
  }
  return CallNextHookEx(gInputHook, code, wParam, lParam);
}

}  // namespace

void ArmDemoTrigger(AppState& app) {
  if (!app.mainWindow || app.demoMode || LaunchInProgress()) return;
  if (gTriggerMs == 0) KillTimer(app.mainWindow, kDemoTriggerTimer);
  else SetTimer(app.mainWindow, kDemoTriggerTimer, gTriggerMs, nullptr);
}

void StartDemoSupport(AppState& app) {
  gTriggerMs = TriggerPeriodMs(ReadDemoSettings(app).triggerMinutes);
  ArmDemoTrigger(app);
  if (!gInputHook) gInputHook = SetWindowsHookExA(WH_GETMESSAGE, InputHook, nullptr, GetCurrentThreadId());
}

bool OnDemoTimer(AppState& app, UINT_PTR timer) {
  switch (timer) {
    case kDemoTriggerTimer:
      KillTimer(app.mainWindow, kDemoTriggerTimer);
      DemoLaunch(app, false);
      if (!app.demoMode) ArmDemoTrigger(app);
      return true;
    case kDemoExitTimer:
      KillTimer(app.mainWindow, kDemoExitTimer);
      if (app.demoMode) SendExitRequest(app);  // sent only while the emulator is waited on
      return true;
    case kDemoMoveTimer: {
      KillTimer(app.mainWindow, kDemoMoveTimer);
      DemoSituation s = Situation(app, true);
      if (!app.demoMode) return true;
      if (DecideDemoLaunch(s) != DemoStep::kAnnounce) {
        EndDemo(app);
        return true;
      }
      SelectRow(app, DemoRow(s));
      SetTimer(app.mainWindow, kDemoAnnounceTimer, 1000, nullptr);
      return true;
    }
    case kDemoAnnounceTimer:
      KillTimer(app.mainWindow, kDemoAnnounceTimer);
      if (app.demoMode) AnnounceAndLaunch(app);
      return true;
  }
  return false;
}

void DemoNow(AppState& app) { DemoLaunch(app, false); }

void DemoEmulatorRunning(AppState& app) {
  if (!app.demoMode) return;
  gCycle.LaunchStarted();
  SetTimer(app.mainWindow, kDemoExitTimer, ExitPeriodMs(ReadDemoSettings(app).exitMinutes), nullptr);
}

void DemoLaunchEnded(AppState& app) {
  KillTimer(app.mainWindow, kDemoExitTimer);
  gCycle.LaunchEnded();
  if (!app.demoMode) return;
  DemoLaunch(app, true);
  if (!app.demoMode) ArmDemoTrigger(app);
}

void EndDemo(AppState& app) {
  app.demoMode = false;
  gTriggerMs = TriggerPeriodMs(ReadDemoSettings(app).triggerMinutes);
  gCycle.Stop();
  for (UINT_PTR timer : {kDemoExitTimer, kDemoMoveTimer, kDemoAnnounceTimer}) KillTimer(app.mainWindow, timer);
  ArmDemoTrigger(app);
}

}  // namespace vel
