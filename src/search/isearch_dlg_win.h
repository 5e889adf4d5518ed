#pragma once
// The in-list incremental search window "ISearchDlg": moves the item list's
// selection to the next title that holds the typed text (or matches its
// Migemo pattern) without touching the view.
namespace vel {

struct AppState;

// Opens the window over the item list (or brings the open one forward).
void OpenIncrementalSearch(AppState& app);

}  // namespace vel
