#pragma once
// The commands of the settings dialog.

namespace vel {

struct AppState;

void RegisterPeripheryCommands();

// ConfigBaseDlg. True when the user confirmed and the settings were written.
bool ShowConfigDialog(AppState& app);

}  // namespace vel
