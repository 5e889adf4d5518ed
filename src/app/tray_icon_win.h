#pragma once
// The notification-area icon.
#include <string>

namespace vel {

struct AppState;

void AddTrayIcon(AppState& app);
void RemoveTrayIcon(AppState& app);
// A balloon on the tray icon titled "Velmarook2" for 10 seconds; `warning`
// gives it the warning icon, otherwise it is a quiet information.
void ShowTrayBalloon(AppState& app, const std::string& text, bool warning);

}  // namespace vel
