#pragma once
// The memo view window MemoViewDlg: the memo of the item shown in the
// information pane, edited in edit mode and stored when the view leaves it.
namespace vel {

struct AppState;

void OpenMemoView(AppState& app);
// At the first paint: opens the view when it was open at the last exit.
void OpenMemoViewAtStart(AppState& app);
// The pane shows another item: a modified memo is offered for storing first.
void MemoViewFollow(AppState& app);
// Before the program ends or restarts: false when the user cancelled, so
// that the view (and the program) stay.
bool MemoViewAllowsClose(AppState& app);
// The main window moved: with `Tracking` the view moves along.
void MemoViewTrackMainWindow(AppState& app);
// Registers 1221 and the view's menu commands it carries out.
void RegisterMemoViewCommands();

}  // namespace vel
