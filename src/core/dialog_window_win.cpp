#include "core/dialog_window_win.h"

namespace vel {

HWND CreateDialogWindow(HINSTANCE instance, HWND owner, const std::string& title, int clientWidth,
                        int clientHeight, WNDPROC procedure, void* data) {
  // Not clipping the children: a group frame paints no inside of its own, so
  // the window's face must be painted under it (else it shows black).
  DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
  RECT frame{0, 0, clientWidth, clientHeight};
  AdjustWindowRectEx(&frame, style, FALSE, WS_EX_DLGMODALFRAME);
  int width = frame.right - frame.left, height = frame.bottom - frame.top;
  RECT area{};
  if (owner && IsWindowVisible(owner) && !IsIconic(owner))
    GetWindowRect(owner, &area);
  else
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
  int x = area.left + ((area.right - area.left) - width) / 2;
  int y = area.top + ((area.bottom - area.top) - height) / 2;
  HWND dialog = CreateWindowExA(WS_EX_DLGMODALFRAME, kDialogClassName, title.c_str(), style, x, y,
                                width, height, owner, nullptr, instance, nullptr);
  if (!dialog) return nullptr;
  SetWindowLongPtrA(dialog, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(data));
  SetWindowLongPtrA(dialog, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(procedure));
  return dialog;
}

HWND AddControl(HWND dialog, const char* windowClass, const std::string& text, DWORD style, int x,
                int y, int width, int height, int id) {
  HWND control = CreateWindowExA(0, windowClass, text.c_str(), WS_CHILD | WS_VISIBLE | style, x, y,
                                 width, height, dialog, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                 reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(dialog, GWLP_HINSTANCE)),
                                 nullptr);
  SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), TRUE);
  return control;
}

bool WaitServingMessages(HANDLE& thread, std::optional<WPARAM>& quit) {
  while (thread) {
    if (MsgWaitForMultipleObjects(1, &thread, FALSE, INFINITE, QS_ALLINPUT) == WAIT_OBJECT_0) return true;
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) {
        quit = message.wParam;
        continue;
      }
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
  }
  return false;
}

void RunModal(HWND dialog, HWND owner) {
  if (owner) EnableWindow(owner, FALSE);
  ShowWindow(dialog, SW_SHOW);
  SetForegroundWindow(dialog);
  MSG message;
  while (IsWindow(dialog)) {
    BOOL got = GetMessageA(&message, nullptr, 0, 0);
    if (got == 0) {
      if (IsWindow(dialog)) DestroyWindow(dialog);
      PostQuitMessage(static_cast<int>(message.wParam));
      break;
    }
    if (got == -1) break;
    if (IsDialogMessageA(dialog, &message)) continue;
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  if (owner) {
    EnableWindow(owner, TRUE);
    SetForegroundWindow(owner);
  }
}

LRESULT CALLBACK CloseOnOkOrCancel(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if ((message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) || message == WM_CLOSE) {
    DestroyWindow(dialog);
    return 0;
  }
  return DefWindowProcA(dialog, message, wParam, lParam);
}

std::string WindowText(HWND window) {
  int length = GetWindowTextLengthA(window);
  std::string text(static_cast<size_t>(length) + 1, '\0');
  int n = GetWindowTextA(window, text.data(), length + 1);
  text.resize(static_cast<size_t>(n));
  return text;
}

std::string ChosenComboEntry(HWND combo) { return ComboEntryText(combo, SendMessageA(combo, CB_GETCURSEL, 0, 0)); }

std::string ComboEntryText(HWND combo, LRESULT index) {
  if (index < 0) return "";
  const LRESULT length = SendMessageA(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
  if (length <= 0) return "";
  std::string text(static_cast<size_t>(length) + 1, '\0');
  const LRESULT read = SendMessageA(combo, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<size_t>(read < 0 ? 0 : read));
  return text;
}

}  // namespace vel
