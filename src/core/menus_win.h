#pragma once
// The main window's menus, built from the menu tree.
#include <windows.h>

namespace vel {

struct AppState;

void BuildMenus(AppState& app);
void DestroyMenus(AppState& app);
// Refills a dynamic submenu from the library or the emulator folder as it opens.
void FillMenuOnOpen(AppState& app, HMENU menu);

}  // namespace vel
