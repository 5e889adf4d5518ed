#pragma once
// The notification-area icon.
namespace vel {

struct AppState;

void AddTrayIcon(AppState& app);
void RemoveTrayIcon(AppState& app);

}  // namespace vel
