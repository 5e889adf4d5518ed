#pragma once
// JoySetDlg "ジョイスティック設定": the controller assignments of both slots.
namespace vel {

struct AppState;

// Runs the dialog (the UI poll rests meanwhile); OK saves the settings.
void ShowJoystickDialog(AppState& app);

}  // namespace vel
