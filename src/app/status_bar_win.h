#pragma once
// The main window's status bar: nine parts, the last five being icons with
// tool tips that act when clicked.
#include <windows.h>

#include <string>

#include "core/shell_services_win.h"

namespace vel {

struct AppState;

void CreateStatusBar(AppState& app);
// Lays out the parts for the current width (at every WM_SIZE).
void LayoutStatusBar(AppState& app);
// Sets the icons and tips of parts 4-8.
void UpdateStatusIcons(AppState& app);
// Shows the Scroll Lock state when it changed (the periodic interface
// update: a toggle reaches the key state only after its messages are read).
void RefreshScrollLockIcon(AppState& app);
// A click on part `part`.
void OnStatusBarClick(AppState& app, int part);

}  // namespace vel
