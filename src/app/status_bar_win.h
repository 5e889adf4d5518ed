#pragma once
// The main window's status bar: nine parts, the last five being icons with
// tool tips that act when clicked.
#include <windows.h>

#include <string>

namespace vel {

struct AppState;

void CreateStatusBar(AppState& app);
// Lays out the parts for the current width (at every WM_SIZE).
void LayoutStatusBar(AppState& app);
// Sets the icons and tips of parts 4-8.
void UpdateStatusIcons(AppState& app);
// A click on part `part`.
void OnStatusBarClick(AppState& app, int part);
void SetStatusText(AppState& app, int part, const std::string& text);

// " 全タイトル数: n" from the library, in part 0.
void ShowTitleCount(AppState& app);

}  // namespace vel
