#pragma once
// The information pane's menus: its context menu (the emulator list, the web
// searches, the related files, the item's own snapshot choice and the memo
// view), the two submenus its buttons open, and the commands of their entries.
#include <windows.h>

namespace vel {

struct AppState;

// Registers the web-site and related-file commands, their submenu fillers,
// the item's snapshot choice and the web search settings (1219).
void RegisterItemExtrasCommands();

// The pane's context menu at `screen` (screen coordinates).
void ShowInformationMenu(AppState& app, POINT screen);
// The pop-up of the buttons "Webで検索" and "関連ファイル/URL" at the pointer.
void ShowWebSiteMenu(AppState& app);
void ShowRelatedFileMenu(AppState& app);

}  // namespace vel
