#pragma once
// The snapshot view window SnapViewDlg: one slot of the item shown in the
// information pane, in its fit mode, following the selection.
namespace vel {

struct AppState;

// Opens the window (or brings it forward); `Active` is written at once.
void OpenSnapView(AppState& app);
// At the first paint: opens the window when it was open at the last exit.
void OpenSnapViewAtStart(AppState& app);
// The item shown in the pane changed: the window shows its picture.
void SnapViewFollow(AppState& app);
// Registers 1220 and the window's menu commands 1233..1247.
void RegisterSnapViewCommands();

}  // namespace vel
