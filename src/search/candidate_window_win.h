#pragma once
// The title candidates under the search box ("CandidateListWnd"): looked up
// by a worker thread on a connection of its own while the user types.
#include <windows.h>

#include <string>

namespace vel {

struct AppState;

// The search text changed: a new look-up for it, or the candidates hidden
// for a text that is too short or too long.
void OnSearchTextChanged(AppState& app);
// Up, Down, Page Up, Page Down in the search box while candidates are shown:
// the selection moves and its text goes into the box. True when handled.
bool CandidateStep(AppState& app, WPARAM key);
// Hides the candidates and stops the look-up (a search is about to run).
void HideCandidates(AppState& app);
// Whether the drop-down under the search box is shown.
bool CandidatesShown();
// Opens the drop-down with the texts searched before with the current target
// (the genres for the genre target), the newest selected.
void ShowSearchHistory(AppState& app);
// Runs the search box's search and, when it found rows, records its text.
void SearchFromSearchBox(AppState& app, const std::string& text, int target);
// Stops the worker and waits for it a bounded time (at exit).
void StopCandidateThread();

}  // namespace vel
