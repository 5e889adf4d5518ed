#include "launch/snapshot_capture_win.h"

#include <atomic>

#include "launch/dib_pixels.h"
#include "launch/png_writer.h"
#include "platform/system.h"

namespace vel {

CaptureSession::CaptureSession(CaptureSettings settings) : settings_(std::move(settings)) {
  stop_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  if (stop_) thread_ = std::thread([this] { Run(); });
}

CaptureSession::~CaptureSession() {
  Stop();
  if (stop_) CloseHandle(stop_);
}

void CaptureSession::Stop() {
  if (stop_) SetEvent(stop_);
  if (thread_.joinable()) thread_.join();
}

void CaptureSession::Run() {
  const int mode = settings_.mode;
  if (mode == kCaptureClipboard && OpenClipboard(nullptr)) {
    EmptyClipboard();
    CloseClipboard();
  }
  SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_LOWEST);
  const DWORD interval = static_cast<DWORD>(CaptureIntervalSeconds(settings_.intervalSeconds)) * 1000;
  int counter = 0;
  while (WaitForSingleObject(stop_, interval) == WAIT_TIMEOUT) {
    std::optional<SnapPixels> picture;
    DWORD sequence = 0;
    if (mode == kCaptureClipboard) {
      picture = ClipboardPicture(&sequence);
    } else if (mode == kCaptureFullScreen) {
      RECT screen{GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN), 0, 0};
      screen.right = screen.left + GetSystemMetrics(SM_CXVIRTUALSCREEN);
      screen.bottom = screen.top + GetSystemMetrics(SM_CYVIRTUALSCREEN);
      picture = CopyScreen(screen);
    } else if (std::optional<RECT> frame = ForegroundFrame()) {
      picture = CopyScreen(*frame);
    }
    if (!picture) continue;  // a failed capture is neither counted nor announced
    std::string path = SnapshotPath(settings_.folder, AutoSnapName(counter), "png");
    if (ConvertAndSave(*picture, settings_.config, path, false) != kSnapSaved) continue;
    log_.Add(path);
    ++counter;
    if (mode == kCaptureClipboard) EmptyClipboardIfUnchanged(sequence);
    if (settings_.beep) MessageBeep(MB_ICONASTERISK);
  }
  SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_NORMAL);
}

namespace {

BOOL CALLBACK AddMonitor(HMONITOR, HDC, LPRECT r, LPARAM data) {
  reinterpret_cast<std::vector<MonitorRect>*>(data)->push_back({r->left, r->top, r->right, r->bottom});
  return TRUE;
}

}  // namespace

std::vector<MonitorRect> CurrentMonitors() {
  std::vector<MonitorRect> monitors;
  EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&monitors));
  return monitors;
}

std::optional<SnapPixels> CopyScreen(const RECT& rect) {
  int width = rect.right - rect.left, height = rect.bottom - rect.top;
  if (width <= 0 || height <= 0 || width > kLargestSnapSide || height > kLargestSnapSide) return std::nullopt;
  std::optional<SnapPixels> result;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = screen && memory ? CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0) : nullptr;
  if (bitmap && bits) {
    HGDIOBJ old = SelectObject(memory, bitmap);
    if (BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY | CAPTUREBLT)) {
      GdiFlush();
      SnapPixels p;
      p.width = width;
      p.height = height;
      const auto* source = static_cast<const std::uint32_t*>(bits);
      p.pixels.assign(source, source + static_cast<size_t>(width) * height);
      for (std::uint32_t& pixel : p.pixels) pixel &= 0xFFFFFF;
      result = std::move(p);
    }
    SelectObject(memory, old);
  }
  if (bitmap) DeleteObject(bitmap);
  if (memory) DeleteDC(memory);
  if (screen) ReleaseDC(nullptr, screen);
  return result;
}

std::optional<RECT> ForegroundFrame() {
  HWND window = GetForegroundWindow();
  if (!window) return std::nullopt;
  RECT rect{};
  // The desktop window manager is asked only when it is there.
  static HMODULE dwm = LoadLibraryExA("dwmapi.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  using Enabled = HRESULT(WINAPI*)(BOOL*);
  using Attribute = HRESULT(WINAPI*)(HWND, DWORD, PVOID, DWORD);
  auto enabled = dwm ? reinterpret_cast<Enabled>(reinterpret_cast<void*>(GetProcAddress(dwm, "DwmIsCompositionEnabled"))) : nullptr;
  auto attribute =
      dwm ? reinterpret_cast<Attribute>(reinterpret_cast<void*>(GetProcAddress(dwm, "DwmGetWindowAttribute"))) : nullptr;
  BOOL composition = FALSE;
  constexpr DWORD kExtendedFrameBounds = 9;
  if (enabled && attribute && SUCCEEDED(enabled(&composition)) && composition &&
      SUCCEEDED(attribute(window, kExtendedFrameBounds, &rect, sizeof rect)))
    return rect;
  if (!GetWindowRect(window, &rect)) return std::nullopt;
  return rect;
}

std::optional<SnapPixels> ClipboardPicture(DWORD* sequence) {
  if (!IsClipboardFormatAvailable(CF_DIB) || !OpenClipboard(nullptr)) return std::nullopt;
  std::vector<std::uint8_t> dib;
  if (sequence) *sequence = GetClipboardSequenceNumber();
  if (HANDLE data = GetClipboardData(CF_DIB)) {
    SIZE_T size = GlobalSize(data);
    if (const void* bytes = GlobalLock(data)) {
      const auto* begin = static_cast<const std::uint8_t*>(bytes);
      dib.assign(begin, begin + size);
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return PixelsFromDib(dib);
}

void EmptyClipboardIfUnchanged(DWORD sequence) {
  if (GetClipboardSequenceNumber() != sequence || !OpenClipboard(nullptr)) return;
  if (GetClipboardSequenceNumber() == sequence) EmptyClipboard();
  CloseClipboard();
}

int ConvertAndSave(const SnapPixels& picture, const EmulatorConfig& config, const std::string& path, bool noCrop) {
  int code = kSnapNoBitmap;
  std::optional<SnapPixels> converted = ConvertPicture(picture, config, CurrentMonitors(), noCrop, &code);
  if (!converted) return code;
  return SavePng(*converted, path);
}

std::string CaptureFolderFor(const EmulatorConfig& config, bool* temporary) {
  const std::string& extract = config.extractPath;
  bool absolute = (extract.size() >= 3 && extract[1] == ':' && extract[2] == '\\') || extract.starts_with("\\\\");
  if (temporary) *temporary = false;
  if (absolute && DirectoryExists(extract)) return extract;
  char temp[MAX_PATH + 1] = {};
  DWORD length = GetTempPathA(sizeof temp, temp);
  if (length == 0 || length > MAX_PATH) return "";
  static std::atomic<unsigned> launches{0};
  std::string folder = std::string(temp) + "VelmarookSnap" + std::to_string(GetCurrentProcessId()) + "_" +
                       std::to_string(launches.fetch_add(1));
  if (!CreateFolder(folder) && !DirectoryExists(folder)) return "";
  if (temporary) *temporary = true;
  return folder;
}

}  // namespace vel
