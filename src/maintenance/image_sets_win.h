#pragma once
// The item list's side of multi-disk sets and alter egos: joining by drag
// and drop, the split command, the alter-ego dialog and the start-up
// recovery of copies left renamed.
#include <windows.h>

#include <string>

namespace vel {

struct AppState;

// Starts dragging the selected items when the item list reports LVN_BEGINDRAG;
// dropping them on another item joins them to it. True when the
// notification was the item list's drag (it is then handled).
bool HandleImageSetDrag(AppState& app, const NMHDR& header);

// "複数イメージを解除" for the item `key`.
void SplitImageSetCommand(AppState& app, const std::string& key);

// "分身の作成": the dialog AlterEgoDlg for the item `key`.
void ShowAlterEgoDialog(AppState& app, const std::string& key);

// Puts back alter-ego copies that a launch left under temporary names.
void RecoverAlterEgoNamesAtStart(AppState& app);

}  // namespace vel
