// The demo's sample emulator: a window that shows the command line it was
// started with and, for each image it was given, the file's name, size and
// first lines, so that a newcomer sees what a launch hands to an emulator.
// Esc or closing the window ends it.
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <string>

namespace {

std::wstring gText;

std::wstring Widen(const std::string& text) {
  if (text.empty()) return {};
  int n = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), n);
  return wide;
}

// Name, size and the first two lines of an image file.
std::wstring DescribeImage(const std::wstring& path) {
  std::wstring text = L"  " + path + L"\r\n";
  FILE* file = _wfopen(path.c_str(), L"rb");
  if (!file) return text + L"    (ファイルが見つかりません)\r\n";
  char head[256] = {};
  size_t got = std::fread(head, 1, sizeof head - 1, file);
  std::fseek(file, 0, SEEK_END);
  long size = std::ftell(file);
  std::fclose(file);
  std::string first(head, got);
  size_t cut = first.find("\r\n");
  cut = cut == std::string::npos ? std::string::npos : first.find("\r\n", cut + 2);
  if (cut != std::string::npos) first.resize(cut);
  return text + L"    " + std::to_wstring(size) + L" バイト: " + Widen(first) + L"\r\n";
}

LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_KEYDOWN:
      if (wParam == VK_ESCAPE) DestroyWindow(window);
      return 0;
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(window, &paint);
      RECT area;
      GetClientRect(window, &area);
      FillRect(dc, &area, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
      InflateRect(&area, -16, -16);
      HFONT font = CreateFontW(-16, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, 0, 0, 0, 0,
                               L"MS Gothic");
      HGDIOBJ old = SelectObject(dc, font);
      SetBkMode(dc, TRANSPARENT);
      SetTextColor(dc, RGB(120, 255, 160));
      DrawTextW(dc, gText.c_str(), -1, &area, DT_LEFT | DT_TOP | DT_WORDBREAK);
      SelectObject(dc, old);
      DeleteObject(font);
      EndPaint(window, &paint);
      return 0;
    }
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
  gText = L"Velmarook デモエミュレータ\r\n\r\nコマンドライン:\r\n  " + std::wstring(GetCommandLineW()) +
          L"\r\n\r\n渡されたイメージ:\r\n";
  int count = 0;
  LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
  for (int i = 1; arguments && i < count; ++i)
    if (GetFileAttributesW(arguments[i]) != INVALID_FILE_ATTRIBUTES) gText += DescribeImage(arguments[i]);
  if (arguments) LocalFree(arguments);
  gText += L"\r\nEsc キーかウィンドウを閉じると終了します。終了すると起動回数とプレイ時間が記録されます。";

  WNDCLASSW type{};
  type.lpfnWndProc = Procedure;
  type.hInstance = instance;
  type.hCursor = LoadCursor(nullptr, IDC_ARROW);
  type.lpszClassName = L"VelmarookDemoEmulator";
  RegisterClassW(&type);
  HWND window = CreateWindowExW(0, type.lpszClassName, L"Velmarook デモエミュレータ", WS_OVERLAPPEDWINDOW,
                                CW_USEDEFAULT, CW_USEDEFAULT, 720, 420, nullptr, nullptr, instance, nullptr);
  ShowWindow(window, show);
  SetForegroundWindow(window);
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return 0;
}
