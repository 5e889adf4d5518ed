#pragma once
// "ClmHelpDlg": the column names a user can use in an SQL search.
#include <windows.h>

namespace vel {

struct AppState;

// Modal over `owner` (the main window, or the query editor that asked).
void ShowColumnNamesWindow(AppState& app, HWND owner);

}  // namespace vel
