#pragma once
// The main window "NORMAL0": creation, first paint, layout, commands, close.
#include <windows.h>

namespace vel {

struct AppState;

inline constexpr const char* kMainWindowClassName = "NORMAL0";
inline constexpr const char* kMainWindowCaption = "Velmarook2";
inline constexpr int kProgramIconResource = 117;

LRESULT CALLBACK MainWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Asks, then switches between the Normal and BigPicture layouts by restarting.
void SwitchLayout(AppState& app);

}  // namespace vel
