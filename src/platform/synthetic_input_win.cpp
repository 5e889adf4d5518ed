#include <windows.h>

#include <cstring>
#include <iterator>
#include <string>
#include <vector>

#include "platform/synthetic_input.h"

namespace vel {
namespace {

HWND Handle(WindowId window) { return reinterpret_cast<HWND>(window); }

// Puts a copy of `bytes` on the open clipboard in `format`.
bool PutOnClipboard(UINT format, const void* bytes, size_t size) {
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
  if (!memory) return false;
  void* target = GlobalLock(memory);
  if (!target) {
    GlobalFree(memory);
    return false;
  }
  std::memcpy(target, bytes, size);
  GlobalUnlock(memory);
  if (SetClipboardData(format, memory)) return true;
  GlobalFree(memory);
  return false;
}

BOOL CALLBACK CollectWindow(HWND window, LPARAM data) {
  auto* windows = reinterpret_cast<std::vector<TopLevelWindow>*>(data);
  TopLevelWindow entry;
  entry.id = reinterpret_cast<WindowId>(window);
  // The title as the system keeps it, without asking the window: a window
  // of a thread that is busy (another launch waiting on its emulator) would
  // make a message wait for it.
  wchar_t title[1024];
  int length = InternalGetWindowText(window, title, static_cast<int>(std::size(title)));
  if (length > 0) {
    int n = WideCharToMultiByte(CP_ACP, 0, title, length, nullptr, 0, nullptr, nullptr);
    entry.title.assign(static_cast<size_t>(n > 0 ? n : 0), '\0');
    if (n > 0) WideCharToMultiByte(CP_ACP, 0, title, length, entry.title.data(), n, nullptr, nullptr);
  }
  entry.visible = IsWindowVisible(window) != FALSE;
  entry.toolWindow = (GetWindowLongPtrA(window, GWL_EXSTYLE) & WS_EX_TOOLWINDOW) != 0;
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  entry.ownWindow = process == GetCurrentProcessId();
  windows->push_back(std::move(entry));
  return TRUE;
}

BOOL CALLBACK CollectMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM data) {
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (GetMonitorInfoA(monitor, &info)) {
    const RECT& r = info.rcMonitor;
    reinterpret_cast<std::vector<ScreenRect>*>(data)->push_back({r.left, r.top, r.right, r.bottom});
  }
  return TRUE;
}

// A top-down 32-bit bitmap of the sample's size.
BITMAPINFO SampleBitmapInfo() {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = kSampleSide;
  info.bmiHeader.biHeight = -kSampleSide;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  return info;
}

DWORD ButtonFlag(MouseButton button, bool down) {
  switch (button) {
    case MouseButton::kLeft: return down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
    case MouseButton::kRight: return down ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_RIGHTUP;
    case MouseButton::kMiddle: return down ? MOUSEEVENTF_MIDDLEDOWN : MOUSEEVENTF_MIDDLEUP;
    default: return 0;
  }
}

class SystemInputHost final : public InputHost {
 public:
  void KeyDown(int key) override { keybd_event(static_cast<BYTE>(key), 0, 0, 0); }
  void KeyUp(int key) override { keybd_event(static_cast<BYTE>(key), 0, KEYEVENTF_KEYUP, 0); }
  void Sleep(unsigned milliseconds) override { ::Sleep(milliseconds); }
  std::uint64_t TickCount() override { return GetTickCount64(); }

  // The text goes on as CF_TEXT and, converted here from the program's code
  // page, as CF_UNICODETEXT, so that a Unicode program pastes the same
  // characters whatever input language the system has.
  bool SetClipboardText(const std::string& text) override {
    bool opened = false;
    for (int attempt = 0; attempt < 20 && !(opened = OpenClipboard(nullptr) != FALSE); ++attempt) ::Sleep(10);
    if (!opened) return false;
    bool done = EmptyClipboard() && PutOnClipboard(CF_TEXT, text.c_str(), text.size() + 1);
    if (done) {
      int n = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
      std::wstring wide(static_cast<size_t>(n > 0 ? n : 0), L'\0');
      if (n > 0) MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), n);
      PutOnClipboard(CF_UNICODETEXT, wide.c_str(), (wide.size() + 1) * sizeof(wchar_t));
    }
    CloseClipboard();
    return done;
  }

  std::vector<TopLevelWindow> TopLevelWindows() override {
    std::vector<TopLevelWindow> windows;
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&windows));
    return windows;
  }
  void ShowNormally(WindowId window) override { ShowWindow(Handle(window), SW_SHOWNORMAL); }
  void BringToForeground(WindowId window) override { SetForegroundWindow(Handle(window)); }
  bool WindowRectangle(WindowId window, ScreenRect& rect) override {
    RECT r;
    if (!GetWindowRect(Handle(window), &r)) return false;
    rect = {r.left, r.top, r.right, r.bottom};
    return true;
  }

  std::vector<ScreenRect> Monitors() override {
    std::vector<ScreenRect> monitors;
    EnumDisplayMonitors(nullptr, nullptr, CollectMonitor, reinterpret_cast<LPARAM>(&monitors));
    return monitors;
  }

  bool SampleScreen(const ScreenRect& area, ScreenSample& sample) override {
    HDC screen = GetDC(nullptr);
    if (!screen) return false;
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info = SampleBitmapInfo();
    void* bits = nullptr;
    HBITMAP bitmap = memory ? CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0) : nullptr;
    bool done = false;
    if (bitmap && bits) {
      HGDIOBJ previous = SelectObject(memory, bitmap);
      SetStretchBltMode(memory, HALFTONE);
      SetBrushOrgEx(memory, 0, 0, nullptr);
      done = StretchBlt(memory, 0, 0, kSampleSide, kSampleSide, screen, area.left, area.top, area.Width(),
                        area.Height(), SRCCOPY) != FALSE;
      GdiFlush();
      if (done) {
        const auto* pixels = static_cast<const std::uint32_t*>(bits);
        sample.pixels.assign(pixels, pixels + kSampleSide * kSampleSide);
        for (std::uint32_t& pixel : sample.pixels) pixel &= 0xFFFFFF;
      }
      SelectObject(memory, previous);
    }
    if (bitmap) DeleteObject(bitmap);
    if (memory) DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return done;
  }

  void ShowSample(const ScreenSample& sample, const ScreenRect& monitor) override {
    if (sample.pixels.size() != static_cast<size_t>(kSampleSide * kSampleSide)) return;
    HDC screen = GetDC(nullptr);
    if (!screen) return;
    BITMAPINFO info = SampleBitmapInfo();
    SetDIBitsToDevice(screen, monitor.left, monitor.top, kSampleSide, kSampleSide, 0, 0, 0, kSampleSide,
                      sample.pixels.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
  }

  void MoveCursor(int x, int y) override { SetCursorPos(x, y); }
  void MouseButtonDown(MouseButton button) override {
    mouse_event(MOUSEEVENTF_MOVE | ButtonFlag(button, true), 0, 0, 0, 0);
  }
  void MouseButtonUp(MouseButton button) override {
    mouse_event(MOUSEEVENTF_MOVE | ButtonFlag(button, false), 0, 0, 0, 0);
  }
};

}  // namespace

std::unique_ptr<InputHost> CreateSystemInputHost() { return std::make_unique<SystemInputHost>(); }

}  // namespace vel
