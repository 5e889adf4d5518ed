#pragma once
// The query tree pane (control 1000): the saved queries of the "query"
// folder, run by a click or Enter, and its context menu's commands.
#include <windows.h>

namespace vel {

struct AppState;

// Creates the "query" folder when missing and fills the tree from it.
void FillQueryTree(AppState& app);
// Messages of the tree; true when handled (a right click only moves the
// current query path, the menu is shown by the caller).
bool HandleQueryTreeNotify(AppState& app, const NMHDR& header);
// Runs the query file of the current query path as an SQL search.
void RunSavedQuery(AppState& app);
// Registers 1227 (folder), 1228 (new query), 1229 (edit query) and 1231 (delete).
void RegisterQueryTreeCommands();

}  // namespace vel
