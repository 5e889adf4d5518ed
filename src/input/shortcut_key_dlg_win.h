#pragma once
// SKeySetDlg "ショートカットキーの設定": assigns the keys of the shortcut table.
namespace vel {

struct AppState;

// Runs the dialog; true when OK saved the keys, which the hook then uses at once.
bool ShowShortcutKeyDialog(AppState& app);

}  // namespace vel
