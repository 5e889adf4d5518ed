#pragma once
// The information pane above the item list (control 1002): the selected
// item's summary line, maker, title, comment, creators, memo, category icons,
// stars, favourite boxes, buttons and snapshots, every value a link that searches.
#include <windows.h>

#include <string>

namespace vel {

struct AppState;

// Takes over drawing and the mouse of app.snapPane; call once it exists.
void PrepareInfoPane(AppState& app);

// Shows list row `item` (0-based) or, for -1, clears the pane. The pane also
// follows the item list's selection by itself on its pacing timer.
void DrawInfoPane(AppState& app, int item);

// The list row (0-based, -1 = none) and the key of the item the pane shows.
int InfoPaneRow();
std::string InfoPaneKey();

}  // namespace vel
