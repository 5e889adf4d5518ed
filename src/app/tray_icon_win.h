#pragma once
// The notification-area icon.
#include <string>

#include "core/shell_services_win.h"

namespace vel {

struct AppState;

void AddTrayIcon(AppState& app);
void RemoveTrayIcon(AppState& app);

}  // namespace vel
