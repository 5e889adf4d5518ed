#pragma once
// The list as it was left: shown again at start, remembered at exit.

namespace vel {

struct AppState;

// At the first paint: the kept view loaded with the kept sort state and the
// kept item selected. Returns the 0-based selected row, -1 when there is no
// view or nothing is selected. A view that cannot be read is dropped by a
// restart with "-clearlastquery"; when that restart has already happened the
// list stays empty.
int RestoreLastQuery(AppState& app);

// Puts the sort state, the SQL-order mark and the selected item into the
// settings written at exit.
void RememberLastQuery(AppState& app);

}  // namespace vel
