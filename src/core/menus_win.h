#pragma once
// The main window's menus.
namespace vel {

struct AppState;

void BuildMenus(AppState& app);
void DestroyMenus(AppState& app);

}  // namespace vel
