#pragma once
// Small information windows of the help menu.
namespace vel {

struct AppState;

// "VersionDlg": the program's and the library's versions.
void ShowVersionDialog(AppState& app);

}  // namespace vel
