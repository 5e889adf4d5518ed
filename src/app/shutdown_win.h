#pragma once
// Ending and restarting the program.
#include <string>

#include "core/shell_services_win.h"

namespace vel {

struct AppState;

// Clean-up, menus and fonts destroyed, quit message posted.
void EndProgram(AppState& app);
// Stores the window placement and the other exit keys, unless told not to.
void SaveSettingsAtExit(AppState& app);

}  // namespace vel
