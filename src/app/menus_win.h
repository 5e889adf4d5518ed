#pragma once
// The main window's menus, built from the menu tree.
#include <windows.h>

#include "core/menu_tree.h"
#include "core/shell_services_win.h"
#include "input/shortcut_keys.h"

namespace vel {

struct AppState;

void BuildMenus(AppState& app);
void DestroyMenus(AppState& app);
// Refills a dynamic submenu from the library or the emulator folder as it opens.
void FillMenuOnOpen(AppState& app, HMENU menu);
// Shows each assignable key after its menu item's tab.
void ShowShortcutKeysInMenus(AppState& app, const ShortcutTable& keys);

}  // namespace vel
