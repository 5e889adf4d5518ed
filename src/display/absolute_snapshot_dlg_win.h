#pragma once
// "スナップショット画像の絶対指定": the focused item's three absolute snapshot
// paths and its own display setting, stored at once and shown in the pane.
namespace vel {

struct AppState;

void ShowAbsoluteSnapshotDialog(AppState& app);
// Lets the pane's menu open the dialog (app.showAbsoluteSnapshotDialog).
void ProvideAbsoluteSnapshotDialog(AppState& app);

}  // namespace vel
