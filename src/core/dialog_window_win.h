#pragma once
// Dialogs built as windows of the class "NORMALDLG" with their own controls.
#include <windows.h>

#include <optional>
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
// A window procedure for a dialog whose only buttons close it (OK, キャンセル, the frame).
LRESULT CALLBACK CloseOnOkOrCancel(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Waits until the worker `thread` ends, serving the thread's window messages
// meanwhile; a handler may join the worker itself and clear `thread`. True
// when it ended here (the caller then joins it). A quit message met meanwhile
// is kept in `quit`, for the caller to post again when it is done.
bool WaitServingMessages(HANDLE& thread, std::optional<WPARAM>& quit);

template <typename T>
T* DialogData(HWND dialog) {
  return reinterpret_cast<T*>(GetWindowLongPtrA(dialog, GWLP_USERDATA));
}

std::string WindowText(HWND window);
// The text of a combo box's list entry ("" for no entry).
std::string ComboEntryText(HWND combo, LRESULT index);
// The text of the chosen entry of a combo box's list ("" when none is chosen).
std::string ChosenComboEntry(HWND combo);

}  // namespace vel
