#pragma once
// Dialogs built as windows of the class "NORMALDLG" with their own controls.
#include <windows.h>

#include <string>

namespace vel {

inline constexpr const char* kDialogClassName = "NORMALDLG";

// Creates a hidden dialog window with the given client size, centred on the
// owner; `procedure` gets `data` through GWLP_USERDATA.
HWND CreateDialogWindow(HINSTANCE instance, HWND owner, const std::string& title, int clientWidth,
                        int clientHeight, WNDPROC procedure, void* data);

HWND AddControl(HWND dialog, const char* windowClass, const std::string& text, DWORD style, int x,
                int y, int width, int height, int id);

// Shows the dialog and runs its messages until it is destroyed, with the
// owner disabled meanwhile. A quit message ends the dialog and is passed on.
void RunModal(HWND dialog, HWND owner);

template <typename T>
T* DialogData(HWND dialog) {
  return reinterpret_cast<T*>(GetWindowLongPtrA(dialog, GWLP_USERDATA));
}

std::string WindowText(HWND window);

}  // namespace vel
