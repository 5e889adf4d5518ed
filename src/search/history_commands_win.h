#pragma once
// Back and Forward through the query history, and its toolbar buttons.
#include <string>

namespace vel {

struct AppState;

// Registers Back (11250) and Forward (11251).
void RegisterHistoryCommands();

// Records the search just loaded (called by the search after a successful load).
void RecordSearchInHistory(AppState& app, int target, const std::string& text);

// Sets both buttons' images from the history table.
void UpdateHistoryButtons(AppState& app);

// Back (-1) or Forward (otherwise): the entry's view, its text and target in
// the search window, the list reloaded with the current sort keys and the
// first row selected. A beep when there is no entry that way.
void LoadHistQuery(AppState& app, int direction);

}  // namespace vel
